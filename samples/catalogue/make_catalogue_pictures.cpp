// Draws the pictures of the particle catalogue: a dusk backdrop with a
// window's dark frame, a soft dot, a smoke puff, a 2 × 2 atlas of rain
// drops (a long sliding drop, then three round droplets) and a paper
// lantern, written as OUTDIR/NAME.png.
//
//   make_catalogue_pictures OUTDIR
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>

#include "samples/sample_pictures.h"

using namespace lumi::sample;

namespace {

// A drop in a cell of the atlas: a bright rim and a clear body.
Rgba Drop(float x, float y, float rx, float ry) {
  const float body = Ellipse(x, y, 0.5f, 0.5f, rx, ry);
  const float rim = body * Smooth(0.3f, 0.9f, std::hypot((x - 0.5f) / rx, (y - 0.45f) / ry));
  return Rgba{1, 1, 1, body * 0.25f + rim * 0.6f};
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: make_catalogue_pictures OUTDIR\n");
    return 2;
  }
  const std::string dir = argv[1];
  bool ok = true;
  // Dusk over a dark town: a blue sky brightening to a warm horizon.
  ok &= Write(dir + "/backdrop.png", 640, 400, [](float x, float y) {
    if (y < 0.75f) {
      const float warm = std::exp(-(0.75f - y) * 6);
      return Rgba{0.08f + 0.45f * warm, 0.10f + 0.25f * warm, 0.25f + 0.05f * warm, 1};
    }
    const float roofs = 0.75f + 0.04f * std::sin(x * 40) * std::sin(x * 17);
    const float shade = y < roofs + 0.02f ? 0.12f : 0.06f;
    return Rgba{shade, shade, shade * 1.3f, 1};
  });
  ok &= Write(dir + "/dot.png", 64, 64, [](float x, float y) { return Rgba{1, 1, 1, Soft(x, y)}; });
  ok &= Write(dir + "/puff.png", 128, 128, [](float x, float y) {
    const float lumps = 0.75f + 0.25f * std::sin(x * 19) * std::sin(y * 23);
    return Rgba{1, 1, 1, std::pow(std::max(0.0f, 1 - std::hypot(x - 0.5f, y - 0.5f) * 2), 1.5f) * lumps};
  });
  ok &= Write(dir + "/drops.png", 128, 128, [](float x, float y) {
    const int cell = (x < 0.5f ? 0 : 1) + (y < 0.5f ? 0 : 2);
    const float cx = std::fmod(x * 2, 1.0f), cy = std::fmod(y * 2, 1.0f);
    return cell == 0 ? Drop(cx, cy, 0.22f, 0.42f) : Drop(cx, cy, 0.3f - 0.05f * cell, 0.3f - 0.05f * cell);
  });
  // A paper lantern glowing from within, under a dark cap and over a rim.
  ok &= Write(dir + "/lantern.png", 64, 96, [](float x, float y) {
    const float body = Ellipse(x, y, 0.5f, 0.55f, 0.4f, 0.38f);
    const float glow = 1 - std::hypot((x - 0.5f) / 0.4f, (y - 0.6f) / 0.38f);
    const float ribs = 0.85f + 0.15f * std::cos((x - 0.5f) * 40);
    const bool cap = y < 0.2f && y > 0.12f && std::abs(x - 0.5f) < 0.18f;
    const bool rim = y > 0.9f && y < 0.96f && std::abs(x - 0.5f) < 0.14f;
    if (cap || rim) return Rgba{0.25f, 0.1f, 0.05f, 1};
    const float warm = std::clamp(glow, 0.0f, 1.0f);
    return Rgba{ribs, (0.45f + 0.45f * warm) * ribs, (0.12f + 0.3f * warm) * ribs, body};
  });
  if (!ok) {
    std::fprintf(stderr, "make_catalogue_pictures: could not write the pictures into %s\n", dir.c_str());
    return 1;
  }
  return 0;
}
