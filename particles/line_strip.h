// The strip a line draws along its sampled path: cross-sections at the
// window's two ends and at every sample between them, a quad between each
// pair of neighbours.
#pragma once

#include <cstdint>
#include <functional>
#include <vector>

#include "params/paths.h"
#include "render/vertex_formats.h"

namespace lumi {

// The total length of a sampled path: 0 with fewer than two samples.
float PathLength(const std::vector<SplineSample>& path);

// The point at distance x along the path (clamped to it) and the unit
// direction there.
struct PathPlace {
  Vector3 position;
  Vector3 direction{1, 0, 0};
};
PathPlace PlaceOnPath(const std::vector<SplineSample>& path, float x);

struct StripStyle {
  std::function<float(float)> width;  // pixels at a distance
  std::function<float(float)> alpha;  // 0..255 at a distance
  uint32_t rgb = 0xFFFFFF;            // packed ARGB with the alpha left 0
  // Path pixels per texture repeat along the strip; at least 1.
  float repeat = 1;
};

// Two vertices per cross-section of [a, b], left then right of the
// direction, with u 0 and 1 and v counting the repeats left to b. Nothing
// for an empty window or a path of no length.
void BuildStripSections(const std::vector<SplineSample>& path, float a, float b, const StripStyle& style,
                        std::vector<VertexPCT>& sections);

// The quad between sections k and k + 1, in the vertex order of a sprite.
void StripQuad(const std::vector<VertexPCT>& sections, size_t k, VertexPCT out[4]);

}  // namespace lumi
