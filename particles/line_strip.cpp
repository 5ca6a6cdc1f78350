#include "particles/line_strip.h"

#include <algorithm>
#include <cmath>

namespace lumi {

float PathLength(const std::vector<SplineSample>& path) {
  return path.size() < 2 ? 0.0f : path[path.size() - 2].length_to_next;
}

PathPlace PlaceOnPath(const std::vector<SplineSample>& path, float x) {
  if (path.empty()) return {};
  if (path.size() < 2) return {path[0].position, path[0].tangent};
  // The first segment whose end lies at or beyond x.
  const auto end = std::lower_bound(path.begin(), path.end() - 1, x,
                                    [](const SplineSample& s, float d) { return s.length_to_next < d; });
  const size_t i = std::min(static_cast<size_t>(end - path.begin()), path.size() - 2);
  const SplineSample& s = path[i];
  const float start = s.length_to_next - s.distance_to_next;
  const float f = s.distance_to_next > 0 ? std::clamp((x - start) / s.distance_to_next, 0.0f, 1.0f) : 0.0f;
  const Vector3 step = path[i + 1].position - s.position;
  const float length = Length(step);
  return {s.position + step * f, length > 0 ? step * (1 / length) : s.tangent};
}

void BuildStripSections(const std::vector<SplineSample>& path, float a, float b, const StripStyle& style,
                        std::vector<VertexPCT>& sections) {
  sections.clear();
  const float length = PathLength(path);
  if (!(length > 0) || !(b > a)) return;
  a = std::max(a, 0.0f);
  b = std::min(b, length);
  if (!(b > a)) return;
  const float repeat = std::max(style.repeat, 1.0f);
  const auto section = [&](float x, Vector3 p, Vector3 d) {
    const Vector3 n{-d.y, d.x, 0};
    const float half = style.width(x) / 2;
    const float share = std::clamp(style.alpha(x) / 255, 0.0f, 1.0f);
    const uint32_t colour = (static_cast<uint32_t>(share * 255 + 0.5f) << 24) | (style.rgb & 0x00FFFFFF);
    const float v = (b - x) / repeat;
    const Vector3 left = p - n * half, right = p + n * half;
    sections.push_back({left.x, left.y, left.z, colour, 0, v});
    sections.push_back({right.x, right.y, right.z, colour, 1, v});
  };
  const PathPlace first = PlaceOnPath(path, a);
  section(a, first.position, first.direction);
  // Samples strictly inside the window: sample i + 1 sits at path[i].length_to_next.
  for (size_t i = 0; i + 2 < path.size(); ++i) {
    const float x = path[i].length_to_next;
    if (x <= a) continue;
    if (x >= b) break;
    section(x, path[i + 1].position, path[i + 1].tangent);
  }
  const PathPlace last = PlaceOnPath(path, b);
  section(b, last.position, last.direction);
}

void StripQuad(const std::vector<VertexPCT>& sections, size_t k, VertexPCT out[4]) {
  // A and C on the far section, B and D on the near one.
  out[0] = sections[2 * k + 2];
  out[1] = sections[2 * k];
  out[2] = sections[2 * k + 3];
  out[3] = sections[2 * k + 1];
}

}  // namespace lumi
