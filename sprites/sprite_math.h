// Small angle helpers the sprite behaviours share.
#pragma once

#include <cmath>

#include "params/random.h"
#include "params/vector_math.h"

namespace lumi {

inline float Radians(float degrees) { return degrees * kPi / 180; }

// v turned about the z axis by `angle` radians.
inline Vector3 TurnZ(Vector3 v, float angle) {
  const float c = std::cos(angle), s = std::sin(angle);
  return {v.x * c - v.y * s, v.x * s + v.y * c, v.z};
}

}  // namespace lumi
