// Turning a live particle into its textured quad.
#include <algorithm>
#include <cmath>

#include "particles/particle_look.h"
#include "render/sprite_quads.h"

namespace lumi {
namespace {

// A Windows colour (red in the low byte) with alpha as a packed ARGB vertex
// colour.
uint32_t PackedColour(uint32_t colour_ref, uint32_t alpha) {
  const uint32_t r = colour_ref & 0xFF, g = (colour_ref >> 8) & 0xFF, b = (colour_ref >> 16) & 0xFF;
  return (alpha << 24) | (r << 16) | (g << 8) | b;
}

}  // namespace

uint32_t ParticleLook::VertexColour(float factor) const {
  const float share = std::clamp(static_cast<float>(colour.alpha()) * factor / 255, 0.0f, 1.0f);
  // NaN shares count as 0.
  const auto alpha = static_cast<uint32_t>((share > 0 ? share : 0.0f) * 255 + 0.5f);
  return PackedColour(colour.value, alpha);
}

void ParticleLook::BuildQuad(const Particle& p, float size_pixels, VertexPCT out[4]) const {
  BuildQuadOfWidth(p, size_pixels * SizeFactor(p), p.velocity, out);
}

void ParticleLook::BuildQuadOfWidth(const Particle& p, float w, Vector3 along, VertexPCT out[4]) const {
  const float h = w * run.aspect;
  Matrix m = p.transform;
  if (orientation.value == 2 && spin_clock.value != 0) {
    m = m * MatrixRotationZ(static_cast<float>(p.spin() * run.spin_total));
  } else if (orientation.value == 1) {
    // A particle at rest keeps its birth rotation.
    const float speed = std::hypot(along.x, along.y);
    if (speed > 0) {
      Matrix turn;
      turn.m[0][0] = along.x / speed;
      turn.m[0][1] = along.y / speed;
      turn.m[1][0] = -turn.m[0][1];
      turn.m[1][1] = turn.m[0][0];
      m = m * turn;
    }
  }
  SpriteRecord quad;
  quad.center = p.ReferencePoint();
  quad.halfWidth = quad.halfHeight = 0.5f;
  // The transforms are rotations: (w, 0, 0) and (0, h, 0) turned are the
  // first two rows scaled.
  quad.u = {w * m.m[0][0], w * m.m[0][1], w * m.m[0][2]};
  quad.v = {h * m.m[1][0], h * m.m[1][1], h * m.m[1][2]};
  quad.ua = p.frame_offset_u;
  quad.ub = run.u_extent * p.frame_scale_u + p.frame_offset_u;
  quad.va = p.frame_offset_v;
  quad.vb = run.v_extent * p.frame_scale_v + p.frame_offset_v;
  BuildSpriteQuad(quad, VertexColour(AlphaFactor(p)), flip_v.value != 0, flip_u.value != 0, out);
}

}  // namespace lumi
