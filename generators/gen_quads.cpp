#include "generators/gen_quads.h"

#include <algorithm>
#include <cmath>

#include "render/device_types.h"
#include "render/sprite_quads.h"

namespace lumi {

PlacedRect BuildGenQuad(const GenParticle& particle, const GenQuadStyle& style, VertexPCT out[4]) {
  const float size = particle.values[kSize], angle = particle.values[kAngle] + style.turn;
  const float c = std::cos(angle), s = std::sin(angle);
  SpriteRecord sprite;
  sprite.center = particle.position;
  sprite.halfWidth = style.width * size / 2;
  sprite.halfHeight = style.height * size / 2;
  sprite.u = {c, s, 0};
  sprite.v = {-s, c, 0};
  float alpha = particle.values[kOpacity] * style.level * static_cast<float>(style.colour_alpha) / 255;
  alpha = std::isnan(alpha) ? 0 : std::clamp(alpha, 0.0f, 1.0f);
  const uint32_t k = style.colour;
  const uint32_t colour = Argb(static_cast<uint32_t>(std::lround(alpha * 255)), k & 0xFF, (k >> 8) & 0xFF,
                               (k >> 16) & 0xFF);
  BuildSpriteQuad(sprite, colour, false, false, out);
  float left = out[0].x, right = out[0].x, top = out[0].y, bottom = out[0].y;
  for (int i = 1; i < 4; ++i) {
    left = std::min(left, out[i].x);
    right = std::max(right, out[i].x);
    top = std::min(top, out[i].y);
    bottom = std::max(bottom, out[i].y);
  }
  return {left, top, right - left, bottom - top};
}

}  // namespace lumi
