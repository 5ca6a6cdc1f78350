// Draws the pictures of the backdrop-variant sample: a reef under water, a
// hearth with a pile of logs low in the frame, a city skyline at night,
// mountains over a lake shore and a pond seen from above, written as
// OUTDIR/NAME.png.
//
//   make_variant_pictures OUTDIR
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <string>

#include "samples/sample_pictures.h"

namespace {

using lumi::sample::Ellipse;
using lumi::sample::Rgba;
using lumi::sample::Smooth;

Rgba Mix(Rgba a, Rgba b, float t) {
  return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t, 1};
}

// A repeatable value in [0, 1] for a whole-number cell.
float Hash(int x, int y) {
  std::uint32_t n = static_cast<std::uint32_t>(x) * 374761393u + static_cast<std::uint32_t>(y) * 668265263u;
  n = (n ^ (n >> 13)) * 1274126177u;
  return static_cast<float>((n ^ (n >> 16)) & 0xFFFF) / 65535.0f;
}

// The reef: blue water darkening with depth, light shafts, a sandy floor
// with coral heads and a shoal of yellow fish.
Rgba Reef(float x, float y) {
  Rgba c = Mix({0.1f, 0.55f, 0.75f, 1}, {0.02f, 0.12f, 0.3f, 1}, y);
  const float shaft = std::max(0.0f, std::sin(x * 23 + y * 6)) * (1 - y) * 0.25f;
  c = Mix(c, {0.7f, 0.95f, 1, 1}, shaft);
  const float floor_line = 0.78f + 0.04f * std::sin(x * 9);
  if (y > floor_line) c = Mix({0.8f, 0.72f, 0.5f, 1}, {0.45f, 0.4f, 0.3f, 1}, (y - floor_line) * 4);
  for (int i = 0; i < 7; ++i) {
    const float cx = 0.08f + 0.14f * static_cast<float>(i), r = 0.05f + 0.05f * Hash(i, 1);
    const float coral = Ellipse(x, y, cx, floor_line, r, r * 1.6f);
    const Rgba tint = i % 2 ? Rgba{0.95f, 0.35f, 0.45f, 1} : Rgba{0.95f, 0.6f, 0.2f, 1};
    const float bumps = 0.75f + 0.25f * std::sin(x * 180) * std::sin(y * 160);
    c = Mix(c, {tint.r * bumps, tint.g * bumps, tint.b * bumps, 1}, coral);
  }
  for (int i = 0; i < 9; ++i) {
    const float fx = 0.45f + 0.3f * Hash(i, 7), fy = 0.3f + 0.2f * Hash(i, 9);
    c = Mix(c, {1, 0.85f, 0.1f, 1}, Ellipse(x, y, fx, fy, 0.025f, 0.012f));
  }
  return c;
}

// The hearth: a dark stone wall, the fireplace's opening glowing warm at
// its bottom, logs in the middle of its floor.
Rgba Hearth(float x, float y) {
  const float bx = x * 14 + (static_cast<int>(y * 10) % 2) * 0.5f, by = y * 10;
  const bool joint = bx - std::floor(bx) < 0.05f || by - std::floor(by) < 0.07f;
  const float stone = 0.25f + 0.15f * Hash(static_cast<int>(bx), static_cast<int>(by));
  Rgba c = joint ? Rgba{0.08f, 0.07f, 0.06f, 1} : Rgba{stone, stone * 0.9f, stone * 0.8f, 1};
  const bool opening = std::fabs(x - 0.5f) < 0.3f && y > 0.35f && y < 0.92f;
  if (opening) {
    c = Mix({0.03f, 0.02f, 0.02f, 1}, {0.45f, 0.18f, 0.05f, 1}, Smooth(0.5f, 0.92f, y));
    const float log1 = std::fabs((y - 0.84f) - (x - 0.5f) * 0.25f), log2 = std::fabs((y - 0.84f) + (x - 0.5f) * 0.25f);
    if (std::fabs(x - 0.5f) < 0.16f && std::min(log1, log2) < 0.022f) c = {0.28f, 0.15f, 0.07f, 1};
  }
  if (y >= 0.92f) c = {0.2f, 0.18f, 0.16f, 1};
  return c;
}

// The city: a night sky over towers with lit windows.
Rgba City(float x, float y) {
  Rgba c = Mix({0.01f, 0.02f, 0.08f, 1}, {0.1f, 0.08f, 0.2f, 1}, y);
  const int tower = static_cast<int>(x * 18);
  const float top = 0.3f + 0.45f * Hash(tower, 3);
  if (y > top) {
    c = {0.04f, 0.05f, 0.08f, 1};
    const float wx = x * 18 * 5, wy = y * 60;
    const bool window = wx - std::floor(wx) > 0.35f && wy - std::floor(wy) > 0.4f;
    if (window && Hash(static_cast<int>(wx), static_cast<int>(wy)) > 0.55f) c = {0.95f, 0.85f, 0.5f, 1};
  }
  return c;
}

// Mountains with snow under a morning sky, forest at their feet; the lake
// backdrop mirrors them below the horizon.
Rgba Mountains(float x, float y) {
  Rgba c = Mix({0.35f, 0.55f, 0.85f, 1}, {0.95f, 0.85f, 0.7f, 1}, y * 1.4f);
  const float ridge = 0.22f + 0.18f * std::fabs(std::sin(x * 7.1f)) + 0.05f * std::sin(x * 31);
  if (y > ridge) {
    const float snow = Smooth(ridge + 0.06f, ridge + 0.02f, y);
    c = Mix({0.35f, 0.33f, 0.4f, 1}, {0.97f, 0.97f, 1, 1}, snow);
  }
  const float forest = 0.5f + 0.02f * std::sin(x * 90) + 0.015f * std::sin(x * 37);
  if (y > forest) c = Mix({0.1f, 0.3f, 0.12f, 1}, {0.05f, 0.18f, 0.08f, 1}, (y - forest) * 3);
  return c;
}

// A pond seen from above: dark green water, pebbles at the rim, lily pads
// and red fish; the water-ring backdrop ripples it.
Rgba Pond(float x, float y) {
  const float rim = std::hypot((x - 0.5f) / 0.47f, (y - 0.5f) / 0.45f);
  if (rim > 1) {
    const float pebble = Hash(static_cast<int>(x * 60), static_cast<int>(y * 40));
    return {0.45f + 0.3f * pebble, 0.42f + 0.25f * pebble, 0.38f + 0.2f * pebble, 1};
  }
  Rgba c = Mix({0.1f, 0.35f, 0.3f, 1}, {0.03f, 0.15f, 0.15f, 1}, rim);
  for (int i = 0; i < 6; ++i) {
    const float px = 0.2f + 0.6f * Hash(i, 21), py = 0.2f + 0.6f * Hash(i, 23);
    const float notch = std::atan2(y - py, x - px) > 2.6f ? 0.0f : 1.0f;
    c = Mix(c, {0.2f, 0.55f, 0.2f, 1}, Ellipse(x, y, px, py, 0.06f, 0.09f) * notch);
  }
  for (int i = 0; i < 4; ++i) {
    const float fx = 0.3f + 0.4f * Hash(i, 31), fy = 0.3f + 0.4f * Hash(i, 37);
    c = Mix(c, {0.95f, 0.35f, 0.1f, 1}, Ellipse(x, y, fx, fy, 0.045f, 0.018f));
  }
  return c;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: make_variant_pictures OUTDIR\n");
    return 2;
  }
  const std::string dir = argv[1];
  constexpr int kW = 960, kH = 600;
  const bool ok = lumi::sample::Write(dir + "/reef.png", kW, kH, Reef) &&
                  lumi::sample::Write(dir + "/hearth.png", kW, kH, Hearth) &&
                  lumi::sample::Write(dir + "/city.png", kW, kH, City) &&
                  lumi::sample::Write(dir + "/mountains.png", kW, kH, Mountains) &&
                  lumi::sample::Write(dir + "/pond.png", kW, kH, Pond);
  if (!ok) {
    std::fprintf(stderr, "make_variant_pictures: could not write the pictures into %s\n", dir.c_str());
    return 1;
  }
  return 0;
}
