#include "timing/timing.h"

#include "archive/registry.h"
#include "params/clamped_clock.h"

namespace lumi {

double VRN_Timing::Advance(double t) {
  speed.step = ClampedStep(speed.last_time, t) * speed.scaled();
  speed.local_time += speed.step;
  return t;
}

void VRN_Timing::Reset() {
  speed.last_time = 0;
  speed.local_time = 0;
}

void VRN_Timing::TimingBase(Archive& ar) {
  BaseRecord(ar, "VRN_Timing", 1, this, [] {});
}

std::shared_ptr<VRN_Timing> CreateTimeline(std::string_view class_name) {
  std::unique_ptr<DS_IOF_Item> made = CreateDefault(Family::Timeline, class_name);
  auto* timeline = dynamic_cast<VRN_Timing*>(made.get());
  if (timeline == nullptr) return nullptr;
  made.release();
  return std::shared_ptr<VRN_Timing>(timeline);
}

}  // namespace lumi
