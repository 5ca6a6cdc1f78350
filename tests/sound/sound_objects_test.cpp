// WAV and MP3 sound objects on a slide: length, volume and pan, playing by
// their timeline, stopping with their slide, mute, and their files.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>

#include "platform/temp_files.h"
#include "scene/notices.h"
#include "scene/resource_access.h"
#include "scene/slide_show.h"
#include "sound/sound_objects.h"
#include "tests/sound/manual_output.h"
#include "tests/support/wave_bytes.h"
#include "timing/random_timeline.h"

namespace lumi {
namespace {

using test::PumpedSound;

std::map<ResourceKey, std::shared_ptr<const std::vector<uint8_t>>>& DocumentFiles() {
  static std::map<ResourceKey, std::shared_ptr<const std::vector<uint8_t>>> files;
  return files;
}

std::shared_ptr<const std::vector<uint8_t>> DocumentFile(const ResourceKey& key) {
  const auto found = DocumentFiles().find(key);
  return found != DocumentFiles().end() ? found->second : nullptr;
}

// A scene sound whose device the objects play through, and a document
// whose files the test gives.
class SoundObjects : public ::testing::Test {
 protected:
  SoundObjects() {
    DocumentResourceAccess().file_bytes = DocumentFile;
    s.sound->OnDeviceReset(0);
  }
  ~SoundObjects() override { DocumentResourceAccess().file_bytes = nullptr; }

  // 8 kHz 8-bit mono at a constant level (0.5 is exact in 8 bits).
  static std::vector<uint8_t> Level(float level, size_t frames) {
    return test::WaveBytes({}, std::vector<uint8_t>(frames, static_cast<uint8_t>(128 + level * 128)));
  }
  static ResourceKey AddFile(std::u16string name, std::vector<uint8_t> bytes) {
    ResourceKey key{std::move(name), 7};
    DocumentFiles()[key] = std::make_shared<const std::vector<uint8_t>>(std::move(bytes));
    return key;
  }
  static DS_Sound_Ctrl& Player(VRN_RenderObj& object) {
    return static_cast<DS_Sound_Ctrl&>(static_cast<DS_Sound&>(object).settings());
  }
  // Left and right of the frame `at` frames into the next `frames`.
  std::pair<float, float> Sample(size_t frames, size_t at) {
    const std::vector<float> out = s.Pump(frames);
    return {out[2 * at], out[2 * at + 1]};
  }

  PumpedSound s;
};

TEST_F(SoundObjects, WaveLengthVolumePanAndFlags) {
  DS_WAV_Constructor wave;
  wave.wave_file.key = AddFile(u"C:\\Sounds\\one second.wav", Level(0.5f, 8000));
  wave.volume.Set(60);   // 60 × 50 − 5000 = −2000: a tenth
  wave.balance.Set(100);  // pan +5000: the left side 50 dB down
  auto object = wave.CreateRenderObject();
  DS_Sound_Ctrl& player = Player(*object);
  EXPECT_EQ(player.length_hundredths, 100);
  EXPECT_FLOAT_EQ(player.timing.default_on, 1.0f);
  EXPECT_EQ(player.timing.default_fade_in, 0.0f);
  EXPECT_EQ(player.timing.flags & DS_Sound_Ctrl::kStartedFlags, DS_Sound_Ctrl::kStartedFlags);
  EXPECT_EQ(wave.length_hundredths, 0);  // the constructor itself is not started

  // Silent until the first frame finds its timeline on.
  EXPECT_EQ(Sample(10, 5).second, 0.0f);
  object->FrameMove(0);
  const auto [left, right] = Sample(100, 50);
  EXPECT_NEAR(right, 0.05f, 1e-5f);
  EXPECT_NEAR(left, 0.05f * 0.0031623f, 1e-6f);

  // Volumes above 100 are clamped: no amplification.
  wave.volume.Set(400);
  wave.balance.Set(50);
  auto loud = wave.CreateRenderObject();
  object->SetEnabled(false);
  loud->FrameMove(0);
  EXPECT_NEAR(Sample(10, 5).first, 0.5f, 1e-5f);
}

TEST_F(SoundObjects, WaveLoopsOnAContinuousTimelineAndStopsWithItsSlide) {
  DS_WAV_Constructor wave;
  wave.wave_file.key = AddFile(u"loop.wav", Level(0.5f, 800));
  auto object = wave.CreateRenderObject();
  object->FrameMove(0);
  // Three times its length later it still sounds.
  EXPECT_NEAR(Sample(2400, 2399).first, 0.5f, 1e-5f);
  object->SetEnabled(false);
  EXPECT_EQ(Sample(10, 0).first, 0.0f);
  object->FrameMove(1);  // disabled: no update
  EXPECT_EQ(Sample(10, 0).first, 0.0f);
  object->SetEnabled(true);
  object->FrameMove(2);
  EXPECT_NEAR(Sample(10, 0).first, 0.5f, 1e-5f);
}

TEST_F(SoundObjects, WaveOnARandomTimelinePlaysOnceAndALoopStopsWhenOff) {
  DS_WAV_Constructor wave;
  wave.wave_file.key = AddFile(u"once.wav", Level(0.5f, 800));
  auto random = std::make_shared<VRN_RandomTimeLine>();
  wave.timing.value = VRN_SmartTiming::kRandom;
  wave.timing.SetTimeline(random);
  auto object = wave.CreateRenderObject();
  random->state = VRN_Timing::kFadingIn;
  object->FrameMove(0);
  EXPECT_EQ(Sample(10, 0).first, 0.0f);
  random->state = VRN_Timing::kOn;
  object->FrameMove(0);
  random->state = VRN_Timing::kOff;  // a sound played once goes on to its end
  object->FrameMove(0);
  const std::vector<float> out = s.Pump(1000);
  EXPECT_NEAR(out[2 * 799], 0.5f, 1e-5f);
  EXPECT_EQ(out[2 * 801], 0.0f);

  // The sound's length becomes the on time of another object's random timeline.
  DS_WAV_Constructor other;
  auto other_random = std::make_shared<VRN_RandomTimeLine>();
  other.timing.SetTimeline(other_random);
  EXPECT_FALSE(Player(*object).CopyTo(other, 0));
  EXPECT_EQ(other_random->on_min.value, 10u);
  EXPECT_EQ(other_random->on_max.value, 10u);

  // A looping sound (continuous) stops when its timeline turns off.
  DS_WAV_Constructor looping;
  looping.wave_file = wave.wave_file;
  auto loop = looping.CreateRenderObject();
  loop->FrameMove(0);
  EXPECT_NEAR(Sample(10, 0).first, 0.5f, 1e-5f);
  Player(*loop).timing.current().state = VRN_Timing::kOff;
  loop->FrameMove(0);
  EXPECT_EQ(Sample(10, 0).first, 0.0f);
}

TEST_F(SoundObjects, BrokenOrMissingWaveStaysSilentWithOneNotice) {
  DS_WAV_Constructor broken;
  std::vector<uint8_t> bytes = Level(0.5f, 100);
  bytes[20] = 2;  // ADPCM
  broken.wave_file.key = AddFile(u"C:\\Sounds\\adpcm.wav", bytes);
  auto a = broken.CreateRenderObject();
  auto b = broken.CreateRenderObject();
  a->FrameMove(0);
  EXPECT_EQ(Sample(10, 5).first, 0.0f);
  EXPECT_EQ(std::count(Notices().begin(), Notices().end(),
                       "WAV sound C:\\Sounds\\adpcm.wav: format tag 2 is not PCM; it stays silent"),
            1);
  DS_WAV_Constructor missing;
  missing.wave_file.key = {u"C:\\Sounds\\gone.wav", 1};
  missing.CreateRenderObject()->FrameMove(0);
  EXPECT_NE(std::find(Notices().begin(), Notices().end(),
                      "WAV sound C:\\Sounds\\gone.wav: the document does not carry the file; it stays silent"),
            Notices().end());
}

TEST_F(SoundObjects, Mp3LengthInWholeSecondsVolumeBalanceAndTimeline) {
  DS_MP3_Constructor mp3;
  // The content decides how a file is decoded, not its name: 3.9 s of WAVE.
  mp3.audio_file = {u"C:\\Music\\clip.mp3", Level(0.5f, 31200)};
  mp3.volume.Set(75);   // (75 − 100) × 40 = −1000
  mp3.balance.Set(0);   // (0 − 50) × 80 = −4000: the right side 40 dB down
  auto object = mp3.CreateRenderObject();
  DS_Sound_Ctrl& player = Player(*object);
  EXPECT_EQ(player.length_hundredths, 300);
  EXPECT_FLOAT_EQ(player.timing.default_on, 3.0f);
  EXPECT_EQ(Sample(10, 5).first, 0.0f);  // silent until its timeline is seen on
  object->FrameMove(0);
  const auto [left, right] = Sample(100, 50);
  EXPECT_NEAR(left, 0.5f * 0.31623f, 1e-5f);
  EXPECT_NEAR(right, 0.5f * 0.31623f * 0.01f, 1e-6f);
  const MediaGraph& graph = *static_cast<DS_MP3_Constructor&>(player).playback.graph;
  EXPECT_DOUBLE_EQ(graph.PositionSeconds(), 100.0 / 8000);
  EXPECT_DOUBLE_EQ(graph.DurationSeconds(), 3.9);
  player.timing.current().state = VRN_Timing::kOff;
  object->FrameMove(0);
  EXPECT_EQ(Sample(10, 5).first, 0.0f);
  player.timing.current().state = VRN_Timing::kOn;
  object->FrameMove(0);
  EXPECT_NE(Sample(10, 5).first, 0.0f);
  // Stopped with its slide.
  object->SetEnabled(false);
  EXPECT_EQ(Sample(10, 5).first, 0.0f);
}

TEST_F(SoundObjects, Mp3PlaysUnderTheUsersVolumeAndMute) {
  DS_SlideShow_Light show;
  s.settings.muted = true;
  s.sound->OnSceneLoaded(show);
  DS_MP3_Constructor mp3;
  mp3.audio_file = {u"clip.mp3", Level(0.5f, 8000)};
  auto object = mp3.CreateRenderObject();
  object->FrameMove(0);
  EXPECT_EQ(Sample(100, 50).first, 0.0f);
  s.settings = {50, 50, false};
  s.sound->OnSceneLoaded(show);
  EXPECT_NEAR(Sample(100, 50).first, 0.5f * 0.056234f, 1e-5f);  // −2500
}

TEST_F(SoundObjects, EachMp3ObjectHasItsOwnFileDeletedWithIt) {
  DS_MP3_Constructor mp3;
  mp3.audio_file = {u"C:\\Music\\..\\..\\same.mp3", Level(0.5f, 800)};
  auto first = mp3.CreateRenderObject();
  auto second = mp3.CreateRenderObject();
  const auto& one = static_cast<DS_MP3_Constructor&>(Player(*first)).playback.file->path();
  const std::filesystem::path two = static_cast<DS_MP3_Constructor&>(Player(*second)).playback.file->path();
  EXPECT_NE(one, two);
  EXPECT_EQ(one.parent_path(), PrivateTempDirectory());
  EXPECT_EQ(two.extension(), ".mp3");
  first.reset();
  EXPECT_TRUE(std::filesystem::exists(two));
  second->FrameMove(0);
  EXPECT_NEAR(Sample(10, 5).first, 0.5f, 1e-5f);
  second.reset();
  EXPECT_FALSE(std::filesystem::exists(two));
  // A copy of a constructor starts with neither graph nor file.
  DS_MP3_Constructor copy = mp3;
  EXPECT_EQ(copy.playback.graph, nullptr);
  EXPECT_EQ(copy.playback.file, nullptr);
}

}  // namespace
}  // namespace lumi
