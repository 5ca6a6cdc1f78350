// Rays of light: the record, and rays kept at their count, each drawn as
// three quads fading in along its length and out at the edges.
#include "particles/ray_of_light.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

#include "archive/registry.h"
#include "params/clamped_clock.h"
#include "params/param_archive.h"
#include "params/random.h"
#include "particles/emission.h"
#include "particles/particle_look_drawing.h"
#include "particles/particle_routines.h"
#include "particles/screen_fit.h"

namespace lumi {

static const RegisterClass<DS_RayOfLight> kRegisterRayOfLight(Family::General);

namespace {

// A nominal value and its jitter percentage.
void JitterField(Archive& ar, const char* field, const char* jitter_field, VRN_JitterParam& param) {
  SliderField(ar, field, param, Apply::Set);
  SliderField(ar, jitter_field, param.jitter, Apply::Set);
}


// A value of a jittered setting: uniform between its lowest share and the
// whole.
float Jittered(const VRN_JitterParam& param) {
  const float m = param.jitter.scaled();
  return (Random01() * (1 - m) + m) * param.scaled();
}

Vector3 Unit(Vector3 v) {
  const float length = Length(v);
  return length > 0 ? v * (1 / length) : Vector3{};
}

}  // namespace

void DS_RayOfLight::Describe(Archive& ar) {
  QuadField(ar, "area", area);
  UIntField(ar, "count", count, Apply::Set);
  JitterField(ar, "ray_lifetime", "ray_lifetime_jitter", ray_lifetime);
  JitterField(ar, "ray_width", "ray_width_jitter", ray_width);
  JitterField(ar, "drift", "drift_jitter", drift);
  SliderField(ar, "end_width", end_width, Apply::Set);
  SliderField(ar, "start_fade", start_fade, Apply::Set);
  SliderField(ar, "end_fade", end_fade, Apply::Set);
  SliderField(ar, "edge_fade", edge_fade, Apply::Set);
  UnnamedFields(ar).Int(unused);
  BaseRecordOf<VRN_ParticleSystemCtrl>(ar, this);
}

void DS_RayOfLight::Attach() {
  if (fixed_layout || !HasScreen()) return;
  FitToScreen(area, kUnplacedShare);
  const float centre = ScreenCentre().x, half_top = kTopHalfShare * 2 * centre;
  area.corners[0].value.x = centre - half_top;
  area.corners[2].value.x = centre + half_top;
}

void DS_RayOfLight::Advance(double time) {
  frame_delta = ClampedStep(last_time, time) * speed.scaled();
  total_time += frame_delta;
  const float dt = frame_delta;
  std::erase_if(particles, [dt](const ParticleHandle& p) { return !p->Update(dt); });
  Step(dt);
}

void DS_RayOfLight::Emit(ParticleList& /*born*/, float /*dt*/) {
  const auto wanted = static_cast<int64_t>(count.value) - static_cast<int64_t>(particles.size());
  const int64_t n = Room(wanted);
  for (int64_t i = 0; i < n; ++i) {
    auto p = std::make_shared<Particle>();
    p->position = {Random01(), 0, 0};
    const float life = Jittered(ray_lifetime);
    p->life = std::make_shared<IPR_ConstantAge>(life);
    // Opacity rises over the first half of the life and falls over the
    // second; a life of 0 (an infinite rate) ends at once anyway.
    const float rate = life > 0 ? 2 / life : 0;
    p->routines.push_back(std::make_shared<IPR_Increment>(2, 0.0f, 1.0f, rate));
    p->routines.push_back(std::make_shared<IPR_Increment>(2, life / 2, 1.0f, -rate));
    p->routines.push_back(IPR_Kinematic::Shared());
    p->alpha_random() = 0;
    p->size_random() = Jittered(ray_width);
    const float sign = Rand() % 2 != 0 ? -1.0f : 1.0f;
    p->velocity = {sign * Jittered(drift), 0, 0};
    particles.push_back(std::move(p));
  }
}

void DS_RayOfLight::RayQuads(float g, float width, float alpha, VertexPCT out[12]) const {
  const Vector3 c0 = Finite(area.corners[0].value), c1 = Finite(area.corners[1].value);
  const Vector3 c2 = Finite(area.corners[2].value), c3 = Finite(area.corners[3].value);
  const Vector3 s = c2 + (c0 - c2) * g, e = c3 + (c1 - c3) * g;
  const Vector3 across_s = Unit(c2 - c0) * (width / 2), across_e = Unit(c3 - c1) * (width / 2 * end_width.scaled());
  // Edge fade: rays near either end of the source edge fade out.
  const float edge = edge_fade.scaled();
  float share = 1;
  if (g < edge) share = g / edge;
  if (g > 1 - edge) share = (1 - g) / edge;
  const uint32_t inner = look.VertexColour(alpha * std::max(share, 0.0f));
  const uint32_t outer = inner & 0x00FFFFFF;
  // Four cross-sections at t = 0, start fade, 1 − end fade, 1.
  const float t[4] = {0, start_fade.scaled(), 1 - end_fade.scaled(), 1};
  for (int q = 0; q < 3; ++q) {
    VertexPCT* quad = out + 4 * q;
    for (int k = 0; k < 2; ++k) {
      const int section = q + 1 - k;
      const float at = t[section];
      const Vector3 centre = s + (e - s) * at;
      const Vector3 half = across_s + (across_e - across_s) * at;
      const uint32_t colour = section == 0 || section == 3 ? outer : inner;
      const Vector3 left = centre - half, right = centre + half;
      // A and C at the far side of the quad, B and D at the near side.
      quad[2 * k] = {left.x, left.y, left.z, colour, 0, at};
      quad[2 * k + 1] = {right.x, right.y, right.z, colour, 1, at};
    }
    std::swap(quad[1], quad[2]);
  }
}

void DS_RayOfLight::BuildQuads(ParticleLookDrawing& drawing) const {
  drawing.BuildQuads(3 * particles.size(), [&](size_t i, VertexPCT* out) {
    const Particle& p = *particles[i / 3];
    VertexPCT ray[12];
    RayQuads(p.position.x, p.size_random(), p.alpha_random(), ray);
    std::copy(ray + 4 * (i % 3), ray + 4 * (i % 3) + 4, out);
  });
}
}  // namespace lumi

