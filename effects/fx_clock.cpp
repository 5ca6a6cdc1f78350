#include "effects/fx_clock.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace lumi {

void FrameClock::Advance(double t, double speed) {
  if (t < last_time) last_time = t;
  step = std::min(t - last_time, kLongestStep);
  last_time = t;
  phase += step * speed;
}

double ReducedPhase(double value, double period) {
  const double reduced = std::fmod(value, period);
  return reduced < 0 ? reduced + period : reduced;
}

float Oscillate(int mode, double phase, float offset) {
  constexpr double kTurn = 2 * kEffectPi;
  switch (mode) {
    case kOscillateTriangle: {
      // The offset is in radians like the phase, so both become turns.
      const double a = ReducedPhase((phase + offset) / kTurn, 1.0);
      return static_cast<float>(((a > 0.5 ? 1 - a : a) - 0.25) * 4);
    }
    case kOscillateSine:
      return static_cast<float>(std::sin(ReducedPhase(offset + phase, kTurn)));
    case kOscillateNoise:
      return ValueNoise1D(3, (offset + phase) * 50, 75, 0.5);
    default:
      return 0;
  }
}

double LatticeValue(int k) {
  // Unsigned, so the products wrap instead of overflowing.
  uint32_t m = static_cast<uint32_t>(k);
  m ^= m << 13;
  const uint32_t hashed = (m * (m * m * 15731u + 789221u) - 771171059u) & 0x7fffffffu;
  return 1.0 - static_cast<double>(hashed) / 1073741824.0;
}

float ValueNoise1D(int octaves, double x, double wavelength, double persistence) {
  double sum = 0, weight = 1;
  for (int i = 0; i < octaves; ++i) {
    const double y = std::ldexp(x, i) / wavelength;
    const double n = std::trunc(y);
    const double f = (1 - std::cos((y - n) * kEffectPi)) / 2;
    // Far beyond int's range the lattice repeats anyway; clamp rather than
    // convert out of range.
    const int k = static_cast<int>(std::clamp(n, -2147483647.0, 2147483646.0));
    sum += weight * (LatticeValue(k) * (1 - f) + LatticeValue(k + 1) * f);
    weight *= persistence;
  }
  return static_cast<float>(sum);
}

}  // namespace lumi
