// Draws the stand-ins the water effects fall back on when neither the
// resource module nor the document carries them: a tiling bump map (red
// and green hold the surface slope around 128, blue the height) and a
// tiling grey noise map, written as OUTDIR/bump_map.png and
// OUTDIR/noise_map.png.
//
//   make_water_maps OUTDIR
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#define STB_IMAGE_WRITE_IMPLEMENTATION
#include "stb_image_write.h"

namespace {

constexpr int kSize = 256;

// A lattice value in [0, 1] from a fixed hash, so every build draws the
// same maps.
double Lattice(int x, int y, int seed) {
  uint32_t h = static_cast<uint32_t>(x) * 374761393u + static_cast<uint32_t>(y) * 668265263u +
               static_cast<uint32_t>(seed) * 2246822519u;
  h = (h ^ (h >> 13)) * 1274126177u;
  return static_cast<double>((h ^ (h >> 16)) & 0xFFFF) / 65535.0;
}

// Smooth value noise over `cells` lattice cells per tile, wrapping at the
// tile's edges so the map tiles without a seam.
double TilingNoise(double u, double v, int cells, int seed) {
  const double x = u * cells, y = v * cells;
  const int x0 = static_cast<int>(std::floor(x)), y0 = static_cast<int>(std::floor(y));
  const double fx = x - x0, fy = y - y0;
  const auto smooth = [](double t) { return t * t * (3 - 2 * t); };
  const auto at = [&](int i, int j) { return Lattice(((i % cells) + cells) % cells, ((j % cells) + cells) % cells, seed); };
  const double top = at(x0, y0) + (at(x0 + 1, y0) - at(x0, y0)) * smooth(fx);
  const double bottom = at(x0, y0 + 1) + (at(x0 + 1, y0 + 1) - at(x0, y0 + 1)) * smooth(fx);
  return top + (bottom - top) * smooth(fy);
}

// Octaves from `cells` upwards, each twice as fine and half as strong;
// the result spans 0 to 1.
std::vector<double> Fractal(int cells, int octaves, int seed) {
  std::vector<double> field(kSize * kSize);
  for (int y = 0; y < kSize; ++y) {
    for (int x = 0; x < kSize; ++x) {
      double sum = 0, weight = 1;
      for (int o = 0; o < octaves; ++o) {
        sum += weight * TilingNoise(static_cast<double>(x) / kSize, static_cast<double>(y) / kSize, cells << o, seed + o);
        weight *= 0.5;
      }
      field[y * kSize + x] = sum;
    }
  }
  const auto [low, high] = std::minmax_element(field.begin(), field.end());
  const double lo = *low, span = std::max(*high - *low, 1e-9);
  for (double& value : field) value = (value - lo) / span;
  return field;
}

uint8_t Byte(double v) { return static_cast<uint8_t>(std::clamp(std::lround(v * 255.0), 0L, 255L)); }

bool Write(const std::string& path, int channels, const std::vector<uint8_t>& pixels) {
  if (stbi_write_png(path.c_str(), kSize, kSize, channels, pixels.data(), kSize * channels)) return true;
  std::fprintf(stderr, "make_water_maps: cannot write %s\n", path.c_str());
  return false;
}

bool WriteBumpMap(const std::string& path) {
  const std::vector<double> height = Fractal(8, 3, 11);
  const auto at = [&](int x, int y) { return height[((y + kSize) % kSize) * kSize + (x + kSize) % kSize]; };
  // Slopes scaled so that only the steepest few reach the byte's ends.
  constexpr double kSlopeGain = 4.0;
  std::vector<uint8_t> pixels(kSize * kSize * 4);
  for (int y = 0; y < kSize; ++y) {
    for (int x = 0; x < kSize; ++x) {
      uint8_t* p = &pixels[(y * kSize + x) * 4];
      p[0] = Byte(0.5 + (at(x + 1, y) - at(x - 1, y)) * kSlopeGain);
      p[1] = Byte(0.5 + (at(x, y + 1) - at(x, y - 1)) * kSlopeGain);
      p[2] = Byte(at(x, y));
      p[3] = 255;
    }
  }
  return Write(path, 4, pixels);
}

bool WriteNoiseMap(const std::string& path) {
  const std::vector<double> noise = Fractal(4, 5, 29);
  std::vector<uint8_t> pixels(noise.size());
  std::transform(noise.begin(), noise.end(), pixels.begin(), Byte);
  return Write(path, 1, pixels);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: make_water_maps OUTDIR\n");
    return 2;
  }
  const std::string directory = argv[1];
  return WriteBumpMap(directory + "/bump_map.png") && WriteNoiseMap(directory + "/noise_map.png") ? 0 : 1;
}
