// On and off at random: off, fading in, on, fading out, each phase lasting
// a duration drawn from its range.
#pragma once

#include "params/sliders.h"
#include "timing/timing.h"

namespace lumi {

class VRN_RandomTimeLine : public VRN_Timing {
  LUMI_STORED_CLASS(VRN_RandomTimeLine, 1)

 public:
  VRN_RandomTimeLine() { Reset(); }

  void Describe(Archive& ar) override;
  double Advance(double t) override;
  // Off, with the phase deadline at 0, so the first advance starts a fade-in.
  void Reset() override;
  float GetOnPhase() const override;
  float GetCycleLength() const override;
  void InitFromOwner(const VRN_SmartTiming& owner) override;

  // Durations in hundredths of a second.
  MediaParamT<unsigned int> off_min{100}, off_max{100};
  MediaParamT<unsigned int> on_min{100}, on_max{100};
  TimeParam fade_in{50}, fade_out{50};

  double deadline = 0;    // end of the current phase, in local time
  float rate = 0;         // level change per second while fading
  float on_duration = 0;  // seconds of the current on phase

 private:
  // Enters a fade that lasts `seconds` from local time `now`.
  void StartFade(int fade_state, double now, float seconds);
};

}  // namespace lumi
