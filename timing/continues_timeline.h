// Always on, at full level.
#pragma once

#include "timing/timing.h"

namespace lumi {

class VRN_ContinuesTimeLine : public VRN_Timing {
  LUMI_STORED_CLASS(VRN_ContinuesTimeLine, 1)

 public:
  void Describe(Archive& ar) override { TimingBase(ar); }
};

}  // namespace lumi
