// Particles swirling out of a centre in one or more arms.
#pragma once

#include "params/directions.h"
#include "params/sliders.h"
#include "particles/particle_system.h"

namespace lumi {

class VRN_VortexPtclSys : public VRN_ParticleSystemCtrl {
  LUMI_STORED_CLASS(VRN_VortexPtclSys, 1)
  LUMI_CONSTRUCTOR_CLONE(VRN_VortexPtclSys)

 public:
  void Describe(Archive& ar) override;

  VRN_EvenImitter counter;
  VRN_PointImitter emitter;                          // also the vortex's centre
  UINTSclaleTo<float> launch_speed{0, 2.0f, 0.0f};   // pixels per second
  UINTSclaleTo<float> swirl{0, 0.01f, 0.0f};         // radians per second
  MediaParamT<int> swirl_reverse{0};
  MediaSector launch;
  MediaParamT<unsigned int> arms{0};
  MediaSpeedParam arm_speed = WithScale(MediaSpeedParam(), 2.0f);  // degrees per second
  MediaParamT<int> arm_direction{0};
  MediaParamT<unsigned int> range{0};  // pixels

  // Behaviour.
  bool HasBehaviour() const override { return true; }
  void ResetPopulation() override;
  // The arms turn by the arm speed; rate × level particles a second.
  void Emit(ParticleList& born, float dt) override;
  // Life range / speed, look, kinematics, then the swirl; the launch goes
  // out along a random arm.
  void InitParticle(Particle& p) const;
  // Arms as used: a stored 0 is one arm.
  unsigned int ArmCount() const;

  EvenCounter counter_state;
  float arm_angle = 0;  // degrees the arms have turned
};

}  // namespace lumi
