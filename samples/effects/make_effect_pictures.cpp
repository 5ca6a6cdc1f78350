// Draws the pictures of the effect sample: five scenes that suit the
// effects (a lake under hills, a wide sky over fields, a village in a
// valley, a harbour wall, a camp at dusk with a pile of logs low in the
// frame), a tile for the pattern brushes and a tiling cloud picture,
// written as OUTDIR/NAME.png.
//
//   make_effect_pictures OUTDIR
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <functional>
#include <string>

#include "samples/sample_pictures.h"

namespace {

struct Rgb {
  float r, g, b;
};

Rgb Mix(Rgb a, Rgb b, float t) { return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t}; }
Rgb Scaled(Rgb c, float k) { return {c.r * k, c.g * k, c.b * k}; }

// Every pixel from a function of its centre in [0, 1] × [0, 1], alpha 1
// unless `alpha` says otherwise.
bool Write(const std::string& path, int w, int h, const std::function<Rgb(float, float)>& shade,
           const std::function<float(float, float)>& alpha = {}) {
  return lumi::sample::Write(path, w, h, [&](float u, float v) {
    const Rgb c = shade(u, v);
    return lumi::sample::Rgba{c.r, c.g, c.b, alpha ? alpha(u, v) : 1.0f};
  });
}

// Lattice noise in [0, 1] that repeats every `period` cells.
float Lattice(int x, int y, int period) {
  x = ((x % period) + period) % period;
  y = ((y % period) + period) % period;
  std::uint32_t n = static_cast<std::uint32_t>(x) * 374761393u + static_cast<std::uint32_t>(y) * 668265263u;
  n = (n ^ (n >> 13)) * 1274126177u;
  return static_cast<float>((n ^ (n >> 16)) & 0xFFFF) / 65535.0f;
}

float Smooth(float t) { return t * t * (3 - 2 * t); }

float ValueNoise(float x, float y, int period) {
  const int ix = static_cast<int>(std::floor(x)), iy = static_cast<int>(std::floor(y));
  const float fx = Smooth(x - static_cast<float>(ix)), fy = Smooth(y - static_cast<float>(iy));
  const float top = Lattice(ix, iy, period) * (1 - fx) + Lattice(ix + 1, iy, period) * fx;
  const float bottom = Lattice(ix, iy + 1, period) * (1 - fx) + Lattice(ix + 1, iy + 1, period) * fx;
  return top * (1 - fy) + bottom * fy;
}

// Five octaves of noise over [0, 1]², repeating over the unit square when
// `base` cells fit it.
float Fbm(float x, float y, int base) {
  float sum = 0, weight = 0.5f, total = 0;
  for (int octave = 0; octave < 5; ++octave) {
    const int cells = base << octave;
    sum += weight * ValueNoise(x * static_cast<float>(cells), y * static_cast<float>(cells), cells);
    total += weight;
    weight *= 0.5f;
  }
  return sum / total;
}

float Band(float value, float edge) { return std::clamp((value - edge) * 40 + 0.5f, 0.0f, 1.0f); }

// A blue sky brightening towards the horizon at `horizon`.
Rgb Sky(float x, float y, float horizon) {
  const float t = std::clamp(y / horizon, 0.0f, 1.0f);
  const Rgb sky = Mix({0.18f, 0.38f, 0.72f}, {0.72f, 0.84f, 0.95f}, t * t);
  const float wisps = std::max(0.0f, Fbm(x * 2, y * 3, 4) - 0.55f) * 1.5f;
  return Mix(sky, {1, 1, 1}, wisps);
}

// Hills whose ridge is at height `ridge` plus noise, darker when further.
float Ridge(float x, float ridge, float roughness, int seed) {
  return ridge + roughness * (Fbm(x + static_cast<float>(seed) * 0.37f, 0.5f, 3) - 0.5f);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: make_effect_pictures OUTDIR\n");
    return 2;
  }
  const std::string dir = argv[1];
  constexpr int kW = 960, kH = 600;
  bool ok = true;
  // A lake under wooded hills: sky, two ranges of hills, water from 0.55 down
  // that mirrors the hills with ripple lines and a sunlit path.
  ok &= Write(dir + "/lake.png", kW, kH, [](float x, float y) {
    const float far = Ridge(x, 0.36f, 0.18f, 1), near = Ridge(x, 0.47f, 0.12f, 2);
    if (y < 0.55f) {
      Rgb c = Sky(x, y, 0.55f);
      c = Mix(c, {0.35f, 0.45f, 0.55f}, Band(y, far));
      c = Mix(c, Scaled({0.18f, 0.34f, 0.16f}, 0.7f + 0.6f * Fbm(x * 6, y * 6, 8)), Band(y, near));
      return c;
    }
    const float mirrored = 1.1f - y;
    Rgb c = mirrored < near ? Mix(Sky(x, mirrored, 0.55f), {0.35f, 0.45f, 0.55f}, Band(mirrored, far))
                            : Scaled({0.18f, 0.34f, 0.16f}, 0.8f);
    c = Mix(c, {0.1f, 0.25f, 0.4f}, 0.45f);
    const float ripple = 0.5f + 0.5f * std::sin(y * 420 + 6 * Fbm(x * 4, y * 12, 4));
    c = Scaled(c, 0.85f + 0.25f * ripple);
    const float glint = std::max(0.0f, 1 - std::fabs(x - 0.62f) * 8) * ripple;
    return Mix(c, {1, 0.95f, 0.8f}, glint * 0.5f);
  });
  // A wide sky over fields: the sky fills the top 0.7.
  ok &= Write(dir + "/sky.png", kW, kH, [](float x, float y) {
    if (y < 0.7f) return Sky(x, y, 0.7f);
    const float rows = 0.5f + 0.5f * std::sin((x - 0.5f) / (y - 0.62f) * 20);
    const Rgb field = Mix({0.45f, 0.6f, 0.2f}, {0.75f, 0.7f, 0.3f}, Band(Fbm(x * 3, y * 2, 4), 0.5f));
    return Scaled(field, 0.8f + 0.25f * rows);
  });
  // A village in a green valley: sky, hills, fields and white houses with
  // red roofs along the middle, trees between them.
  ok &= Write(dir + "/village.png", kW, kH, [](float x, float y) {
    const float hills = Ridge(x, 0.4f, 0.2f, 3);
    Rgb c = Sky(x, y, 0.45f);
    c = Mix(c, Scaled({0.3f, 0.5f, 0.25f}, 0.8f + 0.4f * Fbm(x * 5, y * 5, 6)), Band(y, hills));
    const float cell = x * 12, fx = cell - std::floor(cell);
    const float base = 0.62f + 0.04f * std::sin(std::floor(cell) * 1.7f);
    const bool house = fx > 0.2f && fx < 0.75f && y > base - 0.08f && y < base;
    const bool roof = fx > 0.15f + (base - 0.08f - y) * 3 && fx < 0.8f - (base - 0.08f - y) * 3 && y > base - 0.13f &&
                      y <= base - 0.08f;
    const float tree = std::hypot((fx - 0.9f) * 3, (y - base + 0.05f) * 12);
    if (roof) return Rgb{0.7f, 0.2f, 0.15f};
    if (house) return (fx > 0.4f && fx < 0.55f && y > base - 0.05f) ? Rgb{0.3f, 0.2f, 0.15f} : Rgb{0.92f, 0.9f, 0.85f};
    if (tree < 1) return Scaled({0.12f, 0.3f, 0.1f}, 0.8f + 0.4f * Fbm(x * 20, y * 20, 16));
    if (y > 0.64f) c = Mix({0.35f, 0.55f, 0.2f}, {0.6f, 0.6f, 0.25f}, Band(Fbm(x * 2, y * 4, 3), 0.5f));
    return c;
  });
  // A harbour wall of stone blocks above dark water, boats' colours on it.
  ok &= Write(dir + "/harbour.png", kW, kH, [](float x, float y) {
    if (y < 0.3f) return Sky(x, y, 0.3f);
    if (y < 0.7f) {
      const float row = std::floor(y * 30), shift = std::fmod(row, 2.0f) * 0.5f;
      const float bx = x * 16 + shift, by = y * 30;
      const bool joint = bx - std::floor(bx) < 0.06f || by - std::floor(by) < 0.1f;
      const float stone = 0.5f + 0.35f * Lattice(static_cast<int>(bx), static_cast<int>(row), 1 << 20);
      const Rgb block = Scaled({0.75f, 0.68f, 0.55f}, stone + 0.2f * Fbm(x * 8, y * 8, 8));
      return joint ? Rgb{0.3f, 0.28f, 0.25f} : block;
    }
    const float ripple = 0.5f + 0.5f * std::sin(y * 300 + 5 * Fbm(x * 5, y * 9, 4));
    const Rgb boat = x < 0.35f ? Rgb{0.8f, 0.2f, 0.15f} : x < 0.7f ? Rgb{0.2f, 0.35f, 0.75f} : Rgb{0.95f, 0.8f, 0.2f};
    return Mix(Scaled({0.08f, 0.2f, 0.28f}, 0.8f + 0.4f * ripple), boat, 0.25f * ripple);
  });
  // A camp at dusk: dark sky, a dark meadow, a pile of logs low in the middle.
  ok &= Write(dir + "/camp.png", kW, kH, [](float x, float y) {
    if (y < 0.55f) return Mix({0.05f, 0.07f, 0.2f}, {0.35f, 0.25f, 0.35f}, y / 0.55f);
    Rgb c = Scaled({0.1f, 0.16f, 0.08f}, 0.7f + 0.6f * Fbm(x * 8, y * 8, 8));
    const float log1 = std::fabs((y - 0.8f) - (x - 0.5f) * 0.3f), log2 = std::fabs((y - 0.8f) + (x - 0.5f) * 0.3f);
    if (std::fabs(x - 0.5f) < 0.12f && std::min(log1, log2) < 0.018f) c = {0.3f, 0.18f, 0.08f};
    return c;
  });
  // A tile of the pattern brushes: a gold star on a clear ground.
  ok &= Write(
      dir + "/tile.png", 128, 128, [](float, float) { return Rgb{1, 0.85f, 0.3f}; },
      [](float x, float y) {
        const float angle = std::atan2(y - 0.5f, x - 0.5f), r = std::hypot(x - 0.5f, y - 0.5f);
        const float star = 0.22f + 0.12f * std::cos(angle * 5);
        return std::clamp((star - r) * 60, 0.0f, 1.0f) * 0.9f;
      });
  // Clouds that tile: bright puffs on black.
  ok &= Write(dir + "/clouds.png", 256, 256, [](float x, float y) {
    const float k = std::clamp((Fbm(x, y, 4) - 0.42f) * 2.6f, 0.0f, 1.0f);
    return Rgb{k, k, k};
  });
  if (!ok) {
    std::fprintf(stderr, "make_effect_pictures: could not write the pictures into %s\n", dir.c_str());
    return 1;
  }
  return 0;
}
