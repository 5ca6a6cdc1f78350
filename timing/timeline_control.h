// The timing record of objects stored before timelines were objects of
// their own. It is read into a temporary and converted.
#pragma once

#include "params/sliders.h"
#include "timing/intervals.h"
#include "timing/smart_timing.h"

namespace lumi {

class DS_TimeLineControl : public DS_IOF_Item {
  LUMI_STORED_CLASS(DS_TimeLineControl, 2)

 public:
  void Describe(Archive& ar) override;
  // Gives `timing` the kind, timeline and time mode this record describes.
  void ConvertInto(VRN_SmartTiming& timing) const;

  MediaParamT<int> kind{VRN_SmartTiming::kContinuous};
  MediaParamT<int> time_mode{0};
  MediaParamT<unsigned int> off_min{100}, off_max{100};
  MediaParamT<unsigned int> on_min{100}, on_max{100};
  TimeParam fade_in{50}, fade_out{50};
  IntervalSet intervals;
  TimeParam period{1000};
};

}  // namespace lumi
