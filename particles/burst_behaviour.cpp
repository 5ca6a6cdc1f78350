// How bursts and fountains launch their particles.
#include <algorithm>
#include <cmath>

#include "params/directions.h"
#include "params/random.h"
#include "particles/burst_systems.h"
#include "particles/particle_routines.h"

namespace lumi {
namespace {

// Launch speeds below this count as this, so that a speed of 0 never makes
// a particle immortal.
constexpr float kSlowestLaunch = 1;  // pixels per second
// Where sin(spread / 2) is smaller the focus lies too far behind to aim at.
constexpr float kSmallestFocusSine = 1e-4f;
constexpr float kWidestSpread = 360;

Vector3 Finite(Vector3 v) {
  const auto fix = [](float x) { return std::isfinite(x) ? x : 0.0f; };
  return {fix(v.x), fix(v.y), fix(v.z)};
}

}  // namespace

void VRN_BurstPtclSys::Attach() { look.look_flags |= ParticleLook::kWobble; }

void VRN_BurstPtclSys::ResetPopulation() {
  particles.clear();
  emitted_count = 0;
}

float VRN_BurstPtclSys::Lifetime() const {
  return static_cast<float>(range.value) / std::max(launch_speed.scaled(), kSlowestLaunch);
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
  if (timeline_state == 1) emitted_count = 0;
  const float wanted = std::floor(timeline_level * static_cast<float>(count.value) - static_cast<float>(emitted_count));
  if (!(wanted > 0)) return;
  const auto n = static_cast<int64_t>(std::min(wanted, 9.0e18f));
  emitted_count += n;
  Launch(born, n);
}

void VRN_FontainPtclSys::Emit(ParticleList& born, float dt) {
  Launch(born, counter_state.Count(counter.rate.scaled(), timeline_level * dt));
}

void VRN_FontainPtclSys::ResetPopulation() {
  counter_state.Reset();
  VRN_ParticleSystemCtrl::ResetPopulation();
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
    const float radians = theta * kPi / 180;
    const Vector3 d{std::cos(radians), -std::sin(radians), 0};
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

}  // namespace lumi
