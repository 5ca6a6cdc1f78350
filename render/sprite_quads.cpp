#include "render/sprite_quads.h"

#include <utility>

namespace lumi {

void BuildSpriteQuad(const SpriteRecord& s, uint32_t color, bool flipVertical, bool flipHorizontal, VertexPCT out[4]) {
  float ua = s.ua, ub = s.ub, va = s.va, vb = s.vb;
  if (flipVertical) std::swap(va, vb);
  if (flipHorizontal) std::swap(ua, ub);
  // Written out per component: this runs for every sprite of every frame.
  const float wx = s.u.x * s.halfWidth, wy = s.u.y * s.halfWidth, wz = s.u.z * s.halfWidth;
  const float hx = s.v.x * s.halfHeight, hy = s.v.y * s.halfHeight, hz = s.v.z * s.halfHeight;
  const float ox = s.center.x - wx - hx, oy = s.center.y - wy - hy, oz = s.center.z - wz - hz;
  out[0] = {ox + 2 * hx, oy + 2 * hy, oz + 2 * hz, color, ua, vb};
  out[1] = {ox, oy, oz, color, ua, va};
  out[2] = {ox + 2 * (wx + hx), oy + 2 * (wy + hy), oz + 2 * (wz + hz), color, ub, vb};
  out[3] = {ox + 2 * wx, oy + 2 * wy, oz + 2 * wz, color, ub, va};
}

std::vector<uint16_t> SpriteIndices(uint32_t sprites) {
  std::vector<uint16_t> indices;
  indices.reserve(size_t{sprites} * 6);
  for (uint32_t k = 0; k < sprites; ++k) {
    const auto base = static_cast<uint16_t>(4 * k);
    for (uint16_t offset : {0, 1, 2, 2, 1, 3}) indices.push_back(static_cast<uint16_t>(base + offset));
  }
  return indices;
}

std::vector<uint16_t> GridIndices(uint32_t columns, uint32_t rows) {
  const uint32_t w = columns + 1;
  std::vector<uint16_t> indices;
  indices.reserve(size_t{columns} * rows * 6);
  for (uint32_t r = 0; r < rows; ++r) {
    for (uint32_t c = 0; c < columns; ++c) {
      const uint32_t top = r * w + c, bottom = (r + 1) * w + c;
      for (uint32_t index : {top, top + 1, bottom, bottom, top + 1, bottom + 1}) {
        indices.push_back(static_cast<uint16_t>(index));
      }
    }
  }
  return indices;
}

std::vector<VertexPT> GridVertices(uint32_t columns, uint32_t rows, const GridCorner& c0, const GridCorner& c1,
                                   const GridCorner& c2, const GridCorner& c3) {
  const auto mix = [](const GridCorner& a, const GridCorner& b, float t) {
    return GridCorner{a.x + (b.x - a.x) * t, a.y + (b.y - a.y) * t, a.z + (b.z - a.z) * t, a.u + (b.u - a.u) * t,
                      a.v + (b.v - a.v) * t};
  };
  std::vector<VertexPT> vertices;
  vertices.reserve(size_t{columns + 1} * (rows + 1));
  for (uint32_t i = 0; i <= rows; ++i) {
    const float s = rows ? static_cast<float>(i) / rows : 0;
    const GridCorner left = mix(c0, c2, s), right = mix(c1, c3, s);
    for (uint32_t j = 0; j <= columns; ++j) {
      const GridCorner p = mix(left, right, columns ? static_cast<float>(j) / columns : 0);
      vertices.push_back({p.x, p.y, p.z, p.u, p.v});
    }
  }
  return vertices;
}

}  // namespace lumi
