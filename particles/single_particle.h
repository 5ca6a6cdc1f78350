// Systems that draw one textured quad instead of a cloud of particles.
#pragma once

#include "params/quad_rect.h"
#include "params/sliders.h"
#include "particles/particle_system.h"

namespace lumi {

// One quad whose corners are those of `area`; it emits nothing.
class VRN_SingleParticle : public VRN_ParticleSystemCtrl {
  LUMI_STORED_CLASS(VRN_SingleParticle, 1)

 public:
  void Describe(Archive& ar) override;

  MediaQuad area;
};

// The quad turning about its centre.
class VRN_StaticObject : public VRN_SingleParticle {
  LUMI_STORED_CLASS(VRN_StaticObject, 1)
  LUMI_CONSTRUCTOR_CLONE(VRN_StaticObject)

 public:
  // The spin speed's raw value, the direction, then the quad's record; the
  // spin angle is run-time state and is not stored.
  void Describe(Archive& ar) override;

  MediaSpeedParam spin_speed;
  MediaParamT<int> spin_direction{0};  // non-zero turns the other way
};

}  // namespace lumi
