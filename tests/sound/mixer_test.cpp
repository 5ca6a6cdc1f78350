// The mixer against the sound-buffer rules it stands in for: attenuations in
// hundredths of a decibel, the pan law, the master, silence, and loops and
// endings across a change of rate.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <numbers>

#include "sound/decibels.h"
#include "sound/mixer.h"
#include "sound/pcm16.h"
#include "sound/sound_buffer.h"

namespace lumi {
namespace {

double Decibels(float gain) { return 20.0 * std::log10(gain); }

std::shared_ptr<const PcmSound> Mono(std::vector<float> samples, uint32_t rate) {
  return std::make_shared<const PcmSound>(PcmSound{std::move(samples), 1, rate});
}

std::vector<float> MixFrames(Mixer& mixer, size_t frames) {
  std::vector<float> out(frames * 2);
  mixer.Mix(out.data(), frames);
  return out;
}

TEST(Mixer, PanAttenuatesTheFarSideOnlyAndVolumesAddInDecibels) {
  const StereoGain g = PanGain(-600, 1000);
  EXPECT_NEAR(Decibels(g.left), -16.0, 0.01);
  EXPECT_NEAR(Decibels(g.right), -6.0, 0.01);
  const StereoGain h = PanGain(-600, -1000);
  EXPECT_NEAR(Decibels(h.left), -6.0, 0.01);
  EXPECT_NEAR(Decibels(h.right), -16.0, 0.01);
  // Limits: silence at -10000, whatever the pan brings on top; never louder than 0.
  EXPECT_EQ(PanGain(-10000, 0).left, 0.0f);
  EXPECT_EQ(PanGain(0, -10000).right, 0.0f);
  EXPECT_EQ(PanGain(0, -10000).left, 1.0f);
  EXPECT_EQ(PanGain(-5000, 10000).left, 0.0f);
  EXPECT_EQ(PanGain(500, 0).left, 1.0f);

  auto mixer = std::make_shared<Mixer>();
  SoundBuffer buffer(mixer, Mono(std::vector<float>(4800, 0.5f), 48000));
  buffer.SetVolume(-400);
  buffer.SetPan(1000);
  buffer.Play(true);
  mixer->SetMasterVolume(-600);
  // A stopped master leaves every buffer silent; started, it adds its
  // attenuation to the buffer's.
  EXPECT_EQ(MixFrames(*mixer, 16)[4], 0.0f);
  mixer->PlayMaster();
  const std::vector<float> out = MixFrames(*mixer, 16);
  EXPECT_NEAR(Decibels(out[4] / 0.5f), -20.0, 0.01);
  EXPECT_NEAR(Decibels(out[5] / 0.5f), -10.0, 0.01);

  mixer->SetMasterVolume(kSilentHundredths);
  for (float s : MixFrames(*mixer, 64)) EXPECT_EQ(s, 0.0f);
  mixer->SetMasterVolume(0);
  buffer.SetVolume(kSilentHundredths);
  for (float s : MixFrames(*mixer, 64)) EXPECT_EQ(s, 0.0f);
}

// What the outputs of the system's own need: a graph under the master adds
// the master's attenuation to its own, and the mix leaves as 16-bit PCM.
TEST(Mixer, OwnOutputsFollowTheMasterAndPcmRoundsAndClips) {
  EXPECT_EQ(UnderMaster(-400, -600, true), -1000);
  EXPECT_EQ(UnderMaster(0, 0, false), kSilentHundredths);
  EXPECT_EQ(UnderMaster(-8000, -5000, true), kSilentHundredths);
  EXPECT_EQ(UnderMaster(300, -200, true), -200);
  EXPECT_EQ(UnderMaster(std::numeric_limits<int32_t>::min(), std::numeric_limits<int32_t>::min(), true),
            kSilentHundredths);

  const float in[] = {0.0f, 0.5f, -0.5f, 1.0f, -1.0f, 1.5f, -2.0f, std::numeric_limits<float>::quiet_NaN(),
                      0.4f / 32767};
  int16_t out[std::size(in)];
  FloatToPcm16(in, out, std::size(in));
  const int16_t expected[] = {0, 16384, -16384, 32767, -32767, 32767, -32768, 0, 0};
  for (size_t i = 0; i < std::size(in); ++i) EXPECT_EQ(out[i], expected[i]) << i;
}

TEST(Mixer, LoopedBufferJoinsWithoutAStepAcrossRates) {
  // Ten periods of a cosine at 22,050 Hz: the loop's end meets a start at
  // full level, where a join through silence or a lost sample would show.
  constexpr size_t kFrames = 2205;
  std::vector<float> cosine(kFrames);
  float source_step = 0;
  for (size_t i = 0; i < kFrames; ++i) {
    cosine[i] = 0.8f * static_cast<float>(std::cos(2 * std::numbers::pi * 10 * static_cast<double>(i) / kFrames));
    if (i > 0) source_step = std::max(source_step, std::abs(cosine[i] - cosine[i - 1]));
  }
  source_step = std::max(source_step, std::abs(cosine.front() - cosine.back()));
  auto mixer = std::make_shared<Mixer>(48000);
  mixer->PlayMaster();
  SoundBuffer buffer(mixer, Mono(cosine, 22050));
  buffer.Play(true);
  const std::vector<float> out = MixFrames(*mixer, 48000);  // about 10 loops
  float largest = 0;
  for (size_t f = 1; f < 48000; ++f) largest = std::max(largest, std::abs(out[2 * f] - out[2 * f - 2]));
  EXPECT_LE(largest, source_step + 1e-6f);
  EXPECT_GT(largest, source_step * 0.3f);  // it did play
  EXPECT_TRUE(buffer.Looping());
  buffer.Stop();
  EXPECT_FALSE(buffer.Playing());
  for (float s : MixFrames(*mixer, 32)) EXPECT_EQ(s, 0.0f);
}

TEST(Mixer, BufferPlayedOnceSoundsToItsEndThenStops) {
  auto mixer = std::make_shared<Mixer>(48000);
  mixer->PlayMaster();
  SoundBuffer buffer(mixer, Mono(std::vector<float>(2205, 0.5f), 22050));  // 0.1 s
  buffer.Play(false);
  EXPECT_FALSE(buffer.Looping());
  const std::vector<float> out = MixFrames(*mixer, 9600);
  size_t sounding = 0;
  for (size_t f = 0; f < 9600; ++f) sounding += out[2 * f] != 0.0f;
  EXPECT_NEAR(static_cast<double>(sounding), 4800.0, 1.0);
  EXPECT_FALSE(buffer.Playing());
  // Rewound and played again it sounds again from the start.
  buffer.Rewind();
  buffer.Play(false);
  EXPECT_FLOAT_EQ(MixFrames(*mixer, 4)[0], 0.5f);
}

}  // namespace
}  // namespace lumi
