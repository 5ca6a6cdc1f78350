#include "timing/manual_timeline.h"

#include <cmath>

#include "archive/registry.h"
#include "params/param_archive.h"

namespace lumi {

static const RegisterClass<VRN_ManualTimeLine> kRegisterManualTimeLine(Family::Timeline);

VRN_ManualTimeLine::VRN_ManualTimeLine() {
  state = kOff;
  level = 0.0f;
}

void VRN_ManualTimeLine::Describe(Archive& ar) {
  SliderField(ar, "period", period, Apply::SetThenNotify);
  IntervalsField(ar, "intervals", intervals);
  TimingBase(ar);
}

double VRN_ManualTimeLine::Advance(double t) {
  VRN_Timing::Advance(t);
  // A period of no length cannot wrap; the intervals then play once.
  position += speed.step;
  if (period.seconds() > 0.0f) position = std::fmod(position, period.seconds());

  auto next = intervals.lower_bound({position, position, position, position});
  if (next != intervals.end() && next->start - position > kLookAhead) next = intervals.end();
  if (next == intervals.end()) {
    state = kOff;
    level = 0.0f;
    interval_length = 0.0f;
    return t;
  }
  const TimeInterval& in = *next;
  if (position < in.start || position > in.end) {
    state = kOff;
    level = 0.0f;
  } else if (position < in.fade_in_end) {
    state = kFadingIn;
    level = (position - in.start) / (in.fade_in_end - in.start);
  } else if (position < in.fade_out_start) {
    state = kOn;
    level = 1.0f;
  } else {
    state = kFadingOut;
    // A fade-out of no length is already over.
    const float fade = in.end - in.fade_out_start;
    level = fade > 0.0f ? 1.0f - (position - in.fade_out_start) / fade : 0.0f;
  }
  interval_length = in.end - in.start;
  return t;
}

void VRN_ManualTimeLine::Reset() {
  VRN_Timing::Reset();
  state = kOff;
  level = 0.0f;
  interval_length = 0.0f;
  position = 0.0f;
}

}  // namespace lumi
