// MP3 tracks through libmpg123 on files made by lame: lengths, gapless
// decoding, and refusing what is not MPEG audio.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

#include "platform/linux/sound/mpeg_decoder.h"
#include "sound/mixer_media_graph.h"
#include "sound/sound_device.h"
#include "sound/sound_objects.h"
#include "tests/sound_linux/made_sounds.h"

namespace lumi {
namespace {

class MpegDecoding : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    directory_ = std::filesystem::temp_directory_path() / ("lumi-mpeg-test-" + std::to_string(::getpid()));
    std::filesystem::create_directories(directory_);
    made_ = test::HaveSoxAndLame() && test::MakeTone(directory_, "three", 440, 3.0) &&
            test::MakeTone(directory_, "almost four", 440, 3.9);
  }
  static void TearDownTestSuite() { std::filesystem::remove_all(directory_); }
  void SetUp() override {
    if (!made_) GTEST_SKIP() << "sox and lame are needed (scripts/install-deps.sh)";
  }

  static inline std::filesystem::path directory_;
  static inline bool made_ = false;
};

TEST_F(MpegDecoding, DecodesGaplessToTheSourcesLength) {
  std::string error;
  auto decoder = OpenMpegTrack(directory_ / "three.mp3", error);
  ASSERT_NE(decoder, nullptr) << error;
  EXPECT_EQ(decoder->rate(), 44100u);
  EXPECT_EQ(decoder->channels(), 2);
  EXPECT_NEAR(decoder->DurationSeconds(), 3.0, 0.001);
  std::vector<float> buffer(4096 * 2);
  size_t frames = 0, got = 0;
  float peak = 0;
  while ((got = decoder->Read(buffer.data(), 4096)) != 0) {
    frames += got;
    for (size_t i = 0; i < got * 2; ++i) peak = std::max(peak, std::abs(buffer[i]));
  }
  EXPECT_NEAR(static_cast<double>(frames), 3.0 * 44100, 2.0);
  EXPECT_NEAR(peak, 0.5f, 0.05f);
  // Rewound, it plays again from the start.
  ASSERT_TRUE(decoder->Rewind());
  EXPECT_EQ(decoder->Read(buffer.data(), 4096), 4096u);
}

TEST_F(MpegDecoding, RefusesWhatIsNotMpegAudio) {
  std::string error;
  // mpg123 would "open" a WAVE file with no length.
  EXPECT_EQ(OpenMpegTrack(directory_ / "three.wav", error), nullptr);
  EXPECT_NE(error.find("three.wav"), std::string::npos);
  const std::filesystem::path text = directory_ / "notes.mp3";
  std::ofstream(text) << "not a sound at all, whatever the name says\n";
  EXPECT_EQ(OpenMpegTrack(text, error), nullptr);
  EXPECT_NE(error.find("notes.mp3"), std::string::npos);
  EXPECT_EQ(OpenMpegTrack(directory_ / "missing.mp3", error), nullptr);
  // A FIFO would block the loop in open: it is refused before.
  const std::filesystem::path fifo = directory_ / "fifo.mp3";
  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
  EXPECT_EQ(OpenTrack(fifo, OpenMpegTrack, error), nullptr);
  EXPECT_EQ(error, fifo.string() + ": not a regular file");

  // The content decides: a WAVE named .mp3 goes to our reader.
  std::filesystem::copy_file(directory_ / "three.wav", directory_ / "wave.mp3");
  auto wave = OpenTrack(directory_ / "wave.mp3", OpenMpegTrack, error);
  ASSERT_NE(wave, nullptr) << error;
  EXPECT_DOUBLE_EQ(wave->DurationSeconds(), 3.0);
}

TEST_F(MpegDecoding, Mp3ObjectLengthIsInWholeSeconds) {
  auto mixer = std::make_shared<Mixer>();
  CurrentSoundDevice() = {mixer, MixerMediaGraphs(OpenMpegTrack, nullptr)};
  DS_MP3_Constructor mp3;
  mp3.audio_file.name = u"C:\\Music\\almost four.mp3";
  std::ifstream in(directory_ / "almost four.mp3", std::ios::binary);
  mp3.audio_file.bytes.assign(std::istreambuf_iterator<char>(in), {});
  auto object = mp3.CreateRenderObject();
  const auto& player = static_cast<const DS_Sound_Ctrl&>(static_cast<DS_Sound&>(*object).settings());
  EXPECT_EQ(player.length_hundredths, 300);
  object.reset();
  CurrentSoundDevice() = {};
}

}  // namespace
}  // namespace lumi
