// How bursts and fountains launch their particles.
#include <algorithm>
#include <cmath>

#include "params/directions.h"
#include "params/random.h"
#include "particles/burst_systems.h"
#include "particles/particle_routines.h"
#include "particles/screen_fit.h"

namespace lumi {
namespace {

// Where sin(spread / 2) is smaller the focus lies too far behind to aim at.
constexpr float kSmallestFocusSine = 1e-4f;
constexpr float kWidestSpread = 360;

}  // namespace

void VRN_BurstPtclSys::Attach() {
  look.look_flags |= ParticleLook::kWobble;
  if (!fixed_layout && HasScreen()) emitter.point.value = ScreenCentre();
}

void VRN_BurstPtclSys::ResetPopulation() {
  particles.clear();
  emitted_count = 0;
}

float VRN_BurstPtclSys::Lifetime() const {
  return TravelTime(range.value, launch_speed.scaled());
}

void VRN_BurstPtclSys::Launch(ParticleList& born, int64_t n) {
  n = Room(n);
  const size_t first = particles.size();
  SpawnAtPoint(particles, n, Finite(emitter.point.value));
  for (size_t i = first; i < particles.size(); ++i) {
    InitParticle(*particles[i]);
    born.push_back(particles[i]);
  }
}

void VRN_BurstPtclSys::Emit(ParticleList& born, float /*dt*/) {
  Launch(born, CycleBirths(timeline_level, count.value, timeline_state, emitted_count));
}

void VRN_FontainPtclSys::Emit(ParticleList& born, float dt) {
  Launch(born, counter_state.Count(counter.rate.scaled(), timeline_level * dt));
}

void VRN_FontainPtclSys::ResetPopulation() {
  counter_state.Reset();
  VRN_ParticleSystemCtrl::ResetPopulation();
}

Vector3 VRN_BurstPtclSys::LaunchDirection() const {
  const float radians = static_cast<float>(launch.value) * kPi / 180;
  return {std::cos(radians), -std::sin(radians), 0};
}

void VRN_BurstPtclSys::InitParticle(Particle& p) const {
  look.InitParticle(p, std::make_shared<IPR_ConstantAge>(Lifetime()));
  p.routines.push_back(IPR_Kinematic::Shared());

  const auto theta = static_cast<float>(launch.value);
  const float spread = std::min(static_cast<float>(launch.spread.value), kWidestSpread);
  const float lo = theta - spread / 2, hi = theta + spread / 2;
  const auto direction = [&](float from, float to) {
    return three_d.value != 0 ? RandomDirection3D(1, from, to) : RandomDirection2D(1, from, to);
  };
  const auto radius = static_cast<float>(start_radius.value);
  if (focused.value == 0) {
    p.velocity = direction(lo, hi);
    p.position = p.position + p.velocity * (Random01() * radius);
  } else {
    const float r = Random01() * radius;
    p.position = p.position + direction(0, 360) * r;
    const Vector3 d = LaunchDirection();
    const float sine = std::sin(spread / 2 * kPi / 180);
    p.velocity = d;
    if (spread != 0 && radius != 0 && sine >= kSmallestFocusSine) {
      const Vector3 focus = Finite(emitter.point.value) + d * (radius / sine);
      const Vector3 aim = focus - p.position;
      if (Length(aim) > 0) p.velocity = Vec3Normalize(aim);
    }
  }
  p.velocity = p.velocity * launch_speed.scaled();
  p.alpha_random() = 0;
}

void DS_PtclFire::InitParticle(Particle& p) const {
  VRN_FontainPtclSys::InitParticle(p);
  p.acceleration = LaunchDirection() * look.gravity.scaled();
}

void DS_PtclSmoke::Attach() {
  VRN_FontainPtclSys::Attach();
  look.look_flags &= ~ParticleLook::kPhysics;
}

void DS_PtclSmoke::InitParticle(Particle& p) const {
  p.routines.push_back(std::make_shared<IPR_Wind>(Vector3{wind.scaled(), 0, 0}, look.air_resistance.scaled()));
  VRN_FontainPtclSys::InitParticle(p);
}

}  // namespace lumi
