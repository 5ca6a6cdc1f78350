#include "timing/smart_timing.h"

#include <stdexcept>
#include <string>

#include "params/param_archive.h"

namespace lumi {
namespace {

bool KnownKind(int kind) { return kind >= 0 && kind < VRN_SmartTiming::kKindCount; }

}  // namespace

VRN_SmartTiming::VRN_SmartTiming() : MediaParamT<int>(kContinuous) { Notify(nullptr); }

const char* VRN_SmartTiming::KindClassName(int kind) {
  static constexpr const char* kNames[kKindCount] = {"VRN_ContinuesTimeLine", "VRN_RandomTimeLine",
                                                     "VRN_ManualTimeLine", "VRN_DependedTimeLine"};
  return KnownKind(kind) ? kNames[kind] : nullptr;
}

void VRN_SmartTiming::Notify(MediaControl* source) {
  SwitchKind();
  MediaParamT<int>::Notify(source);
}

void VRN_SmartTiming::SwitchKind() {
  // An unknown kind keeps the timeline it has.
  if (!KnownKind(value)) return;
  std::shared_ptr<VRN_Timing>& kept = by_kind_[value];
  if (kept == nullptr) {
    kept = CreateTimeline(KindClassName(value));
    if (kept == nullptr) throw std::logic_error(std::string(KindClassName(value)) + " is not registered");
    current_ = kept;
    kept->InitFromOwner(*this);
  } else {
    current_ = kept;
  }
}

void VRN_SmartTiming::SetTimeline(std::shared_ptr<VRN_Timing> timeline) {
  if (KnownKind(value)) by_kind_[value] = timeline;
  current_ = std::move(timeline);
}

double VRN_SmartTiming::AdvanceLocalTime(double t) {
  double elapsed = t - last_time;
  last_time = t;
  current_->Advance(t);
  if ((flags & kFullSpeedFlag) == 0 && time_mode.value == kLevelTime) elapsed *= current_->GetLevel();
  local_time += elapsed;
  return local_time;
}

void VRN_SmartTiming::Describe(Archive& ar) {
  LongField(ar, "kind", *this, Apply::Direct);
  LongField(ar, "time_mode", time_mode, Apply::Direct);
  ar.Int("flags", flags);
  ObjectField<VRN_Timing>(ar, "timeline", current_, Family::Timeline);
  if (ar.IsReading()) current_->Reset();
}

}  // namespace lumi
