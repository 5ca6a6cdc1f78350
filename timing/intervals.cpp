#include "timing/intervals.h"

#include <vector>

namespace lumi {

void IntervalsField(Archive& ar, const char* field, IntervalSet& intervals) {
  std::vector<TimeInterval> list(intervals.begin(), intervals.end());
  ListOf(ar, field, list, [&](TimeInterval& interval) {
    ar.Group(nullptr, [&] {
      ar.Float("start", interval.start);
      ar.Float("end", interval.end);
      ar.Float("fade_in_end", interval.fade_in_end);
      ar.Float("fade_out_start", interval.fade_out_start);
    });
  });
  if (ar.IsReading()) intervals.insert(list.begin(), list.end());
}

}  // namespace lumi
