// The simulation every emitter system shares: the clock, the step and the
// pre-roll.
#include <algorithm>
#include <cmath>

#include "archive/utf.h"
#include "params/clamped_clock.h"
#include "particles/particle_system.h"
#include "scene/notices.h"

namespace lumi {

int VRN_ParticleSystemCtrl::GlowMode() const { return std::clamp(look.glow_mode.value, 0, 2); }

void VRN_ParticleSystemCtrl::Advance(double time) {
  frame_delta = ClampedStep(last_time, time) * speed.scaled();
  total_time += frame_delta;
  look.UpdateClocks(time);
  Step(frame_delta);
}

void VRN_ParticleSystemCtrl::Step(float dt) {
  std::erase_if(particles, [dt](const ParticleHandle& p) { return !p->Update(dt); });
  ParticleList born;
  Emit(born, dt);
  const auto n = static_cast<float>(born.size());
  for (size_t i = 0; i < born.size(); ++i) born[i]->Update(static_cast<float>(i) * dt / n);
}

void VRN_ParticleSystemCtrl::ResetPopulation() {
  particles.clear();
  if (timing.value != VRN_SmartTiming::kContinuous) return;
  // Whole steps, counted: a sum of tenths falls short of the whole and
  // would run one step more.
  const float steps = std::ceil(PrerollSeconds() / kPrerollStep - 1e-3f);
  const int count = std::isfinite(steps) ? static_cast<int>(std::clamp(steps, 0.0f, float{kMostPrerollSteps})) : 0;
  for (int i = 0; i < count; ++i) Step(kPrerollStep);
}

int64_t VRN_ParticleSystemCtrl::Room(int64_t n) {
  const auto room = static_cast<int64_t>(kMostParticles) - static_cast<int64_t>(particles.size());
  if (n <= room) return std::max<int64_t>(n, 0);
  AddNoticeOnce("particle system \"" + ToUtf8(name) + "\" keeps at most " + std::to_string(kMostParticles) +
                " particles; further births are dropped");
  return std::max<int64_t>(room, 0);
}

}  // namespace lumi
