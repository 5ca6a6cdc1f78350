// Draws the pictures of the sprite sample: a backdrop and one picture per
// population (fish, bird, fog, ray, sparkle, leaf, drop, bolt, blade,
// flower, a glow, a fish's halo and a four-frame sheet) and the explosion's colour
// gradient and noise, written as OUTDIR/NAME.png.
//
//   make_sprite_pictures OUTDIR
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>

#include "samples/sample_pictures.h"

using namespace lumi::sample;

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: make_sprite_pictures OUTDIR\n");
    return 2;
  }
  const std::string dir = argv[1];
  bool ok = true;
  // A dusk lake: sky above, water below, a dark far shore.
  ok &= Write(dir + "/backdrop.png", 640, 400, [](float x, float y) {
    if (y < 0.55f) return Rgba{0.15f + 0.5f * y, 0.2f + 0.4f * y, 0.45f + 0.2f * y, 1};
    if (y < 0.6f + 0.03f * std::sin(x * 20)) return Rgba{0.08f, 0.12f, 0.1f, 1};
    return Rgba{0.05f, 0.2f + 0.2f * (1 - y), 0.3f + 0.1f * std::sin(y * 90), 1};
  });
  // An orange fish facing right: body, tail at the left, an eye.
  ok &= Write(dir + "/fish.png", 128, 64, [](float x, float y) {
    const float body = Ellipse(x, y, 0.58f, 0.5f, 0.38f, 0.3f);
    const float tail = x < 0.25f && std::fabs(y - 0.5f) < (0.25f - x) * 1.6f ? 1.0f : 0.0f;
    const float eye = Ellipse(x, y, 0.8f, 0.42f, 0.04f, 0.08f);
    const float a = std::max(body, tail);
    return Rgba{1 - eye, 0.55f * (1 - eye), 0.1f, a};
  });
  // A dark bird with spread wings.
  ok &= Write(dir + "/bird.png", 96, 48, [](float x, float y) {
    const float wing = std::fabs(y - (0.3f + 0.5f * std::fabs(x - 0.5f) * 2 * 0.6f)) < 0.08f ? 1.0f : 0.0f;
    const float body = Ellipse(x, y, 0.5f, 0.55f, 0.1f, 0.15f);
    return Rgba{0.05f, 0.05f, 0.08f, std::max(wing * (x > 0.05f && x < 0.95f ? 1.0f : 0.0f), body)};
  });
  ok &= Write(dir + "/fog.png", 128, 128, [](float x, float y) { return Rgba{0.85f, 0.88f, 0.92f, Soft(x, y) * 0.8f}; });
  // A ray: bright in the middle of its width, fading to its ends.
  ok &= Write(dir + "/ray.png", 32, 128, [](float x, float y) {
    return Rgba{1, 0.95f, 0.75f, (1 - std::fabs(x - 0.5f) * 2) * std::sin(y * 3.14159f) * 0.7f};
  });
  ok &= Write(dir + "/sparkle.png", 32, 32, [](float x, float y) {
    const float cross = std::max(1 - std::fabs(x - 0.5f) * 14, 0.0f) + std::max(1 - std::fabs(y - 0.5f) * 14, 0.0f);
    return Rgba{1, 1, 0.9f, std::min(1.0f, Soft(x, y) + cross * Soft(x, y) * 2)};
  });
  ok &= Write(dir + "/leaf.png", 48, 48, [](float x, float y) {
    const float leaf = Ellipse(x + y - 1, x - y, 0, 0, 0.3f, 0.75f);
    return Rgba{0.85f, 0.45f + 0.2f * y, 0.1f, leaf};
  });
  ok &= Write(dir + "/drop.png", 8, 32, [](float x, float y) { return Rgba{0.75f, 0.85f, 1, Ellipse(x, y, 0.5f, 0.5f, 0.4f, 0.5f) * 0.8f}; });
  // A zigzag bolt.
  ok &= Write(dir + "/bolt.png", 64, 128, [](float x, float y) {
    const float path = 0.5f + 0.25f * std::sin(y * 17) * (y < 0.9f ? 1.0f : 0.0f);
    const float d = std::fabs(x - path);
    return Rgba{0.85f, 0.9f, 1, std::max(0.0f, 1 - d * 18) + std::max(0.0f, 0.4f - d * 2)};
  });
  ok &= Write(dir + "/blade.png", 16, 64, [](float x, float y) {
    return Rgba{0.2f, 0.6f + 0.3f * (1 - y), 0.15f, std::fabs(x - 0.5f) < 0.5f * y ? 1.0f : 0.0f};
  });
  // A red flower on a stem.
  ok &= Write(dir + "/flower.png", 64, 128, [](float x, float y) {
    const float stem = std::fabs(x - 0.5f) < 0.04f && y > 0.3f ? 1.0f : 0.0f;
    const float head = Ellipse(x, y, 0.5f, 0.22f, 0.35f, 0.17f);
    const float centre = Ellipse(x, y, 0.5f, 0.22f, 0.1f, 0.05f);
    if (head > 0) return Rgba{0.9f + 0.1f * centre, 0.15f + 0.75f * centre, 0.2f, head};
    return Rgba{0.15f, 0.55f, 0.15f, stem};
  });
  // A halo around the fish's body, in the fish picture's frame: it shows
  // where the fish is transparent.
  ok &= Write(dir + "/fish_glow.png", 128, 64, [](float x, float y) {
    const float d = std::hypot((x - 0.55f) / 0.45f, (y - 0.5f) / 0.48f);
    return Rgba{1, 0.9f, 0.6f, std::clamp(1.2f * (1 - d), 0.0f, 1.0f)};
  });
  ok &= Write(dir + "/glow.png", 64, 64, [](float x, float y) { return Rgba{1, 0.9f, 0.5f, Soft(x, y)}; });
  // Four frames of a pulsing ring, side by side.
  ok &= Write(dir + "/sheet.png", 256, 64, [](float x, float y) {
    const int frame = std::min(3, static_cast<int>(x * 4));
    const float fx = x * 4 - static_cast<float>(frame);
    const float radius = 0.15f + 0.1f * static_cast<float>(frame);
    const float d = std::fabs(std::hypot(fx - 0.5f, y - 0.5f) - radius);
    return Rgba{0.6f, 0.9f, 1, std::max(0.0f, 1 - d * 12)};
  });
  // The explosion's heat from cool (left) to hot (right): smoke red, orange,
  // yellow, white, opaque from a tenth of the way in.
  ok &= Write(dir + "/gradient.png", 256, 8, [](float x, float) {
    return Rgba{std::min(1.0f, 0.4f + x * 1.2f), std::clamp(x * 1.4f - 0.3f, 0.0f, 1.0f),
                std::clamp(x * 2 - 1.2f, 0.0f, 1.0f), std::min(1.0f, x * 10)};
  });
  // Noise that tiles: waves of whole periods across the picture.
  ok &= Write(dir + "/noise.png", 128, 128, [](float x, float y) {
    constexpr float kTurn = 6.2831853f;
    const float n = 0.5f + 0.25f * std::sin(kTurn * (3 * x + 2 * y)) + 0.15f * std::sin(kTurn * (5 * x - 4 * y) + 1) +
                    0.08f * std::sin(kTurn * (7 * x + 6 * y) + 2);
    return Rgba{n, n, n, 1};
  });
  if (!ok) {
    std::fprintf(stderr, "make_sprite_pictures: could not write the pictures into %s\n", dir.c_str());
    return 1;
  }
  return 0;
}
