// A non-owning reference to a callable, for callbacks that run before the
// call that receives them returns (cheaper than std::function).
#pragma once

#include <type_traits>
#include <utility>

namespace lumi {

template <class Signature>
class FunctionRef;

template <class R, class... Args>
class FunctionRef<R(Args...)> {
 public:
  template <class F, class = std::enable_if_t<!std::is_same_v<std::decay_t<F>, FunctionRef>>>
  FunctionRef(F&& f)  // NOLINT(google-explicit-constructor): used like a lambda parameter
      : object_(const_cast<void*>(static_cast<const void*>(&f))),
        call_([](void* o, Args... args) -> R { return (*static_cast<std::remove_reference_t<F>*>(o))(std::forward<Args>(args)...); }) {}

  R operator()(Args... args) const { return call_(object_, std::forward<Args>(args)...); }

 private:
  void* object_;
  R (*call_)(void*, Args...);
};

}  // namespace lumi
