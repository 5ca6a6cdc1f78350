// The scene's one source of randomness: the C library's generator, one per
// thread, with its exact recurrence, so that a document plays the same way
// on every platform. Identities are not drawn from it (see scene/fresh_guid.h).
#pragma once

#include <cstdint>

namespace lumi {

inline constexpr float kPi = 3.1415927f;

// 0 to 32767: state = state × 214013 + 2531011, result bits 16 to 30.
int Rand();
// Restarts the thread's sequence; a new thread starts with seed 1.
void SeedRand(uint32_t seed);

// Rand() / 32767, so 1.0 is reachable.
float Random01();
// a + Random01() × (b − a).
float Uniform(float a, float b);
// A duration drawn from a range of hundredths of a second, in seconds: the
// minimum plus a random whole number up to the maximum, or the minimum when
// the range is empty or reversed.
float RandomHundredths(uint32_t minimum, uint32_t maximum);

}  // namespace lumi
