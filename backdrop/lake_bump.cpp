#include "backdrop/lake_bump.h"

#include <algorithm>
#include <cmath>

#include "backdrop/variants.h"

namespace lumi {

namespace {

// The program's grey height-noise picture (its resource 2), drawn the way
// the build draws it: the C library's generator from seed 1, one byte a
// pixel.
std::vector<float> HeightNoise() {
  std::vector<float> heights(size_t{kLakeBumpSide} * kLakeBumpSide);
  uint32_t state = 1;
  for (float& h : heights) {
    state = state * 214013u + 2531011u;
    h = static_cast<float>((state >> 16) & 0xFF) / 255;
  }
  return heights;
}

void Put32(std::vector<uint8_t>& bytes, size_t at, uint32_t value) {
  for (int i = 0; i < 4; ++i) bytes[at + i] = static_cast<uint8_t>(value >> (8 * i));
}

}  // namespace

std::vector<uint8_t> LakeBumpRecipe(float flattening, uint32_t amplitude) {
  constexpr uint32_t n = kLakeBumpSide;
  std::vector<float> h = HeightNoise();
  // A mid-grey blend whose alpha runs from 0 at the bottom to the
  // flattening at the top.
  const float flat = std::isfinite(flattening) ? std::clamp(flattening, 0.0f, 1.0f) : 1.0f;
  for (uint32_t y = 0; y < n; ++y) {
    const float alpha = flat * static_cast<float>(n - 1 - y) / static_cast<float>(n - 1);
    for (uint32_t x = 0; x < n; ++x) h[size_t{y} * n + x] += (0.5f - h[size_t{y} * n + x]) * alpha;
  }
  std::vector<uint8_t> bytes(128 + size_t{n} * n * 2, 0);
  bytes[0] = 'D', bytes[1] = 'D', bytes[2] = 'S', bytes[3] = ' ';
  Put32(bytes, 4, 124);
  Put32(bytes, 8, 0x1 | 0x2 | 0x4 | 0x1000);  // caps, height, width, pixel format
  Put32(bytes, 12, n);
  Put32(bytes, 16, n);
  Put32(bytes, 76, 32);
  Put32(bytes, 80, 0x80000);  // signed offsets: U then V
  Put32(bytes, 88, 16);
  Put32(bytes, 92, 0xFF);
  Put32(bytes, 96, 0xFF00);
  Put32(bytes, 108, 0x1000);
  const auto at = [&](uint32_t x, uint32_t y) { return h[size_t{y % n} * n + x % n]; };
  const auto a = static_cast<float>(amplitude);
  for (uint32_t y = 0; y < n; ++y) {
    for (uint32_t x = 0; x < n; ++x) {
      // The normal of the height field scaled by the amplitude; it wraps.
      const float dx = (at(x + n - 1, y) - at(x + 1, y)) * a / 2, dy = (at(x, y + n - 1) - at(x, y + 1)) * a / 2;
      const float length = std::sqrt(dx * dx + dy * dy + 1);
      uint8_t* texel = &bytes[128 + (size_t{y} * n + x) * 2];
      texel[0] = static_cast<uint8_t>(static_cast<int8_t>(std::lround(dx / length * 127)));
      texel[1] = static_cast<uint8_t>(static_cast<int8_t>(std::lround(dy / length * 127)));
    }
  }
  return bytes;
}

std::vector<uint8_t> LakeBumpRecipe(const FakeLake2D& lake) {
  return LakeBumpRecipe(lake.bump_flattening.scaled(), lake.normal_amplitude.value);
}

}  // namespace lumi
