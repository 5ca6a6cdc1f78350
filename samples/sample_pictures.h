// What the sample picture programs share: writing a PNG whose pixels come
// from a function, and soft shapes to draw with. Included by one source
// file of each program, which thereby holds the PNG writer.
#pragma once

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#define STB_IMAGE_WRITE_IMPLEMENTATION
#include "stb_image_write.h"

namespace lumi::sample {

struct Rgba {
  float r, g, b, a;
};

// Every pixel from a function of its centre in [0, 1] × [0, 1].
inline bool Write(const std::string& path, int w, int h, const std::function<Rgba(float, float)>& shade) {
  std::vector<std::uint8_t> pixels(static_cast<std::size_t>(w) * h * 4);
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w; ++x) {
      const Rgba c = shade((x + 0.5f) / w, (y + 0.5f) / h);
      std::uint8_t* p = &pixels[(static_cast<std::size_t>(y) * w + x) * 4];
      for (int i = 0; i < 4; ++i) {
        p[i] = static_cast<std::uint8_t>(std::clamp((&c.r)[i], 0.0f, 1.0f) * 255 + 0.5f);
      }
    }
  }
  return stbi_write_png(path.c_str(), w, h, 4, pixels.data(), w * 4) != 0;
}

inline float Smooth(float edge0, float edge1, float x) {
  const float t = std::clamp((x - edge0) / (edge1 - edge0), 0.0f, 1.0f);
  return t * t * (3 - 2 * t);
}

// 1 inside the ellipse of centre (cx, cy) and radii (rx, ry), soft edged.
inline float Ellipse(float x, float y, float cx, float cy, float rx, float ry) {
  const float d = std::hypot((x - cx) / rx, (y - cy) / ry);
  return 1 - Smooth(0.85f, 1.0f, d);
}

inline float Soft(float x, float y) { return std::pow(std::max(0.0f, 1 - std::hypot(x - 0.5f, y - 0.5f) * 2), 2.0f); }

}  // namespace lumi::sample
