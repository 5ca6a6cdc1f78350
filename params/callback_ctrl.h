// Controls that call back into the object owning a parameter. Owners keep
// them as members, so they live and die with the owner.
#pragma once

#include "params/typed_param.h"

namespace lumi {

// Calls owner->*callback() on every change. Joins the parameter's list at
// construction without a first call: the owner computes its initial state
// itself.
template <class Owner>
class SmartCalbackCtrl : public MediaControl {
 public:
  using Callback = void (Owner::*)();

  SmartCalbackCtrl(Callback callback, Owner* owner, MediaParam& param)
      : callback_(callback), owner_(owner), param_(&param) {
    param.AppendControl(this);
  }
  ~SmartCalbackCtrl() override {
    if (param_ != nullptr) param_->RemoveControl(this);
  }

  void Detach() override { param_ = nullptr; }
  void OnChange(MediaControl*) override { (owner_->*callback_)(); }

  MediaParam* param() const { return param_; }

 private:
  Callback callback_;
  Owner* owner_;
  MediaParam* param_;
};

// Hands the parameter's value to owner->*callback(value) on every change,
// and once at Attach.
template <class T, class Owner>
class DS_FunLightCtrl : public MediaControlT<MediaParamTB<T>> {
 public:
  using Callback = void (Owner::*)(T);

  DS_FunLightCtrl(Callback callback, Owner* owner) : callback_(callback), owner_(owner) {}

  void OnChange(MediaControl*) override {
    if (this->param_ != nullptr) (owner_->*callback_)(this->param_->value);
  }

 private:
  Callback callback_;
  Owner* owner_;
};

}  // namespace lumi
