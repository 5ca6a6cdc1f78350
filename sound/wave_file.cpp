#include "sound/wave_file.h"

#include <algorithm>
#include <cstring>
#include <limits>

namespace lumi {
namespace {

constexpr uint16_t kTagPcm = 1;
constexpr uint16_t kTagExtensible = 0xFFFE;
constexpr uint32_t kMaxRate = 768000;
// The sub-format GUID of extensible PCM after its first two bytes.
constexpr uint8_t kPcmGuidTail[14] = {0x00, 0x00, 0x00, 0x00, 0x10, 0x00, 0x80,
                                      0x00, 0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71};

uint16_t U16(std::span<const uint8_t> b, size_t at) { return static_cast<uint16_t>(b[at] | b[at + 1] << 8); }
uint32_t U32(std::span<const uint8_t> b, size_t at) {
  return static_cast<uint32_t>(b[at]) | static_cast<uint32_t>(b[at + 1]) << 8 |
         static_cast<uint32_t>(b[at + 2]) << 16 | static_cast<uint32_t>(b[at + 3]) << 24;
}
bool IdIs(std::span<const uint8_t> b, size_t at, const char* id) { return std::memcmp(&b[at], id, 4) == 0; }

std::optional<WaveFormat> ReadFormat(std::span<const uint8_t> body, std::string& error) {
  if (body.size() < 16) {
    error = "its \"fmt \" chunk holds " + std::to_string(body.size()) + " bytes, fewer than 16";
    return std::nullopt;
  }
  WaveFormat f{U16(body, 0), U16(body, 2), U32(body, 4), U32(body, 8), U16(body, 12), U16(body, 14)};
  if (f.tag == kTagExtensible) {
    // cbSize, valid bits, channel mask, then the sub-format GUID.
    if (body.size() < 40) {
      error = "its extensible format holds " + std::to_string(body.size()) + " bytes, fewer than 40";
      return std::nullopt;
    }
    if (std::memcmp(&body[26], kPcmGuidTail, sizeof kPcmGuidTail) != 0) {
      error = "its extensible format is not PCM";
      return std::nullopt;
    }
    f.tag = U16(body, 24);
  }
  if (f.tag != kTagPcm) {
    error = "format tag " + std::to_string(f.tag) + " is not PCM";
  } else if (f.bits != 8 && f.bits != 16) {
    error = std::to_string(f.bits) + "-bit samples are not supported (8 or 16)";
  } else if (f.channels != 1 && f.channels != 2) {
    error = std::to_string(f.channels) + " channels are not supported (1 or 2)";
  } else if (f.rate == 0 || f.rate > kMaxRate) {
    error = "a rate of " + std::to_string(f.rate) + " Hz is not supported";
  } else {
    return f;
  }
  return std::nullopt;
}

size_t FrameBytes(const WaveFormat& f) { return size_t{f.channels} * f.bits / 8; }

}  // namespace

bool LooksLikeWave(std::span<const uint8_t> bytes) {
  return bytes.size() >= 12 && IdIs(bytes, 0, "RIFF") && IdIs(bytes, 8, "WAVE");
}

std::optional<WaveFile> ParseWave(std::span<const uint8_t> bytes, std::string& error) {
  if (!LooksLikeWave(bytes)) {
    error = "not a RIFF WAVE file";
    return std::nullopt;
  }
  // The RIFF size bounds the chunks, and the bytes bound both.
  const uint64_t riff_end = std::min<uint64_t>(uint64_t{U32(bytes, 4)} + 8, bytes.size());
  std::optional<WaveFormat> format;
  std::optional<std::span<const uint8_t>> data;
  for (uint64_t at = 12; at + 8 <= riff_end;) {
    const uint64_t size = U32(bytes, at + 4);
    const uint64_t body = at + 8;
    const uint64_t present = std::min(size, riff_end - body);
    if (IdIs(bytes, at, "fmt ") && !format) {
      if (present < size) {
        error = "its \"fmt \" chunk runs past the end of the file";
        return std::nullopt;
      }
      format = ReadFormat(bytes.subspan(body, size), error);
      if (!format) return std::nullopt;
    } else if (IdIs(bytes, at, "data") && !data) {
      data = bytes.subspan(body, present);
    }
    at = body + size + (size & 1);  // chunks are padded to even sizes
  }
  if (!format) {
    error = "it has no \"fmt \" chunk";
    return std::nullopt;
  }
  if (!data) {
    error = "it has no \"data\" chunk";
    return std::nullopt;
  }
  const size_t frame = FrameBytes(*format);
  return WaveFile{*format, data->first(data->size() / frame * frame)};
}

int32_t WaveLengthHundredths(const WaveFile& wave) {
  uint64_t per_second = wave.format.average_bytes;
  if (per_second == 0) per_second = uint64_t{wave.format.rate} * FrameBytes(wave.format);
  const uint64_t hundredths = (uint64_t{wave.data.size()} * 200 / per_second + 1) / 2;
  return static_cast<int32_t>(std::min<uint64_t>(hundredths, std::numeric_limits<int32_t>::max()));
}

PcmSound DecodePcm(const WaveFile& wave) {
  PcmSound pcm;
  pcm.channels = wave.format.channels;
  pcm.rate = wave.format.rate;
  const std::span<const uint8_t> d = wave.data;
  if (wave.format.bits == 8) {
    pcm.samples.resize(d.size());
    for (size_t i = 0; i < d.size(); ++i) pcm.samples[i] = (static_cast<int>(d[i]) - 128) / 128.0f;
  } else {
    pcm.samples.resize(d.size() / 2);
    for (size_t i = 0; i < pcm.samples.size(); ++i) {
      pcm.samples[i] = static_cast<int16_t>(U16(d, 2 * i)) / 32768.0f;
    }
  }
  return pcm;
}

std::optional<PcmSound> ReadWaveSound(std::span<const uint8_t> bytes, std::string& error) {
  std::optional<WaveFile> wave = ParseWave(bytes, error);
  if (!wave) return std::nullopt;
  return DecodePcm(*wave);
}

}  // namespace lumi
