// Draws the backdrop of the caption sample: an evening sky over a lake,
// written as OUTDIR/backdrop.png. The captions themselves are rendered by
// `lumisave-tool pack` from the scene's caption entries.
//
//   make_caption_pictures OUTDIR
#include <cmath>
#include <cstdio>
#include <string>

#include "samples/sample_pictures.h"

using namespace lumi::sample;

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: make_caption_pictures OUTDIR\n");
    return 2;
  }
  const std::string dir = argv[1];
  // Warm near the horizon, deep blue above; the lake mirrors it, darker,
  // with faint ripples.
  const bool ok = Write(dir + "/backdrop.png", 1280, 720, [](float x, float y) {
    const float horizon = 0.62f;
    const float h = y < horizon ? (horizon - y) / horizon : (y - horizon) / (1 - horizon);
    const float warm = std::exp(-h * 4);
    Rgba sky{0.10f + 0.75f * warm, 0.12f + 0.40f * warm, 0.30f + 0.05f * warm, 1};
    if (y < horizon) return sky;
    const float ripple = 0.04f * std::sin(y * 300 + std::sin(x * 20) * 2);
    return Rgba{sky.r * 0.6f + ripple, sky.g * 0.6f + ripple, sky.b * 0.7f + ripple, 1};
  });
  if (!ok) {
    std::fprintf(stderr, "make_caption_pictures: could not write the backdrop into %s\n", dir.c_str());
    return 1;
  }
  return 0;
}
