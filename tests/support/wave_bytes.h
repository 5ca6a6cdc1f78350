// WAVE files built in tests: a format chunk as given, then the data.
#pragma once

#include <cmath>
#include <cstdint>
#include <vector>

#include "tests/support/byte_builder.h"

namespace lumi::test {

struct WaveSpec {
  uint16_t tag = 1;
  uint16_t channels = 1;
  uint32_t rate = 8000;
  uint16_t bits = 8;
  // 0: rate × channels × bits / 8.
  uint32_t average_bytes = 0;
  // Bytes of the format chunk: 16, or 18 with the extra size.
  uint32_t format_size = 16;
};

inline std::vector<uint8_t> WaveBytes(const WaveSpec& s, const std::vector<uint8_t>& data) {
  const uint32_t frame = s.channels * s.bits / 8u;
  ByteBuilder fmt;
  fmt.U16(s.tag).U16(s.channels).U32(s.rate).U32(s.average_bytes != 0 ? s.average_bytes : s.rate * frame);
  fmt.U16(static_cast<uint16_t>(frame)).U16(s.bits);
  while (fmt.bytes().size() < s.format_size) fmt.U8(0);
  ByteBuilder b;
  b.Tag("RIFF").U32(static_cast<uint32_t>(4 + 8 + fmt.bytes().size() + 8 + data.size())).Tag("WAVE");
  b.Tag("fmt ").U32(static_cast<uint32_t>(fmt.bytes().size())).Bytes(fmt.bytes());
  b.Tag("data").U32(static_cast<uint32_t>(data.size())).Bytes(data);
  return b.bytes();
}

// 16-bit mono samples of a constant level (-1 to 1) for `frames` frames.
inline std::vector<uint8_t> Pcm16Level(float level, size_t frames) {
  ByteBuilder b;
  for (size_t i = 0; i < frames; ++i) b.U16(static_cast<uint16_t>(static_cast<int16_t>(std::lround(level * 32767))));
  return b.bytes();
}

}  // namespace lumi::test
