// End to end through SDL's disk driver, in real time: a slide's WAV and two
// MP3 background tracks driven by a loop as the host drives them, then the
// samples SDL wrote are checked for the sounds in order, the user's volume,
// mute, music after a device loss, and no files left behind.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cstring>
#include <chrono>
#include <cmath>
#include <fstream>
#include <numbers>
#include <thread>

#include "archive/file_io.h"
#include "platform/linux/sound/scene_sound_linux.h"
#include "platform/temp_files.h"
#include "scene/resource_access.h"
#include "scene/slide_show.h"
#include "sound/sound_objects.h"
#include "tests/sound_linux/made_sounds.h"
#include "tests/support/wave_bytes.h"
#include "timing/random_timeline.h"

namespace lumi {
namespace {

constexpr double kRate = 48000;
constexpr int kWaveHertz = 300, kFirstHertz = 1000, kSecondHertz = 2000;

std::shared_ptr<const std::vector<uint8_t>> slide_wave;

// 0.4 s of a 300 Hz sine at amplitude 0.5, 16-bit mono at 48 kHz.
std::vector<uint8_t> SlideWave() {
  test::ByteBuilder samples;
  for (int i = 0; i < 19200; ++i) {
    const double s = 0.5 * std::sin(2 * std::numbers::pi * kWaveHertz * i / kRate);
    samples.U16(static_cast<uint16_t>(static_cast<int16_t>(std::lround(s * 32767))));
  }
  return test::WaveBytes({.rate = 48000, .bits = 16}, samples.bytes());
}

// The amplitude of a sine of `hertz` in the left channel over frames
// [begin, end) (Goertzel over whole 20 ms windows, averaged).
double Amplitude(const std::vector<float>& stereo, size_t begin, size_t end, int hertz) {
  const size_t window = 960;
  double sum = 0;
  int count = 0;
  for (size_t at = begin; at + window <= end; at += window) {
    const double w = 2 * std::numbers::pi * hertz / kRate;
    double re = 0, im = 0;
    for (size_t i = 0; i < window; ++i) {
      re += stereo[2 * (at + i)] * std::cos(w * static_cast<double>(i));
      im += stereo[2 * (at + i)] * std::sin(w * static_cast<double>(i));
    }
    sum += 2 * std::hypot(re, im) / window;
    ++count;
  }
  return count != 0 ? sum / count : 0;
}

double Peak(const std::vector<float>& stereo, size_t begin, size_t end) {
  double peak = 0;
  for (size_t i = 2 * begin; i < 2 * end && i < stereo.size(); ++i) peak = std::max(peak, std::abs(double{stereo[i]}));
  return peak;
}

// The loop of the saver, reduced to what sound needs: the media events
// posted to it, the slide sound's frames, and marks of where in the written
// samples each step fell.
class FakeLoop {
 public:
  FakeLoop(SceneSound& sound, DS_SlideShow_Light& show, VRN_RenderObj& wave, std::filesystem::path file)
      : sound_(sound), show_(show), wave_(wave), file_(std::move(file)) {}

  // Runs for `seconds`, handing at most `advances` events to the show (the
  // mark of each goes to `handed`) and only counting the others; returns
  // early once `advances` were handed when `until_handed`.
  void Run(double seconds, int advances = 0, bool until_handed = false) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
    while (std::chrono::steady_clock::now() < end) {
      if (posted.exchange(false)) {
        for (long code; (code = sound_.GetMediaEvent()) != -1;) {
          ++events;
          if (advances == 0) continue;
          --advances;
          handed.push_back(Mark());
          sound_.OnMediaEvent(show_, code);
        }
      }
      if (until_handed && advances == 0) return;
      wave_.FrameMove(0);
      std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
  }
  // The frame the output has reached.
  size_t Mark() const {
    struct stat info {};
    return stat(file_.c_str(), &info) == 0 ? static_cast<size_t>(info.st_size) / 8 : 0;
  }

  std::atomic<bool> posted{false};
  int events = 0;
  std::vector<size_t> handed;

 private:
  SceneSound& sound_;
  DS_SlideShow_Light& show_;
  VRN_RenderObj& wave_;
  std::filesystem::path file_;
};

TEST(DiskPlayback, SlideSoundAndTracksInOrderWithVolumeMuteAndDeviceLoss) {
  if (!test::HaveSoxAndLame()) GTEST_SKIP() << "sox and lame are needed (scripts/install-deps.sh)";
  const std::filesystem::path work =
      std::filesystem::temp_directory_path() / ("lumi-disk-playback-" + std::to_string(getpid()));
  std::filesystem::create_directories(work);
  ASSERT_TRUE(test::MakeTone(work, "first", kFirstHertz, 0.6));
  ASSERT_TRUE(test::MakeTone(work, "second", kSecondHertz, 0.6));
  const std::filesystem::path samples = work / "samples.raw";
  setenv("SDL_AUDIODRIVER", "disk", 1);
  setenv("SDL_DISKAUDIOFILE", samples.c_str(), 1);

  DS_SlideShow_Light show;
  for (const char* name : {"first", "second"}) {
    auto track = std::make_unique<DS_AudioFile>();
    track->file = {u"C:\\Music\\" + std::u16string(name, name + std::strlen(name)) + u".mp3",
                   ReadFileBytes(work / (std::string(name) + ".mp3"))};
    show.tracks.push_back(std::move(track));
  }
  slide_wave = std::make_shared<const std::vector<uint8_t>>(SlideWave());
  DocumentResourceAccess().file_bytes = [](const ResourceKey&) { return slide_wave; };

  SoundSettings settings;
  FakeLoop* loop = nullptr;
  std::string message;
  std::unique_ptr<SceneSound> sound =
      MakeLinuxSceneSound([&] { return settings; }, [&](PlatformWindow) { loop->posted = true; }, nullptr, message);
  EXPECT_EQ(message, "");
  ASSERT_TRUE(sound->CreateMediaGraph(0));
  sound->OnDeviceReset(0);
  // A slide WAV that plays once each time its timeline is on.
  DS_WAV_Constructor constructor;
  constructor.wave_file.key = {u"C:\\Sounds\\tone.wav", 1};
  auto random = std::make_shared<VRN_RandomTimeLine>();
  constructor.timing.value = VRN_SmartTiming::kRandom;
  constructor.timing.SetTimeline(random);
  random->state = VRN_Timing::kOff;
  auto wave = constructor.CreateRenderObject();
  FakeLoop fake(*sound, show, *wave, samples);
  loop = &fake;

  // 1. Loaded: the first track and the WAV, then the second track.
  random->state = VRN_Timing::kOn;
  const size_t loaded = fake.Mark();
  sound->OnSceneLoaded(show);
  fake.Run(0.05);
  random->state = VRN_Timing::kOff;
  fake.Run(1.4, 1);  // the second track ends and its event waits
  ASSERT_EQ(fake.handed.size(), 1u);
  const size_t second_started = fake.handed[0];
  const size_t first_done = fake.Mark();

  // 2. Volume 50: the WAV at −25 dB.
  settings.volume = 50;
  DS_SlideShow_Light nothing;
  sound->OnSceneLoaded(nothing);
  random->state = VRN_Timing::kOn;
  const size_t half = fake.Mark();
  fake.Run(0.05);
  random->state = VRN_Timing::kOff;
  fake.Run(0.5);

  // 3. Muted: the WAV and the next tracks are silent.
  settings = {100, 50, true};
  sound->OnSceneLoaded(nothing);
  random->state = VRN_Timing::kOn;
  const size_t muted = fake.Mark();
  sound->OnMediaEvent(show, kMediaEventComplete);  // the waiting event: the first track, muted
  fake.Run(0.05);
  random->state = VRN_Timing::kOff;
  fake.Run(2, 1, true);  // the second track starts, muted
  fake.Run(0.3);
  const size_t muted_end = fake.Mark();

  // 4. A device loss in the middle of a track: after the reset the list goes
  // on with the next track, at the volume read for it.
  settings = {100, 50, false};
  sound->OnSceneLoaded(nothing);
  fake.Run(2, 1, true);  // the first track, no longer muted
  const size_t unmuted = fake.handed.back();
  fake.Run(0.3);
  const size_t lost = fake.Mark();
  sound->OnDeviceLost();
  fake.Run(0.3);
  sound->OnDeviceReset(0);
  const size_t reset = fake.Mark();
  fake.Run(0.7);
  const size_t end = fake.Mark();

  sound.reset();
  wave.reset();
  DocumentResourceAccess().file_bytes = nullptr;
  const std::vector<uint8_t> bytes = ReadFileBytes(samples);
  std::vector<float> out(bytes.size() / sizeof(float));
  std::memcpy(out.data(), bytes.data(), out.size() * sizeof(float));
  const size_t guard = 4800;  // 0.1 s either side of each mark

  // 1: the first track with the WAV, then the second track alone.
  EXPECT_NEAR(Amplitude(out, loaded + guard, loaded + 19200 - guard, kWaveHertz), 0.5, 0.02);
  EXPECT_NEAR(Amplitude(out, loaded + guard, second_started - guard, kFirstHertz), 0.5, 0.05);
  EXPECT_LT(Amplitude(out, loaded + guard, second_started - guard, kSecondHertz), 0.01);
  EXPECT_NEAR(Amplitude(out, second_started + guard, second_started + 28800 - guard, kSecondHertz), 0.5, 0.05);
  EXPECT_LT(Amplitude(out, second_started + guard, second_started + 28800 - guard, kFirstHertz), 0.01);
  EXPECT_LT(Peak(out, first_done - 2400, first_done), 1e-6);  // nothing after the last track
  // 2: −25 dB on the slide sound, within 0.1 dB of what the first pass measured.
  const double full = Amplitude(out, loaded + guard, loaded + 19200 - guard, kWaveHertz);
  const double quiet = Amplitude(out, half + guard, half + 19200 - guard, kWaveHertz);
  EXPECT_NEAR(20 * std::log10(quiet / full), -25.0, 0.1);
  // 3: silence.
  EXPECT_EQ(Peak(out, muted + guard, muted_end - guard), 0.0);
  // 4: the first track before the loss, silence during it, the second after.
  EXPECT_NEAR(Amplitude(out, unmuted + guard, lost - 2400, kFirstHertz), 0.5, 0.05);
  EXPECT_EQ(Peak(out, lost + guard, reset - guard / 2), 0.0);
  EXPECT_NEAR(Amplitude(out, reset + guard, reset + 28800 - guard, kSecondHertz), 0.5, 0.05);
  EXPECT_LT(end, out.size() / 2 + 4800);
  EXPECT_GT(fake.events, 3);

  // No file is left behind.
  const std::filesystem::path directory = PrivateTempDirectory();
  EXPECT_TRUE(std::filesystem::is_empty(directory)) << directory;
  std::filesystem::remove_all(work);
}

}  // namespace
}  // namespace lumi

namespace lumi {
namespace {

// Without a device SDL's silent driver keeps time: one message, and tracks
// still complete.
TEST(SilentOutput, NoDeviceFallsBackToTheDummyDriverAndTracksStillComplete) {
  setenv("SDL_AUDIODRIVER", "no-such-driver", 1);
  std::atomic<bool> posted{false};
  std::string message;
  std::unique_ptr<SceneSound> sound =
      MakeLinuxSceneSound([] { return SoundSettings{}; }, [&](PlatformWindow) { posted = true; }, nullptr, message);
  unsetenv("SDL_AUDIODRIVER");
  EXPECT_TRUE(message.starts_with("No sound device (")) << message;
  EXPECT_TRUE(message.ends_with("): sounds play silently.")) << message;
  ASSERT_TRUE(sound->CreateMediaGraph(0));
  sound->OnDeviceReset(0);
  DS_SlideShow_Light show;
  auto track = std::make_unique<DS_AudioFile>();
  track->file = {u"short.wav", test::WaveBytes({.rate = 48000, .bits = 16}, test::Pcm16Level(0.5f, 4800))};
  show.tracks.push_back(std::move(track));
  sound->OnSceneLoaded(show);
  const auto give_up = std::chrono::steady_clock::now() + std::chrono::seconds(3);
  while (!posted && std::chrono::steady_clock::now() < give_up) std::this_thread::sleep_for(std::chrono::milliseconds(10));
  EXPECT_TRUE(posted);
  EXPECT_EQ(sound->GetMediaEvent(), kMediaEventComplete);
}

}  // namespace
}  // namespace lumi
