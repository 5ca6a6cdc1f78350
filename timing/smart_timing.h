// The timing of a scene object: its current timeline, whose kind can be
// switched, and the object's local clock, which may run at the timeline's
// level so that an object fading out also slows down.
#pragma once

#include <array>
#include <memory>

#include "archive/archive.h"
#include "params/typed_param.h"
#include "timing/timing.h"

namespace lumi {

// The value is the kind of the current timeline.
class VRN_SmartTiming : public DS_IOF_Item, public MediaParamT<int> {
  LUMI_STORED_CLASS(VRN_SmartTiming, 1)

 public:
  enum Kind { kContinuous = 0, kRandom = 1, kManual = 2, kDepended = 3 };
  static constexpr int kKindCount = 4;
  // Time mode in which local time runs at the timeline's level.
  static constexpr int kLevelTime = 2;
  // Flag that keeps local time at full speed whatever the mode.
  static constexpr int kFullSpeedFlag = 0x20;

  // Kind 0, with a continuous timeline.
  VRN_SmartTiming();
  // Copies share the timelines.
  VRN_SmartTiming(const VRN_SmartTiming&) = default;
  VRN_SmartTiming& operator=(const VRN_SmartTiming&) = default;

  void Describe(Archive& ar) override;
  // A change of kind switches timelines before the controls hear of it.
  void Notify(MediaControl* source) override;

  VRN_Timing& current() const { return *current_; }
  // Makes `timeline` current and keeps it for the current kind.
  void SetTimeline(std::shared_ptr<VRN_Timing> timeline);
  // Moves to slide time t and returns the new local time, which the object's
  // frame move receives.
  double AdvanceLocalTime(double t);

  static const char* KindClassName(int kind);

  MediaParamT<int> time_mode{0};
  int flags = 0;
  // What a random timeline made by switching kind starts with, in seconds.
  float default_fade_in = 0.5f;
  float default_on = 1.0f;
  float default_fade_out = 0.5f;
  double last_time = 0;
  double local_time = 0;

 private:
  void SwitchKind();

  std::shared_ptr<VRN_Timing> current_;
  std::array<std::shared_ptr<VRN_Timing>, kKindCount> by_kind_;
};

}  // namespace lumi
