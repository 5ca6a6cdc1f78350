#include "timing/timeline_control.h"

#include "params/param_archive.h"
#include "timing/continues_timeline.h"
#include "timing/manual_timeline.h"
#include "timing/random_timeline.h"

namespace lumi {

void DS_TimeLineControl::Describe(Archive& ar) {
  LongField(ar, "kind", kind, Apply::Direct);
  LongField(ar, "time_mode", time_mode, Apply::Direct);
  UIntField(ar, "off_min", off_min, Apply::Direct);
  UIntField(ar, "off_max", off_max, Apply::Direct);
  UIntField(ar, "on_min", on_min, Apply::Direct);
  UIntField(ar, "on_max", on_max, Apply::Direct);
  SliderField(ar, "fade_in", fade_in, Apply::Set);
  SliderField(ar, "fade_out", fade_out, Apply::Set);
  IntervalsField(ar, "intervals", intervals);
  if (ar.version() >= 2) SliderField(ar, "period", period, Apply::Set);
}

void DS_TimeLineControl::ConvertInto(VRN_SmartTiming& timing) const {
  timing.value = kind.value;
  std::shared_ptr<VRN_Timing> timeline;
  if (kind.value == VRN_SmartTiming::kRandom) {
    auto random = std::make_shared<VRN_RandomTimeLine>();
    random->off_min = off_min;
    random->off_max = off_max;
    random->on_min = on_min;
    random->on_max = on_max;
    random->fade_in = fade_in;
    random->fade_out = fade_out;
    timeline = random;
  } else if (kind.value == VRN_SmartTiming::kManual) {
    auto manual = std::make_shared<VRN_ManualTimeLine>();
    manual->intervals = intervals;
    manual->period = period;
    timeline = manual;
  } else {
    // Old records knew no other kinds; anything else plays continuously.
    timeline = std::make_shared<VRN_ContinuesTimeLine>();
  }
  timing.SetTimeline(std::move(timeline));
  timing.time_mode.value = time_mode.value;
  timing.time_mode.Notify(nullptr);
}

}  // namespace lumi
