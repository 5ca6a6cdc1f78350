// Follows another object's timeline, named by its identity: mirrors it, or
// runs a fade cycle of its own each time the other one comes on.
#pragma once

#include "params/callback_ctrl.h"
#include "params/sliders.h"
#include "timing/timing.h"

namespace lumi {

class VRN_DependedTimeLine : public VRN_Timing {
  LUMI_STORED_CLASS(VRN_DependedTimeLine, 2)

 public:
  enum Mode { kMirror = 0, kTriggered = 1 };

  void Describe(Archive& ar) override;
  // Looks the master up by its identity; forgets any cycle in progress.
  void Bind() override;
  // Does not step the own clock: everything follows the master or the
  // global time.
  double Advance(double t) override;
  float GetLevel() const override;
  int GetState() const override;

  VRN_SmartTiming* master() const { return master_; }

  MediaParamT<GUID> master_identity;
  MediaParamT<int> mode{kMirror};
  // Hundredths of a second.
  MediaParamT<unsigned int> delay_min{0}, delay_max{0};
  MediaParamT<unsigned int> on_min{100}, on_max{100};
  TimeParam fade_in{50}, fade_out{50};

  // The cycle in progress, in global time.
  bool triggered = false;
  double fade_in_start = 0, on_start = 0, fade_out_start = 0, end = 0;
  double last_time = 0;

 private:
  bool TriggeredMode() const { return mode.value == kTriggered; }
  // The master's current timeline asked through `ask`, or `fallback` when
  // the question comes back round a chain of timelines that follow each
  // other (or one that follows itself).
  template <class T, class Ask>
  T AskMaster(T fallback, Ask ask) const;

  SmartCalbackCtrl<VRN_DependedTimeLine> rebind_{&VRN_DependedTimeLine::Bind, this, master_identity};
  VRN_SmartTiming* master_ = nullptr;
  int master_state_seen_ = kOff;
  mutable bool asking_ = false;
};

}  // namespace lumi
