// Draws the stand-ins the water effects fall back on when neither the
// resource module nor the document carries them: a tiling bump map (red
// and green hold the surface slope around 128, blue the height) and a
// tiling grey noise map, written as OUTDIR/bump_map.png and
// OUTDIR/noise_map.png.
//
//   make_water_maps OUTDIR
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#define STB_IMAGE_WRITE_IMPLEMENTATION
#include "stb_image_write.h"
#include "tiling_noise.h"

namespace {

using lumi::embed::Byte;
using lumi::embed::Fractal;

constexpr int kSize = 256;

bool Write(const std::string& path, int channels, const std::vector<uint8_t>& pixels) {
  if (stbi_write_png(path.c_str(), kSize, kSize, channels, pixels.data(), kSize * channels)) return true;
  std::fprintf(stderr, "make_water_maps: cannot write %s\n", path.c_str());
  return false;
}

bool WriteBumpMap(const std::string& path) {
  const std::vector<double> height = Fractal(kSize, 8, 8, 3, 11);
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
  const std::vector<double> noise = Fractal(kSize, 4, 4, 5, 29);
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
