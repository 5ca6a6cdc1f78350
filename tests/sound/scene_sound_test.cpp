// The scene host's sound: background tracks in order, the user's volume and
// mute, device loss and reset, and the files tracks are played from.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>

#include "archive/utf.h"
#include "platform/temp_files.h"
#include "scene/notices.h"
#include "scene/slide_show.h"
#include "sound/sound_objects.h"
#include "tests/sound/manual_output.h"
#include "tests/support/wave_bytes.h"

namespace lumi {
namespace {

using test::PumpedSound;

// A tenth of a second of 8 kHz 16-bit sound at a constant level.
std::vector<uint8_t> Track(float level) { return test::WaveBytes({.bits = 16}, test::Pcm16Level(level, 800)); }

void AddTrack(DS_SlideShow_Light& show, std::u16string stored_name, std::vector<uint8_t> bytes) {
  auto track = std::make_unique<DS_AudioFile>();
  track->title = u"track";
  track->file = {std::move(stored_name), std::move(bytes)};
  show.tracks.push_back(std::move(track));
}

// The level of the left channel in the middle of the next track's tenth of
// a second, after which the graph has completed and posted its event.
float PlayThrough(PumpedSound& s) {
  const std::vector<float> out = s.Pump(900);
  return out[2 * 400];
}

// Runs a track to its end and hands its completion to the show.
float NextLevel(PumpedSound& s, DS_SlideShow_Light& show) {
  const float level = PlayThrough(s);
  const long event = s.sound->GetMediaEvent();
  EXPECT_EQ(event, kMediaEventComplete);
  s.sound->OnMediaEvent(show, event);
  return level;
}

TEST(SceneSound, TracksPlayInOrderAndWrapOneRepeatsNoneIsSilent) {
  PumpedSound s;
  ASSERT_TRUE(s.sound->CreateMediaGraph(0));
  s.sound->OnDeviceReset(0);
  DS_SlideShow_Light three;
  for (int i = 1; i <= 3; ++i) AddTrack(three, u"C:\\Music\\song.wav", Track(0.1f * static_cast<float>(i)));
  s.sound->OnSceneLoaded(three);
  std::vector<float> levels;
  for (int i = 0; i < 5; ++i) levels.push_back(NextLevel(s, three));
  const std::vector<float> expected = {0.1f, 0.2f, 0.3f, 0.1f, 0.2f};
  for (size_t i = 0; i < 5; ++i) EXPECT_NEAR(levels[i], expected[i], 1e-4f) << i;
  EXPECT_GE(s.posts, 5);

  // Events other than completion change nothing.
  PlayThrough(s);
  EXPECT_EQ(s.sound->GetMediaEvent(), kMediaEventComplete);
  s.sound->OnMediaEvent(three, 2);
  EXPECT_FALSE(s.sound->graph()->Running());
  EXPECT_EQ(s.sound->GetMediaEvent(), -1);

  DS_SlideShow_Light one;
  AddTrack(one, u"only.wav", Track(0.25f));
  s.sound->OnSceneLoaded(one);
  for (int i = 0; i < 3; ++i) EXPECT_NEAR(NextLevel(s, one), 0.25f, 1e-4f);
  // One line for each start, restarts of a single track too.
  std::vector<std::string> expected_reports;
  for (int n : {1, 2, 3, 1, 2, 3}) {
    expected_reports.push_back("background track " + std::to_string(n) + " of 3 (track) starts");
  }
  expected_reports.insert(expected_reports.end(), 4, "background track 1 of 1 (track) starts");
  EXPECT_EQ(s.reports, expected_reports);

  PumpedSound quiet;
  quiet.sound->CreateMediaGraph(0);
  quiet.sound->OnDeviceReset(0);
  DS_SlideShow_Light none;
  quiet.sound->OnSceneLoaded(none);
  quiet.sound->OnMediaEvent(none, kMediaEventComplete);
  EXPECT_EQ(PlayThrough(quiet), 0.0f);
  EXPECT_EQ(quiet.posts, 0);
}

TEST(SceneSound, VolumeAndMuteApplyToMasterAndMusic) {
  PumpedSound s;
  s.sound->CreateMediaGraph(0);
  s.sound->OnDeviceReset(0);
  DS_SlideShow_Light show;
  AddTrack(show, u"a.wav", Track(0.5f));
  AddTrack(show, u"b.wav", Track(0.5f));
  s.settings.volume = 50;
  s.sound->OnSceneLoaded(show);
  EXPECT_EQ(s.sound->mixer().MasterVolume(), -2500);
  EXPECT_EQ(s.sound->graph()->Volume(), -2000);
  EXPECT_NEAR(NextLevel(s, show), 0.05f, 1e-4f);

  // Settings are read again at every track start; muted, the music is silent
  // from the next track on.
  s.settings.muted = true;
  EXPECT_NEAR(NextLevel(s, show), 0.05f, 1e-4f);
  EXPECT_EQ(NextLevel(s, show), 0.0f);
  EXPECT_EQ(s.sound->graph()->Volume(), -10000);

  // Out of range volumes are clamped rather than amplifying.
  s.settings = {250, 50, false};
  s.sound->OnSceneLoaded(show);
  EXPECT_EQ(s.sound->mixer().MasterVolume(), 0);
  EXPECT_EQ(s.sound->graph()->Volume(), 0);
}

TEST(SceneSound, MusicAndMasterComeBackAfterADeviceLoss) {
  for (bool muted : {false, true}) {
    SCOPED_TRACE(muted);
    PumpedSound s;
    s.settings.muted = muted;
    s.settings.volume = 80;
    s.sound->CreateMediaGraph(0);
    s.sound->OnDeviceReset(0);
    DS_SlideShow_Light show;
    AddTrack(show, u"a.wav", Track(0.2f));
    AddTrack(show, u"b.wav", Track(0.4f));
    s.sound->OnSceneLoaded(show);
    EXPECT_TRUE(s.sound->mixer().MasterPlaying());

    s.sound->OnDeviceLost();
    EXPECT_FALSE(s.sound->mixer().MasterPlaying());
    EXPECT_EQ(s.sound->graph(), nullptr);
    EXPECT_EQ(PlayThrough(s), 0.0f);
    s.settings.muted = false;  // what was read last still applies until the next read
    s.sound->OnDeviceReset(0);
    EXPECT_TRUE(s.sound->mixer().MasterPlaying());
    EXPECT_EQ(s.sound->mixer().MasterVolume(), muted ? -10000 : -1000);
    ASSERT_NE(s.sound->graph(), nullptr);
    // The list goes on with the second track, at the volume read for it.
    EXPECT_NEAR(NextLevel(s, show), 0.4f * 0.39811f, 1e-4f);
    EXPECT_NEAR(NextLevel(s, show), 0.2f * 0.39811f, 1e-4f);
  }

  // A single track starts again after the reset.
  PumpedSound s;
  s.sound->CreateMediaGraph(0);
  s.sound->OnDeviceReset(0);
  DS_SlideShow_Light one;
  AddTrack(one, u"a.wav", Track(0.3f));
  s.sound->OnSceneLoaded(one);
  NextLevel(s, one);
  s.sound->OnDeviceLost();
  s.sound->OnDeviceReset(0);
  EXPECT_NEAR(NextLevel(s, one), 0.3f, 1e-4f);

  // Without a graph (the preview) nothing is made at a reset.
  PumpedSound preview;
  preview.sound->OnDeviceReset(0);
  preview.sound->OnDeviceLost();
  preview.sound->OnDeviceReset(0);
  EXPECT_EQ(preview.sound->graph(), nullptr);
}

// A document that goes for the next takes its music with it, also from
// the restart after a device reset; the next one's tracks play.
TEST(SceneSound, AnUnloadedShowsTracksStopAndStayStopped) {
  PumpedSound s;
  s.sound->CreateMediaGraph(0);
  s.sound->OnDeviceReset(0);
  auto first = std::make_unique<DS_SlideShow_Light>();
  AddTrack(*first, u"a.wav", Track(0.3f));
  s.sound->OnSceneLoaded(*first);
  s.sound->OnSceneUnloading(*first);
  first.reset();
  EXPECT_FALSE(s.sound->graph()->Running());
  s.sound->OnDeviceLost();
  s.sound->OnDeviceReset(0);
  EXPECT_EQ(PlayThrough(s), 0.0f);

  DS_SlideShow_Light next;
  AddTrack(next, u"b.wav", Track(0.2f));
  s.sound->OnSceneLoaded(next);
  EXPECT_NEAR(NextLevel(s, next), 0.2f, 1e-4f);
}

TEST(SceneSound, NoOutputMeansTheDeviceResetThrows) {
  MixedSceneSound sound([] { return SoundSettings{}; }, nullptr, MixerMediaGraphs(nullptr, nullptr), nullptr);
  EXPECT_THROW(sound.OnDeviceReset(0), std::runtime_error);
}

TEST(SceneSound, TrackFilesArePrivateNewAndGoWithTheSound) {
  std::filesystem::path kept;
  std::vector<std::filesystem::path> written;
  {
    PumpedSound s;
    s.sound->CreateMediaGraph(0);
    s.sound->OnDeviceReset(0);
    DS_SlideShow_Light show;
    // Hostile and colliding stored names: none of them reaches the path.
    AddTrack(show, u"C:\\Music\\..\\..\\..\\evil", Track(0.1f));
    AddTrack(show, u"../../../../tmp/evil.wav", Track(0.2f));
    AddTrack(show, u"song.WAV", Track(0.3f));
    AddTrack(show, u"C:\\Other\\song.WAV", Track(0.4f));
    // A stored path that names a file on disk is played from there.
    kept = std::filesystem::temp_directory_path() / "lumi-scene-sound-kept.wav";
    {
      const std::vector<uint8_t> bytes = Track(0.5f);
      std::ofstream(kept, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()),
                                                  static_cast<std::streamsize>(bytes.size()));
    }
    AddTrack(show, kept.u16string(), Track(0.9f));
    s.sound->OnSceneLoaded(show);

    const std::filesystem::path directory = PrivateTempDirectory();
    ASSERT_FALSE(directory.empty());
    for (size_t i = 0; i < 4; ++i) {
      const std::filesystem::path path(show.tracks[i]->file.name);
      EXPECT_EQ(path.parent_path(), directory);
      EXPECT_TRUE(std::filesystem::is_regular_file(path));
      written.push_back(path);
    }
    EXPECT_EQ(written[0].extension(), "");
    EXPECT_EQ(written[2].extension(), ".wav");
    EXPECT_NE(written[2], written[3]);
    EXPECT_EQ(show.tracks[4]->file.name, kept.u16string());
    EXPECT_TRUE(show.tracks[4]->file.bytes.empty());
    EXPECT_FALSE(std::filesystem::exists("/tmp/evil.wav"));
    const float levels[] = {0.1f, 0.2f, 0.3f, 0.4f, 0.5f};
    for (float level : levels) EXPECT_NEAR(NextLevel(s, show), level, 1e-4f);
  }
  for (const auto& path : written) EXPECT_FALSE(std::filesystem::exists(path)) << path;
  EXPECT_TRUE(std::filesystem::exists(kept));
  std::filesystem::remove(kept);
}

TEST(SceneSound, WithoutMediaGraphsMusicAndMp3ObjectsStaySilent) {
  PumpedSound s(false);
  s.sound->CreateMediaGraph(0);
  s.sound->OnDeviceReset(0);
  DS_SlideShow_Light show;
  AddTrack(show, u"song.wav", Track(0.5f));
  s.sound->OnSceneLoaded(show);
  EXPECT_EQ(s.sound->graph(), nullptr);
  EXPECT_EQ(s.sound->GetMediaEvent(), -1);
  s.sound->OnMediaEvent(show, kMediaEventComplete);
  DS_MP3_Constructor mp3;
  mp3.audio_file = {u"C:\\Music\\quiet.mp3", Track(0.5f)};
  auto object = mp3.CreateRenderObject();
  object->FrameMove(0);
  object->FrameMove(0.1f);
  for (float sample : s.Pump(400)) EXPECT_EQ(sample, 0.0f);
  EXPECT_TRUE(s.reports.empty());
  const std::string notice = "MP3 sound C:\\Music\\quiet.mp3: the system has no media graph; it stays silent";
  EXPECT_NE(std::find(Notices().begin(), Notices().end(), notice), Notices().end());
}

TEST(SceneSound, StoredPathsThatAreNotRegularFilesAreRefusedAtOnceAndSkipped) {
  PumpedSound s;
  s.sound->CreateMediaGraph(0);
  s.sound->OnDeviceReset(0);
  const std::filesystem::path directory = std::filesystem::temp_directory_path();
  DS_SlideShow_Light show;
  AddTrack(show, directory.u16string(), {});
  AddTrack(show, u"C:\\Music\\missing.mp3", {});
  s.sound->OnSceneLoaded(show);
  EXPECT_FALSE(s.sound->graph()->Running());
  const std::string notice = "background track track: " + directory.string() + ": not a regular file";
  EXPECT_NE(std::find(Notices().begin(), Notices().end(), notice), Notices().end());

  // Tracks that cannot be played give way to the next, so the music goes on.
  DS_SlideShow_Light mixed;
  AddTrack(mixed, directory.u16string(), {});
  AddTrack(mixed, u"a.wav", Track(0.2f));
  AddTrack(mixed, u"C:\\Music\\missing.mp3", {});
  AddTrack(mixed, u"b.wav", Track(0.4f));
  s.sound->OnSceneLoaded(mixed);
  EXPECT_NEAR(NextLevel(s, mixed), 0.2f, 1e-4f);
  EXPECT_NEAR(NextLevel(s, mixed), 0.4f, 1e-4f);
  EXPECT_NEAR(NextLevel(s, mixed), 0.2f, 1e-4f);
}

}  // namespace
}  // namespace lumi
