// Our RIFF WAVE reader: PCM of 8 or 16 bits, mono or stereo, at any rate.
// Every read is bounded by the bytes given; a file it cannot play is
// refused with the reason.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace lumi {

struct WaveFormat {
  uint16_t tag = 0;  // 1 PCM; 0xFFFE extensible, with the sub-format's tag below
  uint16_t channels = 0;
  uint32_t rate = 0;
  uint32_t average_bytes = 0;  // per second, as stored
  uint16_t block_align = 0;
  uint16_t bits = 0;
};

// Interleaved samples from -1 to 1.
struct PcmSound {
  std::vector<float> samples;
  uint16_t channels = 1;
  uint32_t rate = 0;
  size_t frames() const { return channels != 0 ? samples.size() / channels : 0; }
};

struct WaveFile {
  WaveFormat format;
  std::span<const uint8_t> data;  // whole frames only; a truncated chunk keeps what is there
};

// Parses a playable WAVE file; on failure nothing and `error` says why.
std::optional<WaveFile> ParseWave(std::span<const uint8_t> bytes, std::string& error);
// The sound's length in hundredths of a second, rounded; a stored byte rate
// of 0 is taken from the format instead.
int32_t WaveLengthHundredths(const WaveFile& wave);
PcmSound DecodePcm(const WaveFile& wave);
// ParseWave, then DecodePcm.
std::optional<PcmSound> ReadWaveSound(std::span<const uint8_t> bytes, std::string& error);
// Whether the bytes begin as a RIFF WAVE file (whatever its content).
bool LooksLikeWave(std::span<const uint8_t> bytes);

}  // namespace lumi
