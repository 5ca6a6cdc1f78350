// The single quad and the quad that spins about its centre.
#include "particles/single_particle.h"

#include <algorithm>
#include <cmath>

#include "archive/registry.h"
#include "params/clamped_clock.h"
#include "params/param_archive.h"
#include "params/random.h"
#include "particles/particle_look_drawing.h"

namespace lumi {

static const RegisterClass<VRN_StaticObject> kRegisterStaticObject(Family::General);

void VRN_SingleParticle::Describe(Archive& ar) {
  QuadField(ar, "area", area);
  BaseRecordOf<VRN_ParticleSystemCtrl>(ar, this);
}

void VRN_SingleParticle::PlaceQuad(VertexPCT out[4]) const {
  static constexpr int kCornerOf[4] = {1, 0, 3, 2};
  for (int i = 0; i < 4; ++i) {
    const Vector3& c = area.corners[kCornerOf[i]].value;
    out[i].x = c.x;
    out[i].y = c.y;
    out[i].z = c.z;
  }
}

void VRN_SingleParticle::BuildQuads(ParticleLookDrawing& drawing) const {
  float u0 = 0, u1 = 1, v0 = 0, v1 = 1;
  TextureExtents(u1, v1);
  if (look.flip_u.value != 0) std::swap(u0, u1);
  if (look.flip_v.value != 0) std::swap(v0, v1);
  const uint32_t colour = look.VertexColour(opacity);
  drawing.SetWorldTransform(QuadTransform());
  drawing.BuildQuads(1, [&](size_t, VertexPCT* out) {
    // A (0, vmax), B (0, 0), C (umax, vmax), D (umax, 0).
    const float u[4] = {u0, u0, u1, u1}, v[4] = {v1, v0, v1, v0};
    for (int i = 0; i < 4; ++i) out[i] = {0, 0, 0, colour, u[i], v[i]};
    PlaceQuad(out);
  });
}

void VRN_StaticObject::Describe(Archive& ar) {
  SliderField(ar, "spin_speed", spin_speed, Apply::Set);
  IntField(ar, "spin_direction", spin_direction, Apply::Set);
  BaseRecordOf<VRN_SingleParticle>(ar, this);
}

void VRN_StaticObject::Advance(double time) {
  look.UpdateClocks(time);
  opacity = timeline_level;
  if (spin_speed.value == 0) {
    spin_angle = 0;
    return;
  }
  const float step = ClampedStep(spin_last_time, time) * spin_speed.scaled();
  spin_angle += spin_direction.value != 0 ? -step : step;
  // A whole turn changes nothing; kept small so hours of play keep their
  // precision.
  spin_angle = std::fmod(spin_angle, 360.0f);
}

Matrix VRN_StaticObject::QuadTransform() const {
  const Vector3 a = area.corners[0].value, b = area.corners[3].value;
  const Vector3 centre{(a.x + b.x) / 2, (a.y + b.y) / 2, (a.z + b.z) / 2};
  return MatrixTranslation(-centre.x, -centre.y, -centre.z) * MatrixRotationZ(spin_angle * 2 * kPi / 360) *
         MatrixTranslation(centre.x, centre.y, centre.z);
}

}  // namespace lumi
