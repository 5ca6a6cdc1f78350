// The WAVE reader on real files, on crafted formats it must play or refuse,
// and on broken files whose sizes lie.
#include <gtest/gtest.h>

#include <filesystem>

#include "archive/file_io.h"
#include "sound/wave_file.h"
#include "tests/support/wave_bytes.h"

namespace lumi {
namespace {

using test::WaveBytes;
using test::WaveSpec;

std::optional<PcmSound> Read(const std::vector<uint8_t>& bytes, std::string& error) {
  return ReadWaveSound(bytes, error);
}

TEST(WaveFile, ReadsTheSystemsSoundFiles) {
  const std::filesystem::path alsa = "/usr/share/sounds/alsa/Front_Center.wav";
  const std::filesystem::path adpcm = "/usr/share/doc/python-pygame-doc/examples/data/secosmic_lo.wav";
  const std::filesystem::path pcm8 = "/usr/share/doc/python-pygame-doc/examples/data/boom.wav";
  if (!std::filesystem::exists(alsa) || !std::filesystem::exists(adpcm)) {
    GTEST_SKIP() << "alsa-utils and python-pygame-doc are not installed (scripts/install-deps.sh)";
  }
  std::string error;
  const std::vector<uint8_t> bytes = ReadFileBytes(alsa);
  const std::optional<WaveFile> wave = ParseWave(bytes, error);
  ASSERT_TRUE(wave) << error;
  EXPECT_EQ(wave->format.rate, 48000u);
  EXPECT_EQ(wave->format.channels, 1);
  EXPECT_EQ(wave->format.bits, 16);
  const PcmSound pcm = DecodePcm(*wave);
  EXPECT_EQ(pcm.frames(), wave->data.size() / 2);
  EXPECT_NEAR(WaveLengthHundredths(*wave), pcm.frames() * 100.0 / 48000, 0.5);
  float peak = 0;
  for (float s : pcm.samples) peak = std::max(peak, std::abs(s));
  EXPECT_GT(peak, 0.05f);
  EXPECT_LE(peak, 1.0f);

  const std::optional<PcmSound> boom = Read(ReadFileBytes(pcm8), error);
  ASSERT_TRUE(boom) << error;
  EXPECT_EQ(boom->rate, 11025u);

  EXPECT_FALSE(Read(ReadFileBytes(adpcm), error));
  EXPECT_EQ(error, "format tag 2 is not PCM");
}

TEST(WaveFile, DecodesEightAndSixteenBitMonoAndStereo) {
  std::string error;
  // Unsigned 8-bit around 128; a length of one second at 8,000 bytes a second.
  std::vector<uint8_t> eight(8000, 128);
  eight[0] = 0;
  eight[1] = 255;
  const std::vector<uint8_t> bytes = WaveBytes({}, eight);
  const std::optional<WaveFile> wave = ParseWave(bytes, error);
  ASSERT_TRUE(wave) << error;
  EXPECT_EQ(WaveLengthHundredths(*wave), 100);
  const PcmSound pcm = DecodePcm(*wave);
  EXPECT_FLOAT_EQ(pcm.samples[0], -1.0f);
  EXPECT_NEAR(pcm.samples[1], 1.0f, 0.01f);
  EXPECT_FLOAT_EQ(pcm.samples[2], 0.0f);

  // Signed 16-bit stereo; a trailing half frame is left out.
  const std::optional<PcmSound> stereo =
      Read(WaveBytes({.channels = 2, .rate = 44100, .bits = 16}, {0x00, 0x80, 0xFF, 0x7F, 0x00, 0x40, 0x12}), error);
  ASSERT_TRUE(stereo) << error;
  EXPECT_EQ(stereo->frames(), 1u);
  EXPECT_FLOAT_EQ(stereo->samples[0], -1.0f);
  EXPECT_NEAR(stereo->samples[1], 1.0f, 1e-4f);

  // Extensible PCM plays; extensible float is refused. The extension:
  // its size, valid bits, channel mask, then the sub-format GUID.
  const std::vector<uint8_t> extension = {22, 0, 16, 0, 4, 0, 0, 0, 1, 0, 0, 0, 0, 0, 0x10, 0,
                                          0x80, 0, 0, 0xAA, 0, 0x38, 0x9B, 0x71};
  std::vector<uint8_t> extensible = WaveBytes({.tag = 0xFFFE, .bits = 16, .format_size = 16}, {0, 0, 0, 0});
  // The format chunk grows by the extension: rebuild its size fields.
  extensible.insert(extensible.begin() + 36, extension.begin(), extension.end());
  extensible[16] = 40;
  extensible[4] = static_cast<uint8_t>(extensible.size() - 8);
  EXPECT_TRUE(Read(extensible, error)) << error;
  extensible[44] = 3;  // the sub-format's tag: IEEE float
  EXPECT_FALSE(Read(extensible, error));
  EXPECT_EQ(error, "format tag 3 is not PCM");
}

TEST(WaveFile, RefusesWhatItCannotPlayWithTheReason) {
  std::string error;
  const std::vector<uint8_t> one = {128, 128};
  EXPECT_FALSE(Read(WaveBytes({.tag = 3, .bits = 32}, one), error));
  EXPECT_EQ(error, "format tag 3 is not PCM");
  EXPECT_FALSE(Read(WaveBytes({.bits = 24}, {0, 0, 0}), error));
  EXPECT_EQ(error, "24-bit samples are not supported (8 or 16)");
  EXPECT_FALSE(Read(WaveBytes({.channels = 6}, std::vector<uint8_t>(6)), error));
  EXPECT_EQ(error, "6 channels are not supported (1 or 2)");
  EXPECT_FALSE(Read(WaveBytes({.rate = 0}, one), error));
  EXPECT_EQ(error, "a rate of 0 Hz is not supported");
  EXPECT_FALSE(Read({'R', 'I', 'F', 'F', 4, 0, 0, 0, 'A', 'V', 'I', ' '}, error));
  EXPECT_EQ(error, "not a RIFF WAVE file");
  EXPECT_FALSE(Read({}, error));
  EXPECT_EQ(error, "not a RIFF WAVE file");
}

TEST(WaveFile, BoundsEveryReadOfABrokenFile) {
  std::string error;
  std::vector<uint8_t> good = WaveBytes({}, std::vector<uint8_t>(800, 128));

  // A stored byte rate of 0 takes the format's instead of dividing by it.
  std::vector<uint8_t> no_rate = WaveBytes({.average_bytes = 0}, std::vector<uint8_t>(800, 128));
  no_rate[28] = no_rate[29] = no_rate[30] = no_rate[31] = 0;
  std::optional<WaveFile> wave = ParseWave(no_rate, error);
  ASSERT_TRUE(wave) << error;
  EXPECT_EQ(WaveLengthHundredths(*wave), 10);

  // A 16-byte format chunk is enough: nothing past it is read as the
  // format (the data chunk follows directly).
  wave = ParseWave(good, error);
  ASSERT_TRUE(wave) << error;
  EXPECT_EQ(wave->data.size(), 800u);

  // A format chunk shorter than 16 bytes, or running past the file's end.
  std::vector<uint8_t> short_format = good;
  short_format[16] = 14;
  EXPECT_FALSE(ParseWave(short_format, error));
  EXPECT_EQ(error, "its \"fmt \" chunk holds 14 bytes, fewer than 16");
  std::vector<uint8_t> cut(good.begin(), good.begin() + 30);
  EXPECT_FALSE(ParseWave(cut, error));
  EXPECT_EQ(error, "its \"fmt \" chunk runs past the end of the file");

  // A data chunk claiming 4 GiB keeps what the file holds, and its length
  // is computed without overflow.
  std::vector<uint8_t> huge = good;
  huge[40] = huge[41] = huge[42] = huge[43] = 0xFF;
  wave = ParseWave(huge, error);
  ASSERT_TRUE(wave) << error;
  EXPECT_EQ(wave->data.size(), 800u);
  // A RIFF size past the end is bounded by the file too.
  std::vector<uint8_t> riff = good;
  riff[4] = riff[5] = riff[6] = riff[7] = 0xFF;
  EXPECT_TRUE(ParseWave(riff, error));
  // 50 MB of data: data × 100 passes 32 bits.
  const std::vector<uint8_t> long_data(50'000'000);
  EXPECT_EQ(WaveLengthHundredths(WaveFile{wave->format, long_data}), 625000);

  // Missing chunks.
  std::vector<uint8_t> no_data = good;
  no_data[36] = 'x';
  EXPECT_FALSE(ParseWave(no_data, error));
  EXPECT_EQ(error, "it has no \"data\" chunk");
  std::vector<uint8_t> no_format = good;
  no_format[12] = 'x';
  EXPECT_FALSE(ParseWave(no_format, error));
  EXPECT_EQ(error, "it has no \"fmt \" chunk");

  // Every cut of a good file reads or is refused, within its bytes.
  for (size_t n = 0; n < good.size(); n += 7) {
    std::vector<uint8_t> part(good.begin(), good.begin() + static_cast<ptrdiff_t>(n));
    if (const std::optional<PcmSound> pcm = Read(part, error)) {
      EXPECT_LE(pcm->samples.size(), n);
    }
  }
}

}  // namespace
}  // namespace lumi
