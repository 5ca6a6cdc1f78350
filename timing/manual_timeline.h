// On along a list of intervals that repeats with a period.
#pragma once

#include "params/sliders.h"
#include "timing/intervals.h"
#include "timing/timing.h"

namespace lumi {

class VRN_ManualTimeLine : public VRN_Timing {
  LUMI_STORED_CLASS(VRN_ManualTimeLine, 1)

 public:
  // An interval further ahead than this is not announced yet.
  static constexpr float kLookAhead = 3.0f;

  VRN_ManualTimeLine();

  void Describe(Archive& ar) override;
  double Advance(double t) override;
  void Reset() override;
  // The length of the interval found by the last advance.
  float GetCycleLength() const override { return interval_length; }
  void SetPeriod(unsigned int hundredths) override { period.Set(hundredths); }

  TimeParam period{1000};
  IntervalSet intervals;
  float interval_length = 0;
  float position = 0;  // seconds within the period
};

}  // namespace lumi
