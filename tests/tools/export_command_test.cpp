// lumisave-tool export as a user runs it, its videos read back with FFmpeg's
// own programs: streams, frames, the sound's pitch, the pictures against
// render's, and the ways an export stops or is refused.
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <stb_image.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <numbers>
#include <sstream>
#include <string>

#include "archive/file_io.h"
#include "tests/support/command_run.h"
#include "tests/support/scratch_directory.h"
#include "tests/support/wave_bytes.h"

namespace lumi {
namespace {

using testing::HasSubstr;
using testing::Not;

constexpr double kTone = 440.0;

// Two seconds of one still picture, with a 440 Hz tone as background music.
constexpr char kToneDocument[] = R"({
  "signature": "KSV v 4.0.0",
  "show": {
    "class": "DS_SlideShow_Light", "version": 1,
    "slides": [{
      "class": "DS_SlideContainer", "version": 6, "stay": 0, "fade_in": 0.0, "fade_out": 0.0, "showing": 2.0,
      "setting": 0, "name": "Lake",
      "backdrop": {
        "class": "DS_2D_Light", "version": 3, "picture": {"path": "C:\\Pictures\\lake.png", "number": 1},
        "camera": {"class": "DSM_Camera", "version": 3, "mode": 0, "path_width": 512, "path_height": 320, "path": [],
                   "zoom": 100, "speed": 50, "image": {"path": "common_res.dll", "number": 6}}
      },
      "objects": [], "sounds": []
    }],
    "tracks": [{"class": "DS_AudioFile", "version": 1, "title": "Tone", "file": {"name": "tone.wav", "file": "tone.wav"}}]
  },
  "resources": {
    "class": "DS_DocResManager", "version": 4,
    "pictures": [{"path": "C:\\Pictures\\lake.png", "number": 1,
                  "frames": [{"id": 0, "module": "", "name": "C:\\Pictures\\lake.png", "file": ")" LUMI_SOURCE_DIR
                             R"(/samples/records/lake.png"}]}],
    "delays": [], "module_files": [], "masks": [], "frame_items": []
  }
})";

class Export : public testing::Test {
 protected:
  void SetUp() override {
    if (!LUMI_TOOL_RENDERS) GTEST_SKIP() << "this build does not test lumisave-tool's drawing";
    setenv("XDG_CONFIG_HOME", dir_.path().c_str(), 1);
    // Three seconds of the tone at half scale, 16-bit mono at 48 kHz.
    test::ByteBuilder samples;
    for (int i = 0; i < 3 * 48000; ++i) {
      samples.U16(static_cast<uint16_t>(static_cast<int16_t>(16000 * std::sin(2 * std::numbers::pi * kTone * i / 48000))));
    }
    dir_.Write("tone.wav", test::WaveBytes({.rate = 48000, .bits = 16}, samples.bytes()));
    const std::string json(kToneDocument);
    dir_.Write("tone.json", std::vector<uint8_t>(json.begin(), json.end()));
    ASSERT_EQ(Tool("pack " + (dir_ / "tone.json").string() + " -o " + document_).code, 0);
  }

  test::CommandOutcome Tool(const std::string& arguments) {
    return test::RunCommand(std::string(LUMI_TOOL) + " " + arguments, dir_.path());
  }
  test::CommandOutcome Run(const std::string& output, const std::string& options) {
    return Tool("export " + document_ + " -o " + (dir_ / output).string() + " --position fit " + options);
  }

  // ffprobe's entries for one stream ("v:0", "a:0") or for the file ("").
  std::map<std::string, std::string> Probe(const std::string& file, const std::string& stream) {
    const std::string what = stream.empty() ? "-show_entries format=duration"
                                            : "-count_frames -select_streams " + stream +
                                                  " -show_entries stream=codec_name,width,height,pix_fmt,"
                                                  "nb_read_frames,sample_rate";
    const auto probed = test::RunCommand(std::string(LUMI_FFPROBE) + " -v error " + what + " -of default=nw=1 " +
                                             (dir_ / file).string(),
                                         dir_.path());
    std::map<std::string, std::string> entries;
    std::istringstream lines(probed.out);
    for (std::string line; std::getline(lines, line);) {
      if (const size_t equals = line.find('='); equals != std::string::npos) {
        entries[line.substr(0, equals)] = line.substr(equals + 1);
      }
    }
    return entries;
  }
  double Duration(const std::string& file) { return std::stod(Probe(file, "").at("duration")); }

  // The mean difference of red, green and blue between two PNGs; -1 when
  // they do not load or differ in size.
  static double MeanDifference(const std::filesystem::path& a, const std::filesystem::path& b) {
    int wa = 0, ha = 0, wb = 0, hb = 0, channels = 0;
    unsigned char* pa = stbi_load(a.string().c_str(), &wa, &ha, &channels, 4);
    unsigned char* pb = stbi_load(b.string().c_str(), &wb, &hb, &channels, 4);
    double result = -1;
    if (pa != nullptr && pb != nullptr && wa == wb && ha == hb) {
      double sum = 0;
      for (int i = 0; i < wa * ha * 4; ++i) sum += i % 4 == 3 ? 0 : std::abs(pa[i] - pb[i]);
      result = sum / (3.0 * wa * ha);
    }
    stbi_image_free(pa);
    stbi_image_free(pb);
    return result;
  }

  // The frequency, in 5 Hz steps from 100 to 2000 Hz, strongest in the
  // video's sound decoded to mono at 48 kHz.
  double DominantFrequency(const std::string& file) {
    const auto raw = dir_ / "sound.raw";
    test::RunCommand(std::string(LUMI_FFMPEG) + " -v error -y -i " + (dir_ / file).string() +
                         " -vn -ac 1 -ar 48000 -f s16le " + raw.string(),
                     dir_.path());
    const std::vector<uint8_t> bytes = ReadFileBytes(raw);
    std::vector<double> samples(bytes.size() / 2);
    for (size_t i = 0; i < samples.size(); ++i) samples[i] = static_cast<int16_t>(bytes[2 * i] | bytes[2 * i + 1] << 8);
    double best = 0, best_power = 0;
    for (double f = 100; f <= 2000; f += 5) {
      // Goertzel's single-frequency transform.
      const double k = 2 * std::cos(2 * std::numbers::pi * f / 48000);
      double s1 = 0, s2 = 0;
      for (double x : samples) {
        const double s0 = x + k * s1 - s2;
        s2 = s1;
        s1 = s0;
      }
      const double power = s1 * s1 + s2 * s2 - k * s1 * s2;
      if (power > best_power) best_power = power, best = f;
    }
    return best;
  }

  test::ScratchDirectory dir_;
  const std::string document_ = (dir_ / "tone.lumi").string();
};

TEST_F(Export, WritesTheShowAndItsToneAsMp4AndWebmThatMatchRender) {
  // One pass of the single slide: two seconds; the odd size is made even, once.
  const auto mp4 = Run("tone.mp4", "--fps 10 --size 161x101");
  ASSERT_EQ(mp4.code, 0) << mp4.err;
  const std::string rounded = "161x101 is rounded to 160x100";
  ASSERT_THAT(mp4.err, HasSubstr(rounded));
  EXPECT_EQ(mp4.err.find(rounded), mp4.err.rfind(rounded));
  EXPECT_THAT(mp4.err, Not(HasSubstr("frame 1 of"))) << "no progress line off a terminal";
  auto video = Probe("tone.mp4", "v:0");
  EXPECT_EQ(video["codec_name"], "h264");
  EXPECT_EQ(video["pix_fmt"], "yuv420p");
  EXPECT_EQ(video["width"], "160");
  EXPECT_EQ(video["height"], "100");
  EXPECT_EQ(video["nb_read_frames"], "20");
  auto audio = Probe("tone.mp4", "a:0");
  EXPECT_EQ(audio["codec_name"], "aac");
  EXPECT_EQ(audio["sample_rate"], "48000");
  EXPECT_NEAR(Duration("tone.mp4"), 2.0, 0.05);
  EXPECT_EQ(DominantFrequency("tone.mp4"), kTone);
  // MP4's index comes before the pictures, for players that stream it.
  const std::vector<uint8_t> head = ReadFileBytes(dir_ / "tone.mp4");
  const std::string start(head.begin(), head.begin() + std::min<size_t>(head.size(), 64));
  EXPECT_THAT(start, HasSubstr("moov"));

  // Frame 12 is the show at 1.2 s, as render draws it.
  ASSERT_EQ(test::RunCommand(std::string(LUMI_FFMPEG) + " -v error -y -i " + (dir_ / "tone.mp4").string() +
                                 " -vf 'select=eq(n\\,12)' -vframes 1 " + (dir_ / "decoded.png").string(),
                             dir_.path())
                .code,
            0);
  ASSERT_EQ(Tool("render " + document_ + " --times 1.2 --step 0.1 --size 160x100 --position fit -o " +
                 (dir_ / "rendered.png").string())
                .code,
            0);
  const double difference = MeanDifference(dir_ / "decoded.png", dir_ / "rendered.png");
  EXPECT_GE(difference, 0);
  EXPECT_LT(difference, 3.0);

  const auto webm = Run("tone.webm", "--fps 10 --size 160x100");
  ASSERT_EQ(webm.code, 0) << webm.err;
  EXPECT_EQ(Probe("tone.webm", "v:0")["codec_name"], "vp9");
  EXPECT_EQ(Probe("tone.webm", "v:0")["nb_read_frames"], "20");
  EXPECT_EQ(Probe("tone.webm", "a:0")["codec_name"], "opus");
  EXPECT_EQ(DominantFrequency("tone.webm"), kTone);

  // Without sound there is no sound track; --slides counts whole slides.
  ASSERT_EQ(Run("quiet.mkv", "--fps 2 --size 16x16 --no-sound --seconds 1").code, 0);
  EXPECT_TRUE(Probe("quiet.mkv", "a:0").empty());
  const std::string demo = std::string("export ") + LUMI_SAMPLE_DOCUMENT + " --fps 2 --size 16x16 --no-sound -o ";
  ASSERT_EQ(Tool(demo + (dir_ / "two.mp4").string() + " --slides 2").code, 0);
  // The first slide starts faded in: 10 + 1 s, then 1.5 + 12 + 1 s.
  EXPECT_EQ(Probe("two.mp4", "v:0")["nb_read_frames"], "51");
}

TEST_F(Export, RefusesBeforeWorkAndLeavesNoPartialFile) {
  for (const char* bad : {"--fps 0", "--fps 241", "--quality 52", "--seconds 0", "--seconds 1 --slides",
                          "--slides 0", "--size 0x10", "--sideways"}) {
    const auto refused = Run("bad.mp4", bad);
    EXPECT_EQ(refused.code, 2) << bad << refused.err;
  }
  const auto avi = Run("tone.avi", "");
  EXPECT_EQ(avi.code, 2);
  EXPECT_THAT(avi.err, HasSubstr("must end in .mp4, .webm or .mkv"));
  EXPECT_EQ(Tool("export /nonexistent.lumi -o " + (dir_ / "x.mp4").string()).code, 1);
  const auto no_folder = Run("tone.wav/x.mp4", "--size 16x16");
  EXPECT_EQ(no_folder.code, 1);
  EXPECT_THAT(no_folder.err, HasSubstr("cannot write"));
  // What is not a file is never written over, nor removed.
  std::filesystem::create_directory(dir_ / "folder.mp4");
  EXPECT_EQ(Run("folder.mp4", "--size 16x16").code, 1);
  EXPECT_TRUE(std::filesystem::is_directory(dir_ / "folder.mp4"));

  // A file that outgrows what the disk allows fails and is removed.
  const auto full = test::RunCommand("trap '' XFSZ; ulimit -f 16; " + std::string(LUMI_TOOL) + " export " + document_ +
                                         " -o " + (dir_ / "full.mp4").string() +
                                         " --position fit --size 640x400 --fps 30 --quality 0",
                                     dir_.path());
  EXPECT_EQ(full.code, 1) << full.err;
  EXPECT_THAT(full.err, HasSubstr("full.mp4"));
  EXPECT_FALSE(std::filesystem::exists(dir_ / "full.mp4"));
}

TEST_F(Export, StopsAtAWholeSecondOnCtrlCAndShowsProgressOnATerminal) {
  const std::string out = (dir_ / "long.mp4").string();
  // Job control keeps Ctrl-C from being ignored by the background job; the
  // signal comes once the file is begun and a second has been drawn.
  const auto stopped = test::RunCommand(
      "bash -c 'set -m; " + std::string(LUMI_TOOL) + " export " + document_ + " -o " + out +
          " --position fit --size 32x20 --fps 10 --seconds 600 & pid=$!; "
          "for i in $(seq 300); do [ -s " + out + " ] && break; sleep 0.1; done; sleep 2; kill -INT $pid; wait $pid'",
      dir_.path());
  EXPECT_EQ(stopped.code, 130) << stopped.err;
  EXPECT_THAT(stopped.err, HasSubstr("stopped by Ctrl-C"));
  const std::string frames = Probe("long.mp4", "v:0")["nb_read_frames"];
  ASSERT_FALSE(frames.empty()) << "the file plays";
  EXPECT_GE(std::stoi(frames), 10);
  EXPECT_LT(std::stoi(frames), 6000);
  EXPECT_EQ(std::stoi(frames) % 10, 0) << frames;

  // script gives the export a terminal (and needs an input, which CI may not
  // have); the progress line ends at the last frame.
  const auto shown = test::RunCommand("script -qec \"" + std::string(LUMI_TOOL) + " export " + document_ + " -o " +
                                          (dir_ / "shown.mp4").string() +
                                          " --position fit --size 16x16 --fps 10\" /dev/null < /dev/null",
                                      dir_.path());
  EXPECT_EQ(shown.code, 0);
  EXPECT_THAT(shown.out, HasSubstr("frame 20 of 20"));
}

}  // namespace
}  // namespace lumi
