// Draws the pictures of the generator sample: a night sky over hills, a
// four-pointed star, a soft dot, a small spark, a smoke puff, a bolt's glowing line and a
// reed with leaves, written as OUTDIR/NAME.png.
//
//   make_generator_pictures OUTDIR
#include <cmath>
#include <cstdio>
#include <string>

#include "samples/sample_pictures.h"

using namespace lumi::sample;

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: make_generator_pictures OUTDIR\n");
    return 2;
  }
  const std::string dir = argv[1];
  bool ok = true;
  // Deep blue sky brightening to the horizon, dark rolling hills below.
  ok &= Write(dir + "/night.png", 640, 400, [](float x, float y) {
    const float hill = 0.72f + 0.05f * std::sin(x * 7.0f) + 0.03f * std::sin(x * 17.0f + 1);
    if (y > hill) return Rgba{0.03f, 0.05f + 0.02f * std::sin(x * 40), 0.04f, 1};
    const float glow = std::exp(-(hill - y) * 6) * 0.22f;
    return Rgba{0.02f + glow * 0.8f, 0.03f + glow * 0.6f, 0.10f + 0.12f * y + glow * 0.4f, 1};
  });
  ok &= Write(dir + "/star.png", 64, 64, [](float x, float y) {
    const float dx = std::fabs(x - 0.5f), dy = std::fabs(y - 0.5f);
    const float rays = std::max(0.0f, 1 - dx * 14) * std::max(0.0f, 1 - dy * 2.1f) +
                       std::max(0.0f, 1 - dy * 14) * std::max(0.0f, 1 - dx * 2.1f);
    return Rgba{1, 1, 1, std::min(1.0f, rays + Soft(x, y) * 1.6f)};
  });
  ok &= Write(dir + "/dot.png", 64, 64, [](float x, float y) { return Rgba{1, 1, 1, Soft(x, y)}; });
  ok &= Write(dir + "/spark.png", 12, 12, [](float x, float y) { return Rgba{1, 1, 1, std::min(1.0f, Soft(x, y) * 2)}; });
  ok &= Write(dir + "/puff.png", 128, 128, [](float x, float y) {
    const float lumps = 0.75f + 0.25f * std::sin(x * 19 + 2) * std::sin(y * 23 + 1);
    return Rgba{0.85f, 0.85f, 0.88f, Soft(x, y) * lumps};
  });
  ok &= Write(dir + "/bolt.png", 64, 16, [](float, float y) {
    const float d = std::fabs(y - 0.5f) * 2;
    return Rgba{0.85f + 0.15f * (1 - d), 0.9f + 0.1f * (1 - d), 1, std::pow(std::max(0.0f, 1 - d), 1.5f)};
  });
  // A reed: a stem up the middle with two leaves, on transparency.
  ok &= Write(dir + "/reed.png", 96, 256, [](float x, float y) {
    const float stem = 1 - Smooth(0.02f, 0.035f, std::fabs(x - 0.5f - (1 - y) * 0.04f));
    const float leaf1 = Ellipse(x, y, 0.36f, 0.55f, 0.14f, 0.05f);
    const float leaf2 = Ellipse(x, y, 0.64f, 0.38f, 0.13f, 0.045f);
    const float head = Ellipse(x, y, 0.53f, 0.1f, 0.06f, 0.09f);
    const float a = std::max({stem, leaf1, leaf2, head});
    if (head >= std::max({stem, leaf1, leaf2})) return Rgba{0.45f, 0.28f, 0.12f, a};
    return Rgba{0.2f, 0.55f + 0.2f * (1 - y), 0.18f, a};
  });
  if (!ok) {
    std::fprintf(stderr, "make_generator_pictures: could not write the pictures into %s\n", dir.c_str());
    return 1;
  }
  return 0;
}
