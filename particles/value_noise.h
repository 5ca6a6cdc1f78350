// Smooth value noise over time: three octaves of interpolated lattice
// values, persistence 0.5, in one column of the lattice chosen by a seed.
#pragma once

#include <cstdint>

namespace lumi {

class ValueNoise {
 public:
  ValueNoise(float frequency, uint32_t seed) : frequency_(frequency), seed_(seed) {}

  // Roughly within [−2, 2]; smooth in t.
  float At(double t) const;

  // The lattice hash in [−1, 1], in unsigned 32-bit arithmetic.
  static float Hash(uint32_t n);

 private:
  // One octave at lattice row `row` + the seed, fraction `fraction` on.
  float Octave(int64_t row, float fraction) const;

  float frequency_;
  uint32_t seed_;
};

}  // namespace lumi
