// The mixer's float samples as the 16-bit PCM that sound devices take.
#pragma once

#include <cstddef>
#include <cstdint>

namespace lumi {

// Converts `count` samples, rounding to the nearest step; a mix louder than
// full scale clips rather than wrapping round.
void FloatToPcm16(const float* in, int16_t* out, size_t count);

}  // namespace lumi
