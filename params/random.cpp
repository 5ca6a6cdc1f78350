#include "params/random.h"

namespace lumi {
namespace {

thread_local uint32_t g_state = 1;

}  // namespace

int Rand() {
  g_state = g_state * 214013u + 2531011u;
  return static_cast<int>((g_state >> 16) & 0x7FFF);
}

void SeedRand(uint32_t seed) { g_state = seed; }

float Random01() { return static_cast<float>(Rand()) / 32767.0f; }

float Uniform(float a, float b) { return a + Random01() * (b - a); }

float RandomHundredths(uint32_t minimum, uint32_t maximum) {
  uint64_t value = minimum;
  // 64-bit span: the range 0 to 0xFFFFFFFF must not wrap to a zero divisor.
  if (minimum < maximum) value += static_cast<uint64_t>(Rand()) % (uint64_t{maximum} - minimum + 1);
  return static_cast<float>(value) * 0.01f;
}

}  // namespace lumi
