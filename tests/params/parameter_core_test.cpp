#include <memory>
#include <vector>

#include <gtest/gtest.h>

#include "params/callback_ctrl.h"
#include "params/typed_param.h"

namespace lumi {
namespace {

// Records what a control saw when it was told of a change.
class Watcher : public MediaControlT<MediaParamTB<unsigned int>> {
 public:
  explicit Watcher(std::vector<unsigned int>* seen) : seen_(seen) {}
  void OnChange(MediaControl*) override {
    if (param_ != nullptr) seen_->push_back(param_->value);
  }

 private:
  std::vector<unsigned int>* seen_;
};

struct Owner {
  void Changed() { ++calls; }
  void Took(unsigned int v) { values.push_back(v); }
  int calls = 0;
  std::vector<unsigned int> values;
};

TEST(ParameterNotification, SetNotifiesOnlyOnChangeAndAttachCallsOnceAtOnce) {
  MediaParamT<unsigned int> param(7);
  std::vector<unsigned int> seen;
  Watcher watcher(&seen);
  watcher.Attach(param);
  EXPECT_EQ(seen, std::vector<unsigned int>{7});  // the first call of Attach

  param.Set(7);
  EXPECT_EQ(seen.size(), 1u);
  param.Set(9);
  EXPECT_EQ(seen, (std::vector<unsigned int>{7, 9}));
  EXPECT_EQ(param.undo().last_seen(), 9u);

  // Attaching again leaves one entry, told once more at once.
  watcher.Attach(param);
  EXPECT_EQ(param.ControlCount(), 2u);  // the undo control and the watcher
  param.Set(10);
  EXPECT_EQ(seen, (std::vector<unsigned int>{7, 9, 9, 10}));
}

TEST(ParameterNotification, ScalingRunsAfterUndoAndBeforeLaterControls) {
  UINTSclaleTo<float> slider(0, 0.5f, 1.0f);
  std::vector<float> scaled_when_told;
  struct ScaledWatcher : MediaControlT<MediaParamTB<unsigned int>> {
    UINTSclaleTo<float>* slider;
    std::vector<float>* out;
    void OnChange(MediaControl*) override { out->push_back(slider->scaled()); }
  } watcher;
  watcher.slider = &slider;
  watcher.out = &scaled_when_told;
  watcher.Attach(slider);
  slider.Set(4);
  EXPECT_EQ(scaled_when_told, (std::vector<float>{1.0f, 3.0f}));
  EXPECT_EQ(slider.undo().last_seen(), 4u);
}

TEST(ParameterNotification, CallbackControlsDifferInTheirFirstCall) {
  Owner owner;
  MediaParamT<unsigned int> param(3);
  SmartCalbackCtrl<Owner> callback(&Owner::Changed, &owner, param);
  DS_FunLightCtrl<unsigned int, Owner> fun(&Owner::Took, &owner);
  fun.Attach(param);
  EXPECT_EQ(owner.calls, 0);
  EXPECT_EQ(owner.values, std::vector<unsigned int>{3});
  param.Set(5);
  EXPECT_EQ(owner.calls, 1);
  EXPECT_EQ(owner.values, (std::vector<unsigned int>{3, 5}));
}

TEST(ParameterNotification, EitherSideMayBeDestroyedFirst) {
  Owner owner;
  auto fun = std::make_unique<DS_FunLightCtrl<unsigned int, Owner>>(&Owner::Took, &owner);
  auto callback_param = std::make_unique<MediaParamT<unsigned int>>(1);
  {
    MediaParamT<unsigned int> param(1);
    fun->Attach(param);
    EXPECT_EQ(fun->param(), &param);
  }
  EXPECT_EQ(fun->param(), nullptr);
  fun.reset();  // touches no freed parameter (the sanitizers would say)

  auto callback = std::make_unique<SmartCalbackCtrl<Owner>>(&Owner::Changed, &owner, *callback_param);
  callback.reset();
  EXPECT_EQ(callback_param->ControlCount(), 1u);  // only the undo control is left
  callback_param->Set(2);
  EXPECT_EQ(owner.calls, 0);
}

TEST(ParameterCopies, CopyTheValueButNotTheControls) {
  std::vector<unsigned int> seen;
  Watcher watcher(&seen);
  MediaParamT<unsigned int> original(4);
  watcher.Attach(original);
  MediaParamT<unsigned int> copy(original);
  copy.Set(8);
  EXPECT_EQ(seen.size(), 1u);
  EXPECT_EQ(copy.value, 8u);

  UINTSclaleTo<float> slider(10, 0.1f, 0.0f);
  UINTSclaleTo<float> slider_copy(slider);
  slider_copy.Set(20);
  EXPECT_FLOAT_EQ(slider_copy.scaled(), 2.0f);
  EXPECT_FLOAT_EQ(slider.scaled(), 1.0f);
}

TEST(ScaledSliders, FloatAndByteSlidersScaleAndTruncate) {
  UINTSclaleTo<float> inverse(0, -0.01f, 1.0f);
  inverse.Set(25);
  EXPECT_FLOAT_EQ(inverse.scaled(), 0.75f);
  inverse.Set(100);
  EXPECT_FLOAT_EQ(inverse.scaled(), 0.0f);

  UINTSclaleTo<unsigned char> opacity(0, -2.55f, 255.0f);
  const std::pair<unsigned int, int> cases[] = {{0, 255}, {1, 252}, {50, 127}, {100, 0}};
  for (const auto& [raw, alpha] : cases) {
    opacity.Set(raw);
    EXPECT_EQ(opacity.scaled(), alpha) << raw;
  }
  // A stored value applied without notification waits for Rescale.
  opacity.value = 0;
  EXPECT_EQ(opacity.scaled(), 0);
  opacity.Rescale();
  EXPECT_EQ(opacity.scaled(), 255);
}

TEST(MediaFloatStep, StepsByOneAndIgnoresStepsTooSmallToShow) {
  VRN_MediaFloat f(1.0f);
  int notified = 0;
  struct Counter : MediaControlT<MediaParamTB<float>> {
    int* n;
    void OnChange(MediaControl*) override { ++*n; }
  } counter;
  counter.n = &notified;
  counter.Attach(f);
  notified = 0;
  f.Step(0, nullptr);
  EXPECT_EQ(f.value, 2.0f);
  f.Step(1, nullptr);
  f.Step(1, nullptr);
  EXPECT_EQ(f.value, 0.0f);
  f.Step(5, nullptr);
  EXPECT_EQ(notified, 3);

  f.value = 1.0e9f;
  f.Step(0, nullptr);
  EXPECT_EQ(f.value, 1.0e9f);
  EXPECT_EQ(notified, 3);
}

}  // namespace
}  // namespace lumi
