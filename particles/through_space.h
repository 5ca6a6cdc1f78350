// A star field flying towards or away from a vanishing point.
#pragma once

#include <cstdint>

#include "params/sliders.h"
#include "particles/particle_system.h"

namespace lumi {

class VRN_ThroughSpaceCtrl : public VRN_ParticleSystemCtrl {
  LUMI_STORED_CLASS(VRN_ThroughSpaceCtrl, 3)
  LUMI_CONSTRUCTOR_CLONE(VRN_ThroughSpaceCtrl)

 public:
  void Describe(Archive& ar) override;

  VRN_EvenImitter counter;
  VRN_RectImitter emitter;  // where stars appear
  MediaSpeedParam turn_speed;
  MediaParamT<int> turn_reverse{0};
  D3DXVECTOR3 vanishing_point{};
  uint8_t forward = 0;  // stored as one byte and kept as stored
  MediaSpeedParam flight_speed;
};

}  // namespace lumi
