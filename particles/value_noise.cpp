#include "particles/value_noise.h"

#include <cmath>

namespace lumi {
namespace {

constexpr int kOctaves = 3;
constexpr float kPersistence = 0.5f;

float Smooth(float t) { return t * t * (3 - 2 * t); }

}  // namespace

float ValueNoise::Hash(uint32_t n) {
  n = (n << 13) ^ n;
  const uint32_t mixed = (n * (n * n * 15731u + 789221u) - 771171059u) & 0x7fffffffu;
  return 1.0f - static_cast<float>(mixed) / 1073741824.0f;
}

float ValueNoise::Octave(int64_t row, float fraction) const {
  // The seed picks the column and shifts the row on the integer lattice, so
  // a large seed never swallows the fraction of a float coordinate.
  const uint32_t column = seed_;
  const auto lattice = [&](uint32_t i, uint32_t j) {
    const auto at = [](uint32_t a, uint32_t b) { return Hash(a + 57u * b); };
    const float corners = at(i - 1, j - 1) + at(i + 1, j - 1) + at(i - 1, j + 1) + at(i + 1, j + 1);
    const float sides = at(i - 1, j) + at(i + 1, j) + at(i, j - 1) + at(i, j + 1);
    return corners / 16 + sides / 8 + at(i, j) / 4;
  };
  const uint32_t j = static_cast<uint32_t>(row) + seed_;
  // x sits on the lattice column itself, so only that column contributes.
  return lattice(column, j) * Smooth(1 - fraction) + lattice(column, j + 1) * Smooth(fraction);
}

float ValueNoise::At(double t) const {
  float sum = 0, weight = 1;
  double f = frequency_;
  for (int i = 0; i < kOctaves; ++i) {
    const double y = f * t;
    const double row = std::floor(y);
    sum += weight * Octave(static_cast<int64_t>(row), static_cast<float>(y - row));
    weight *= kPersistence;
    f *= 2;
  }
  return sum;
}

}  // namespace lumi
