// Shapes that repeat: radial rays and lightning bolts draw the same random
// choices every time they are built, without changing what the rest of the
// scene draws afterwards.
#pragma once

#include <cstdint>

#include "params/random.h"

namespace lumi {

// Draws one value c, then, when `fixed`, reseeds with `seed`, builds and
// reseeds with c: the shape is the same every time, and the scene's sequence
// goes on from the one value it gave, whatever the build drew. Otherwise it
// just builds.
template <class Build>
void BuildWithFixedPattern(bool fixed, uint32_t seed, Build&& build) {
  const auto c = static_cast<uint32_t>(Rand());
  if (!fixed) {
    build();
    return;
  }
  SeedRand(seed);
  build();
  SeedRand(c);
}

}  // namespace lumi
