// Tiling value noise for the stand-in pictures drawn at build time: a fixed
// hash, so every build draws the same pictures.
#pragma once

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

namespace lumi::embed {

// A lattice value in [0, 1].
inline double Lattice(int x, int y, int seed) {
  uint32_t h = static_cast<uint32_t>(x) * 374761393u + static_cast<uint32_t>(y) * 668265263u +
               static_cast<uint32_t>(seed) * 2246822519u;
  h = (h ^ (h >> 13)) * 1274126177u;
  return static_cast<double>((h ^ (h >> 16)) & 0xFFFF) / 65535.0;
}

// Smooth value noise over `cells_x` × `cells_y` lattice cells per tile,
// wrapping at the tile's edges so the picture tiles without a seam.
inline double TilingNoise(double u, double v, int cells_x, int cells_y, int seed) {
  const double x = u * cells_x, y = v * cells_y;
  const int x0 = static_cast<int>(std::floor(x)), y0 = static_cast<int>(std::floor(y));
  const double fx = x - x0, fy = y - y0;
  const auto smooth = [](double t) { return t * t * (3 - 2 * t); };
  const auto at = [&](int i, int j) {
    return Lattice(((i % cells_x) + cells_x) % cells_x, ((j % cells_y) + cells_y) % cells_y, seed);
  };
  const double top = at(x0, y0) + (at(x0 + 1, y0) - at(x0, y0)) * smooth(fx);
  const double bottom = at(x0, y0 + 1) + (at(x0 + 1, y0 + 1) - at(x0, y0 + 1)) * smooth(fx);
  return top + (bottom - top) * smooth(fy);
}

// A size × size field of octaves from `cells_x` × `cells_y` upwards, each
// twice as fine and half as strong, spread to span 0 to 1.
inline std::vector<double> Fractal(int size, int cells_x, int cells_y, int octaves, int seed) {
  std::vector<double> field(static_cast<size_t>(size) * size);
  for (int y = 0; y < size; ++y) {
    for (int x = 0; x < size; ++x) {
      double sum = 0, weight = 1;
      for (int o = 0; o < octaves; ++o) {
        sum += weight * TilingNoise(static_cast<double>(x) / size, static_cast<double>(y) / size, cells_x << o,
                                    cells_y << o, seed + o);
        weight *= 0.5;
      }
      field[static_cast<size_t>(y) * size + x] = sum;
    }
  }
  const auto [low, high] = std::minmax_element(field.begin(), field.end());
  const double lo = *low, span = std::max(*high - *low, 1e-9);
  for (double& value : field) value = (value - lo) / span;
  return field;
}

inline uint8_t Byte(double v) { return static_cast<uint8_t>(std::clamp(std::lround(v * 255.0), 0L, 255L)); }

}  // namespace lumi::embed
