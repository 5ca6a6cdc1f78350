// lumisave-tool as a user runs it: exit codes, messages, and files made.
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <stb_image.h>

#include <cstdio>
#include <filesystem>
#include <string>

#include "archive/file_io.h"

namespace lumi {
namespace {

using testing::HasSubstr;

struct Result {
  int code;
  std::string err;
};

// std::system answers with the shell's wait status on POSIX systems and with
// the program's exit code on Windows.
int ExitCode(int status) {
#ifdef _WIN32
  return status;
#else
  return WEXITSTATUS(status);
#endif
}

class Tool : public testing::Test {
 protected:
  void SetUp() override {
    dir_ = std::filesystem::temp_directory_path() /
           ("lumi-tool-" + std::string(testing::UnitTest::GetInstance()->current_test_info()->name()));
    std::filesystem::remove_all(dir_);
    std::filesystem::create_directories(dir_);
  }
  void TearDown() override { std::filesystem::remove_all(dir_); }

  Result Run(const std::string& arguments) {
    const std::string err = (dir_ / "stderr.txt").string();
    // The Windows shell reads a leading '/' as a switch, not as the root.
    const std::string tool = std::filesystem::path(LUMI_TOOL).make_preferred().string();
    const std::string command = tool + " " + arguments + " > " + (dir_ / "stdout.txt").string() +
                                " 2> " + err;
    const int status = std::system(command.c_str());
    const std::vector<uint8_t> text = ReadFileBytes(err);
    return {ExitCode(status), std::string(text.begin(), text.end())};
  }

  std::filesystem::path dir_;
};

TEST_F(Tool, InspectAndPackRoundTripTheSampleThroughFiles) {
  const auto json = dir_ / "scene.json";
  const auto copy = dir_ / "copy.lumi";
  ASSERT_EQ(Run(std::string("inspect ") + LUMI_SAMPLE_DOCUMENT + " --extract " + (dir_ / "blobs").string() + " -o " +
                json.string()).code,
            0);
  ASSERT_EQ(Run("pack " + json.string() + " -o " + copy.string()).code, 0);
  EXPECT_EQ(ReadFileBytes(copy), ReadFileBytes(LUMI_SAMPLE_DOCUMENT));
}

TEST_F(Tool, ExitCodesSeparateBadInputFromUsage) {
  EXPECT_EQ(Run("").code, 2);
  EXPECT_EQ(Run("frobnicate").code, 2);
  EXPECT_EQ(Run("inspect").code, 2);
  EXPECT_EQ(Run("inspect a b").code, 2);
  EXPECT_EQ(Run("pack scene.json").code, 2);  // no -o
  EXPECT_EQ(Run("inspect --colour x").code, 2);
  EXPECT_EQ(Run("inspect --help").code, 0);

  const Result missing = Run("inspect " + (dir_ / "absent.lumi").string());
  EXPECT_EQ(missing.code, 1);
  EXPECT_THAT(missing.err, HasSubstr("absent.lumi: cannot open the file"));

  const std::vector<uint8_t> sample = ReadFileBytes(LUMI_SAMPLE_DOCUMENT);
  const auto cut = dir_ / "cut.lumi";
  WriteFileBytes(cut, std::span(sample).subspan(0, 120));
  const Result truncated = Run("inspect " + cut.string());
  EXPECT_EQ(truncated.code, 1);
  EXPECT_THAT(truncated.err, HasSubstr("at offset"));

  const auto bad_json = dir_ / "bad.json";
  const std::string text = R"({"signature": "x", "show": {"slides": 3}})";
  WriteFileBytes(bad_json, AsBytes(text));
  const Result bad = Run("pack " + bad_json.string() + " -o " + (dir_ / "out.lumi").string());
  EXPECT_EQ(bad.code, 1);
  EXPECT_THAT(bad.err, HasSubstr("$.show.slides: expected a list"));
  EXPECT_FALSE(std::filesystem::exists(dir_ / "out.lumi"));
}

TEST_F(Tool, RenderPlacesThePictureWithBlackBarsAndSurvivesDeviceLoss) {
  if (!LUMI_TOOL_RENDERS) GTEST_SKIP() << "lumisave-tool is built without graphics";
  const auto png = dir_ / "frame.png";
  const Result rendered = Run(std::string("render ") + LUMI_SAMPLE_DOCUMENT + " -o " + png.string() +
                              " --size 160x160 --frames 4 --lose-device-every 2");
  ASSERT_EQ(rendered.code, 0) << rendered.err;
  int w = 0, h = 0, channels = 0;
  unsigned char* pixels = stbi_load(png.string().c_str(), &w, &h, &channels, 4);
  ASSERT_NE(pixels, nullptr);
  EXPECT_EQ(w, 160);
  EXPECT_EQ(h, 160);
  auto at = [&](int x, int y) { return pixels + 4 * (y * w + x); };
  // A 16:10 picture (1920 x 1200) fitted into a square leaves bars of 30 rows above and below.
  EXPECT_EQ(at(80, 5)[0] + at(80, 5)[1] + at(80, 5)[2], 0);
  EXPECT_EQ(at(80, 154)[0] + at(80, 154)[1] + at(80, 154)[2], 0);
  EXPECT_GT(at(80, 80)[2], 60);  // the lake at dusk is blue there
  stbi_image_free(pixels);

  EXPECT_EQ(Run(std::string("render ") + LUMI_SAMPLE_DOCUMENT + " -o x.png --position sideways").code, 2);
  EXPECT_EQ(Run(std::string("render ") + LUMI_SAMPLE_DOCUMENT + " -o x.png --slide 4").code, 1);  // slides 0 to 3
}

}  // namespace
}  // namespace lumi
