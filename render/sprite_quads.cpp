#include "render/sprite_quads.h"

namespace lumi {

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
