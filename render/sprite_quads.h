// Building the vertices and indices of sprite quads and effect grids.
#pragma once

#include <cstdint>
#include <utility>
#include <vector>

#include "params/vector_math.h"
#include "render/vertex_formats.h"

namespace lumi {

// One sprite as a particle constructor describes it.
struct SpriteRecord {
  Vector3 center;
  float halfWidth = 0, halfHeight = 0;
  Vector3 u{1, 0, 0}, v{0, 1, 0};  // unit axes of the sprite plane
  float ua = 0, ub = 1;            // texture left and right
  float va = 0, vb = 1;            // texture top and bottom
  uint32_t colorIndex = 0;
};

// The four strip-ordered corners o + 2hV, o, o + 2wU + 2hV, o + 2wU with
// o = c - wU - hV; texture coordinates (ua, vb), (ua, va), (ub, vb), (ub, va)
// after the flips (vertical swaps va and vb, horizontal ua and ub).
// Inline: it runs for every sprite of every frame, and its caller's record
// then stays in registers.
inline void BuildSpriteQuad(const SpriteRecord& s, uint32_t color, bool flipVertical, bool flipHorizontal,
                            VertexPCT out[4]) {
  float ua = s.ua, ub = s.ub, va = s.va, vb = s.vb;
  if (flipVertical) std::swap(va, vb);
  if (flipHorizontal) std::swap(ua, ub);
  const float wx = s.u.x * s.halfWidth, wy = s.u.y * s.halfWidth, wz = s.u.z * s.halfWidth;
  const float hx = s.v.x * s.halfHeight, hy = s.v.y * s.halfHeight, hz = s.v.z * s.halfHeight;
  const float ox = s.center.x - wx - hx, oy = s.center.y - wy - hy, oz = s.center.z - wz - hz;
  out[0] = {ox + 2 * hx, oy + 2 * hy, oz + 2 * hz, color, ua, vb};
  out[1] = {ox, oy, oz, color, ua, va};
  out[2] = {ox + 2 * (wx + hx), oy + 2 * (wy + hy), oz + 2 * (wz + hz), color, ub, vb};
  out[3] = {ox + 2 * wx, oy + 2 * wy, oz + 2 * wz, color, ub, va};
}

// Two triangles per sprite: 4k, 4k+1, 4k+2, 4k+2, 4k+1, 4k+3.
std::vector<uint16_t> SpriteIndices(uint32_t sprites);

// Two triangles per cell of a grid of columns x rows cells whose
// (columns + 1) x (rows + 1) vertices are stored row by row.
std::vector<uint16_t> GridIndices(uint32_t columns, uint32_t rows);

// A corner of a grid: position and texture coordinate.
struct GridCorner {
  float x, y, z, u, v;
};

// Vertices of the grid by bilinear interpolation of the corners c0 (top
// left), c1 (top right), c2 (bottom left) and c3 (bottom right).
std::vector<VertexPT> GridVertices(uint32_t columns, uint32_t rows, const GridCorner& c0, const GridCorner& c1,
                                   const GridCorner& c2, const GridCorner& c3);

}  // namespace lumi
