// Hands the built-in programs to objects that ask the document resources
// for an effect, on one device, for the lifetime of the object. The tests
// and the drawing benchmarks share it.
#pragma once

#include <map>
#include <memory>
#include <string>
#include <string_view>

#include "programs/builtin_programs.h"
#include "render/effect.h"
#include "scene/resource_access.h"

namespace lumi::test {

class BuiltinProgramAccess {
 public:
  explicit BuiltinProgramAccess(GraphicsDevice& device) : saved_(DocumentResourceAccess()) {
    device_ = &device;
    programs_.clear();
    DocumentResourceAccess().effect = ProgramOf;
    DocumentResourceAccess().class_effect = ClassProgramOf;
  }
  // Why the last program that would not run failed.
  static const std::string& Error() { return error_; }

  ~BuiltinProgramAccess() {
    DocumentResourceAccess() = saved_;
    programs_.clear();
    device_ = nullptr;
  }
  BuiltinProgramAccess(const BuiltinProgramAccess&) = delete;
  BuiltinProgramAccess& operator=(const BuiltinProgramAccess&) = delete;

  // One effect per program, made on first use, as the document's table
  // keeps them.
  static std::shared_ptr<Effect> ProgramOf(const ResourceKey& key) {
    return Made(FindBuiltinProgram(static_cast<int>(key.number)));
  }
  // The program of the link's number, else the asking class's own.
  static std::shared_ptr<Effect> ClassProgramOf(const ResourceKey& key, std::string_view asking_class) {
    const BuiltinProgram* builtin = FindBuiltinProgram(static_cast<int>(key.number));
    return Made(builtin != nullptr ? builtin : FindClassProgram(asking_class));
  }

 private:
  static std::shared_ptr<Effect> Made(const BuiltinProgram* builtin) {
    if (builtin == nullptr || device_ == nullptr) return nullptr;
    std::shared_ptr<Effect>& effect = programs_[std::string(builtin->name)];
    if (!effect) {
      effect = Effect::Create(*device_, builtin->name,
                              {reinterpret_cast<const uint8_t*>(builtin->text.data()), builtin->text.size()}, error_);
    }
    return effect;
  }

  ResourceAccess saved_;
  static inline GraphicsDevice* device_ = nullptr;
  static inline std::map<std::string, std::shared_ptr<Effect>> programs_;
  static inline std::string error_;
};

}  // namespace lumi::test
