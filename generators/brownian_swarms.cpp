// The Brownian swarms: a fixed swarm wandering inside its region, and the
// fireflies, each leaving drifting lights behind it.
#include <algorithm>
#include <cmath>

#include "generators/catalogue.h"
#include "params/directions.h"
#include "params/random.h"
#include "particles/particle_look_drawing.h"
#include "particles/particle_routines.h"

namespace lumi {

void VRN_BrownAnimation::ResetPopulation() {
  particles.clear();
  const Vector3 low = region.corners[0].value, high = region.corners[3].value;
  const int64_t n = Room(count.value);
  for (int64_t i = 0; i < n; ++i) {
    auto p = std::make_shared<Particle>();
    p->position = {Uniform(low.x, high.x), Uniform(low.y, high.y), low.z};
    // A swarm lives as long as the slide: its ramps stay at their start.
    look.InitParticle(*p, std::make_shared<IPR_HeadAge>(INFINITY));
    p->routines.push_back(std::make_shared<IPR_Brownian>(region, Hundredths(wander_speed.value),
                                                         Hundredths(change_rate.value),
                                                         Hundredths(acceleration_time.value)));
    particles.push_back(std::move(p));
  }
}

void VRN_Firefly::Attach() {
  light_look = look;
  light_look.size.value = look.size.value * kLightScale;
  light_look.blend_mode.value = 1;  // lights add up
  light_look.glow_mode.value = 0;
}

bool VRN_Firefly::AddLight(const Particle& firefly) {
  const float life = Hundredths(light_lifetime.value);
  if (!(life > 0)) return false;  // a light that lives no time is none
  if (lights.size() >= kMostParticles) return false;
  auto light = std::make_shared<Particle>();
  light->position = firefly.position;
  light_look.InitParticle(*light, std::make_shared<IPR_ConstantAge>(life));
  light->routines.push_back(IPR_Kinematic::Shared());
  const auto spread = static_cast<float>(light_spread.value);
  if (spread > 0) {
    // A point of the unit disc, evenly spread: the light drifts at most
    // `spread` pixels over its life.
    const Vector3 point = RotateZ({std::sqrt(Random01()), 0, 0}, Random01() * 360);
    light->velocity = point * (spread / life);
  }
  light->alpha_random() = 0;
  lights.push_back(std::move(light));
  return true;
}

void VRN_Firefly::Advance(double time) {
  VRN_BrownAnimation::Advance(time);
  std::erase_if(lights, [&](const ParticleHandle& p) { return !p->Update(frame_delta); });
  light_due += frame_delta * kLightsPerSecond;
  const float n = std::floor(light_due);
  light_due -= n;
  for (int k = 0; k < static_cast<int>(n); ++k) {
    for (const ParticleHandle& firefly : particles) AddLight(*firefly);
  }
}

void VRN_Firefly::BuildStripQuads(ParticleLookDrawing& strip) const {
  strip.BuildQuads(light_look, lights, static_cast<float>(light_look.size.value));
}

void VRN_Firefly::Render(ParticleLookDrawing& drawing, ParticleLookDrawing& strip, DS_ABRender& backdrop) const {
  drawing.Render(look, GlowMode(), backdrop);
  strip.Render(light_look, 0, backdrop);
}

}  // namespace lumi
