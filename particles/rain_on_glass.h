// Rain drops running down a window pane.
#pragma once

#include "params/directions.h"
#include "params/sliders.h"
#include "particles/particle_system.h"

namespace lumi {

class DS_RainOnGlass : public VRN_ParticleSystemCtrl {
  LUMI_STORED_CLASS(DS_RainOnGlass, 1)
  LUMI_CONSTRUCTOR_CLONE(DS_RainOnGlass)

 public:
  void Describe(Archive& ar) override;

  VRN_EvenImitter counter;
  MediaQuad area;  // the pane
  UINTSclaleTo<float> slide_acceleration{0, 1.0f, 0.0f};
  MediaDirection slide_direction;
};

}  // namespace lumi
