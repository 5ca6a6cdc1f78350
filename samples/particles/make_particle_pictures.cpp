// Draws the pictures of the particle sample: a night backdrop, a soft
// round dot and a four-pointed spark, written as OUTDIR/NAME.png.
//
//   make_particle_pictures OUTDIR
#include <cmath>
#include <cstdio>
#include <string>

#include "samples/sample_pictures.h"

using namespace lumi::sample;

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: make_particle_pictures OUTDIR\n");
    return 2;
  }
  const std::string dir = argv[1];
  bool ok = true;
  // A night square: a deep sky over dark ground, a faint horizon glow.
  ok &= Write(dir + "/backdrop.png", 640, 400, [](float x, float y) {
    if (y < 0.7f) {
      const float glow = std::exp(-(0.7f - y) * 8) * 0.25f;
      return Rgba{0.04f + glow, 0.05f + glow * 0.6f, 0.14f + 0.1f * y, 1};
    }
    const float stone = 0.08f + 0.03f * std::sin(x * 90) * std::sin(y * 70);
    return Rgba{stone, stone, stone * 1.2f, 1};
  });
  ok &= Write(dir + "/dot.png", 64, 64, [](float x, float y) { return Rgba{1, 1, 1, Soft(x, y)}; });
  ok &= Write(dir + "/spark.png", 64, 64, [](float x, float y) {
    const float cross = std::max(1 - std::fabs(x - 0.5f) * 12, 0.0f) + std::max(1 - std::fabs(y - 0.5f) * 12, 0.0f);
    return Rgba{1, 1, 1, std::min(1.0f, Soft(x, y) * 1.5f + cross * Soft(x, y))};
  });
  if (!ok) {
    std::fprintf(stderr, "make_particle_pictures: could not write the pictures into %s\n", dir.c_str());
    return 1;
  }
  return 0;
}
