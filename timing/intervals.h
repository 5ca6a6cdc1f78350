// The hand-made on intervals of a manual timeline, in seconds within its
// period. Intervals that overlap compare equal, so a set keeps the first.
#pragma once

#include <set>

#include "archive/archive.h"

namespace lumi {

struct TimeInterval {
  float start = 0;
  float end = 0;
  float fade_in_end = 0;
  float fade_out_start = 0;
};

struct IntervalBefore {
  bool operator()(const TimeInterval& a, const TimeInterval& b) const { return a.end < b.start; }
};

using IntervalSet = std::set<TimeInterval, IntervalBefore>;

// A count, then start, end, fade-in end and fade-out start of each interval,
// inserted as read.
void IntervalsField(Archive& ar, const char* field, IntervalSet& intervals);

}  // namespace lumi
