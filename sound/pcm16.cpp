#include "sound/pcm16.h"

#include <algorithm>
#include <cmath>

namespace lumi {

void FloatToPcm16(const float* in, int16_t* out, size_t count) {
  for (size_t i = 0; i < count; ++i) {
    // NaN compares false both ways and so lands on 0, not on a limit.
    const float scaled = std::isnan(in[i]) ? 0.0f : std::clamp(in[i] * 32767.0f, -32768.0f, 32767.0f);
    out[i] = static_cast<int16_t>(std::lrint(scaled));
  }
}

}  // namespace lumi
