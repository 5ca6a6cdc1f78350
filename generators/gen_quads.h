// The quad a generated particle is drawn with, and the screen rectangle
// it covers (what the run-time object hands out for hit tests).
#pragma once

#include <cstdint>

#include "generators/gen_particle.h"
#include "render/scene_view.h"
#include "render/vertex_formats.h"

namespace lumi {

// What every quad of one sprite array shares.
struct GenQuadStyle {
  float width = 0, height = 0;  // the picture's size before the particle's size factor
  uint32_t colour = 0x00FFFFFF;  // 0x00BBGGRR
  uint8_t colour_alpha = 255;    // the colour's opacity byte
  float level = 1;               // the timeline's level
  float turn = 0;                // radians added to every particle's angle
};

// width × size by height × size, turned by the particle's angle (and the
// style's turn) about z and
// centred on its position; alpha = opacity × level × colour alpha / 255,
// clamped to 0..1 and scaled to a byte. Returns the bounding rectangle.
PlacedRect BuildGenQuad(const GenParticle& particle, const GenQuadStyle& style, VertexPCT out[4]);

// The size of a picture of w × h, with a missing picture counting as square.
inline float Aspect(uint32_t w, uint32_t h) { return w > 0 && h > 0 ? static_cast<float>(h) / static_cast<float>(w) : 1; }

}  // namespace lumi
