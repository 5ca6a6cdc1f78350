#include "timing/depended_timeline.h"

#include "archive/registry.h"
#include "params/param_archive.h"
#include "params/random.h"
#include "timing/identity_map.h"
#include "timing/smart_timing.h"

namespace lumi {

static const RegisterClass<VRN_DependedTimeLine> kRegisterDependedTimeLine(Family::Timeline);

void VRN_DependedTimeLine::Describe(Archive& ar) {
  GuidField(ar, "master", master_identity, Apply::Direct);
  if (ar.version() < 2) {
    mode.value = kMirror;
  } else {
    LongField(ar, "mode", mode, Apply::Direct);
    UIntField(ar, "delay_min", delay_min, Apply::Direct);
    UIntField(ar, "delay_max", delay_max, Apply::Direct);
    UIntField(ar, "on_min", on_min, Apply::Direct);
    UIntField(ar, "on_max", on_max, Apply::Direct);
    SliderField(ar, "fade_in", fade_in, Apply::SetThenNotify);
    SliderField(ar, "fade_out", fade_out, Apply::SetThenNotify);
  }
  TimingBase(ar);
}

template <class T, class Ask>
T VRN_DependedTimeLine::AskMaster(T fallback, Ask ask) const {
  if (asking_) return fallback;
  asking_ = true;
  const T answer = ask(master_->current());
  asking_ = false;
  return answer;
}

void VRN_DependedTimeLine::Bind() {
  TimedObject* object = FindIdentity(master_identity.value);
  master_ = object != nullptr ? &object->ObjectTiming() : nullptr;
  triggered = false;
  master_state_seen_ = kOff;
}

double VRN_DependedTimeLine::Advance(double t) {
  if (!TriggeredMode() || master_ == nullptr) return t;
  last_time = t;
  const int master_state = AskMaster<int>(kOff, [](const VRN_Timing& m) { return m.GetState(); });
  if (triggered) {
    // A cycle that ends now lets the next one start at the next advance.
    if (t > end) triggered = false;
  } else if (master_state != kOff && master_state_seen_ == kOff) {
    // The master has just come on.
    triggered = true;
    fade_in_start = t + RandomHundredths(delay_min.value, delay_max.value);
    on_start = fade_in_start + fade_in.seconds();
    fade_out_start = on_start + RandomHundredths(on_min.value, on_max.value);
    end = fade_out_start + fade_out.seconds();
  }
  master_state_seen_ = master_state;
  return t;
}

float VRN_DependedTimeLine::GetLevel() const {
  if (master_ == nullptr) return 0.0f;
  if (!TriggeredMode()) return AskMaster<float>(0.0f, [](const VRN_Timing& m) { return m.GetLevel(); });
  const double t = last_time;
  if (t > end) return 0.0f;
  if (t > fade_out_start) return static_cast<float>(1.0 - (t - fade_out_start) / (end - fade_out_start));
  if (t > on_start) return 1.0f;
  if (t > fade_in_start) return static_cast<float>((t - fade_in_start) / (on_start - fade_in_start));
  return 0.0f;
}

int VRN_DependedTimeLine::GetState() const {
  if (master_ == nullptr) return kOff;
  if (!TriggeredMode()) return AskMaster<int>(kOff, [](const VRN_Timing& m) { return m.GetState(); });
  const double t = last_time;
  if (t > end) return kOff;
  if (t > fade_out_start) return kFadingOut;
  if (t > on_start) return kOn;
  if (t > fade_in_start) return kFadingIn;
  return kOff;
}

}  // namespace lumi
