// The vortex: its record and how it sends particles out along its arms.
#include "particles/vortex_system.h"

#include <algorithm>
#include <cmath>

#include "archive/registry.h"
#include "params/directions.h"
#include "params/param_archive.h"
#include "params/random.h"
#include "particles/particle_routines.h"

namespace lumi {

static const RegisterClass<VRN_VortexPtclSys> kRegisterVortex(Family::General);

void VRN_VortexPtclSys::Describe(Archive& ar) {
  SliderField(ar, "counter_rate", counter.rate, Apply::Set);
  VectorField(ar, "point", emitter.point, Apply::Set);
  SliderField(ar, "launch_speed", launch_speed, Apply::Set);
  SliderField(ar, "swirl", swirl, Apply::Set);
  IntField(ar, "swirl_reverse", swirl_reverse, Apply::Set);
  UIntField(ar, "launch_angle", launch, Apply::Set);
  UIntField(ar, "launch_spread", launch.spread, Apply::Set);
  UIntField(ar, "arms", arms, Apply::Set);
  SliderField(ar, "arm_speed", arm_speed, Apply::Set);
  IntField(ar, "arm_direction", arm_direction, Apply::Set);
  UIntField(ar, "range", range, Apply::Set);
  BaseRecordOf<VRN_ParticleSystemCtrl>(ar, this);
}

void VRN_VortexPtclSys::ResetPopulation() {
  counter_state.Reset();
  arm_angle = 0;
  VRN_ParticleSystemCtrl::ResetPopulation();
}

void VRN_VortexPtclSys::Emit(ParticleList& born, float dt) {
  arm_angle = std::fmod(arm_angle + arm_speed.scaled() * dt, 360.0f);
  const int64_t n = Room(counter_state.Count(counter.rate.scaled(), timeline_level * dt));
  const size_t first = particles.size();
  SpawnAtPoint(particles, n, Finite(emitter.point.value));
  for (size_t i = first; i < particles.size(); ++i) {
    InitParticle(*particles[i]);
    born.push_back(particles[i]);
  }
}

unsigned int VRN_VortexPtclSys::ArmCount() const { return std::max(arms.value, 1u); }

void VRN_VortexPtclSys::InitParticle(Particle& p) const {
  const float speed = launch_speed.scaled();
  look.InitParticle(p, std::make_shared<IPR_ConstantAge>(TravelTime(range.value, speed)));
  p.routines.push_back(IPR_Kinematic::Shared());
  p.routines.push_back(std::make_shared<IPR_VortexVel>(emitter.point, launch_speed, swirl, swirl_reverse.value != 0));
  const auto spread = static_cast<float>(launch.spread.value);
  float lo = static_cast<float>(launch.value) - spread / 2, hi = lo + spread;
  if (arm_speed.value != 0) {
    const float shift = arm_direction.value != 0 ? arm_angle : -arm_angle;
    lo += shift;
    hi += shift;
  }
  const unsigned int arms_used = ArmCount();
  const float g = static_cast<float>(static_cast<unsigned int>(Rand()) % arms_used) * (360.0f / static_cast<float>(arms_used));
  p.velocity = RandomDirection2D(speed, g + lo, g + hi);
}

}  // namespace lumi
