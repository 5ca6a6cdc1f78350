// One picture walking along a path, sized by its picture.
#include <algorithm>
#include <cmath>

#include "particles/line_strip.h"
#include "particles/particle_look_drawing.h"
#include "particles/path_systems.h"

namespace lumi {

void VRN_SigleObjectPath::Attach() {
  samples = SampleSpline(path, 100, false);
  length = PathLength(samples);
}

void VRN_SigleObjectPath::ResetPopulation() {
  particles.clear();
  walk = {};
  place = {};
}

void VRN_SigleObjectPath::Advance(double time) {
  VRN_ParticleSystemCtrl::Advance(time);
  walk.Advance(time, static_cast<float>(walk_speed.value) / 100);
  if (samples.empty()) return;
  // Round and round: the walk starts again at the path's start.
  const float walked = walk.total * kWalkSpeed;
  place = PlaceOnPath(samples, length > 0 ? std::fmod(walked, length) : 0.0f);
}

void VRN_SigleObjectPath::BuildQuads(ParticleLookDrawing& drawing) const {
  if (samples.empty()) {
    drawing.BuildQuads(0, [](size_t, VertexPCT*) {});
    return;
  }
  const float share = static_cast<float>(size.value) / 100;
  const float half_w = share * static_cast<float>(drawing.PictureWidth()) / 2;
  const float half_h = share * static_cast<float>(drawing.PictureHeight()) / 2;
  float u0 = 0, u1 = look.run.u_extent, v0 = 0, v1 = look.run.v_extent;
  if (look.flip_u.value != 0) std::swap(u0, u1);
  if (look.flip_v.value != 0) std::swap(v0, v1);
  const Vector3 d = place.direction;
  if (orientation.value == 2 && d.x < 0) std::swap(u0, u1);
  if (orientation.value == 3 && d.y > 0) std::swap(v0, v1);
  // Across and down the picture; turned along the path for orientation 1.
  Vector3 across{half_w, 0, 0}, down{0, half_h, 0};
  if (orientation.value == 1) {
    across = d * half_w;
    down = Vector3{-d.y, d.x, 0} * half_h;
  }
  const Vector3 c = place.position;
  const uint32_t colour = look.VertexColour(1);
  drawing.SetWorldTransform(Matrix{});
  drawing.BuildQuads(1, [&](size_t, VertexPCT* out) {
    // A bottom left, B top left, C bottom right, D top right.
    const Vector3 at[4] = {c - across + down, c - across - down, c + across + down, c + across - down};
    const float u[4] = {u0, u0, u1, u1}, v[4] = {v1, v0, v1, v0};
    for (int i = 0; i < 4; ++i) out[i] = {at[i].x, at[i].y, at[i].z, colour, u[i], v[i]};
  });
}

}  // namespace lumi
