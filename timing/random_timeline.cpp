#include "timing/random_timeline.h"

#include "archive/registry.h"
#include "params/param_archive.h"
#include "params/random.h"
#include "timing/smart_timing.h"

namespace lumi {

static const RegisterClass<VRN_RandomTimeLine> kRegisterRandomTimeLine(Family::Timeline);

void VRN_RandomTimeLine::Describe(Archive& ar) {
  UIntField(ar, "off_min", off_min, Apply::Direct);
  UIntField(ar, "off_max", off_max, Apply::Direct);
  UIntField(ar, "on_min", on_min, Apply::Direct);
  UIntField(ar, "on_max", on_max, Apply::Direct);
  SliderField(ar, "fade_in", fade_in, Apply::SetThenNotify);
  SliderField(ar, "fade_out", fade_out, Apply::SetThenNotify);
  TimingBase(ar);
}

void VRN_RandomTimeLine::StartFade(int fade_state, double now, float seconds) {
  state = fade_state;
  deadline = now + seconds;
  if (seconds != 0.0f) rate = 1.0f / seconds;
}

double VRN_RandomTimeLine::Advance(double t) {
  VRN_Timing::Advance(t);
  const double now = speed.local_time;
  if (now > deadline) {
    switch (state) {
      case kOn:
        level = 1.0f;
        StartFade(kFadingOut, now, fade_out.seconds());
        break;
      case kOff:
        level = 0.0f;
        StartFade(kFadingIn, now, fade_in.seconds());
        break;
      case kFadingIn:
        state = kOn;
        level = 1.0f;
        rate = 0.0f;
        deadline = now + on_duration;
        break;
      case kFadingOut:
        state = kOff;
        level = 0.0f;
        rate = 0.0f;
        deadline = now + RandomHundredths(off_min.value, off_max.value);
        on_duration = RandomHundredths(on_min.value, on_max.value);
        break;
      default:
        break;
    }
  } else if (state == kFadingIn) {
    level = 1.0f - static_cast<float>(deadline - now) * rate;
  } else if (state == kFadingOut) {
    level = static_cast<float>(deadline - now) * rate;
  }
  return t;
}

void VRN_RandomTimeLine::Reset() {
  VRN_Timing::Reset();
  deadline = 0;
  rate = 0;
  state = kOff;
  on_duration = RandomHundredths(on_min.value, on_max.value);
}

float VRN_RandomTimeLine::GetOnPhase() const {
  if (state != kOn || on_duration == 0.0f) return 0.0f;
  return 1.0f - static_cast<float>(deadline - speed.local_time) / on_duration;
}

float VRN_RandomTimeLine::GetCycleLength() const {
  return fade_out.seconds() + fade_in.seconds() + on_duration;
}

void VRN_RandomTimeLine::InitFromOwner(const VRN_SmartTiming& owner) {
  fade_in.Set(static_cast<unsigned int>(owner.default_fade_in * 100.0f));
  fade_out.Set(static_cast<unsigned int>(owner.default_fade_out * 100.0f));
  const auto on = static_cast<unsigned int>(owner.default_on * 100.0f);
  on_min.Set(on);
  on_max.Set(on);
}

}  // namespace lumi
