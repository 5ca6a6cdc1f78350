// lumisave-tool as a user runs it: exit codes, messages, and files made.
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <stb_image.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>

#include <nlohmann/json.hpp>

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
#ifndef _WIN32
    // The user's own settings never reach the tool under test.
    setenv("XDG_CONFIG_HOME", dir_.c_str(), 1);
#endif
  }
  void TearDown() override { std::filesystem::remove_all(dir_); }

  // Runs the tool with the given working directory (the test's own when empty).
  Result Run(const std::string& arguments, const std::filesystem::path& working_dir = {}) {
    const std::string err = (dir_ / "stderr.txt").string();
    // The Windows shell reads a leading '/' as a switch, not as the root.
    const std::string tool = std::filesystem::path(LUMI_TOOL).make_preferred().string();
    const std::string cd = working_dir.empty() ? "" : "cd " + working_dir.string() + " && ";
    const std::string command = cd + tool + " " + arguments + " > " + (dir_ / "stdout.txt").string() +
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

// Captions are rendered where the objects find them, and their text and
// font fields filled; an entry that cannot be rendered is named by path.
TEST_F(Tool, PackRendersCaptionPicturesAndRefusesThoseItCannot) {
  const auto json = dir_ / "scene.json";
  ASSERT_EQ(Run(std::string("inspect ") + LUMI_CAPTION_DOCUMENT + " -o " + json.string()).code, 0);
  std::ifstream file(json);
  const nlohmann::json packed = nlohmann::json::parse(file);
  const nlohmann::json& objects = packed["show"]["slides"][0]["objects"];
  EXPECT_EQ(objects[0]["style"]["caption"], "Evening at the lake");
  EXPECT_EQ(objects[0]["style"]["face_name"], "DejaVu Serif");
  const nlohmann::json& link = objects[3]["base"];
  EXPECT_EQ(link["text"], "lumisave.example/captions");
  EXPECT_EQ(link["font"]["face_name"], "DejaVu Sans");
  EXPECT_EQ(link["font"]["value_1"], -24);
  EXPECT_EQ(packed["resources"]["masks"].size(), 2u) << "one picture for each sprite caption";
  EXPECT_EQ(packed["resources"]["pictures"].size(), 3u) << "the backdrop and the two particle captions";

  nlohmann::ordered_json scene;
  {
    std::ifstream source(LUMI_CAPTION_SCENE);
    scene = nlohmann::ordered_json::parse(source);
  }
  const auto pack_with = [&](const char* field, const char* value) {
    nlohmann::ordered_json broken = scene;
    broken["show"]["slides"][0]["objects"][2]["caption"][field] = value;
    std::ofstream(json) << broken.dump();
    return Run("pack " + json.string() + " -o " + (dir_ / "out.lumi").string());
  };
  const Result empty = pack_with("text", "");
  EXPECT_EQ(empty.code, 1);
  EXPECT_THAT(empty.err, HasSubstr("$.show.slides[0].objects[2].caption.text"));
  const Result font = pack_with("face", "NoSuchFace.ttf");
  EXPECT_EQ(font.code, 1);
  EXPECT_THAT(font.err, HasSubstr("$.show.slides[0].objects[2].caption.face"));
  EXPECT_THAT(font.err, HasSubstr("NoSuchFace.ttf"));
}

// inspect --extract names blob files so that pack finds them wherever the
// JSON is saved: printed JSON names them as DIR was given, JSON written with
// -o names them relative to its own folder.
TEST_F(Tool, ExtractedBlobsPackWhereverTheJsonIsSaved) {
#ifdef _WIN32
  // Each case runs the tool from a chosen folder through the shell, which
  // Wine's cmd does unreliably; the naming rules are the same on both systems.
  GTEST_SKIP() << "runs the tool from chosen working folders through a POSIX shell";
#endif
  const std::string sample = std::filesystem::absolute(LUMI_SAMPLE_DOCUMENT).string();
  const auto work = dir_ / "work";
  const auto elsewhere = dir_ / "elsewhere";
  std::filesystem::create_directories(work);
  std::filesystem::create_directories(elsewhere);
  struct Case {
    std::string name;
    bool absolute_dir;
    bool to_stdout;
    std::filesystem::path json;  // relative to `work`
  };
  const std::vector<Case> cases = {
      {"absolute, printed, saved inside", true, true, "blobs/scene.json"},
      {"absolute, printed, saved elsewhere", true, true, "../elsewhere/scene.json"},
      {"relative, printed, saved inside", false, true, "blobs/scene.json"},
      {"relative, printed, saved elsewhere", false, true, "../elsewhere/scene.json"},
      {"absolute, -o inside", true, false, "blobs/scene.json"},
      {"absolute, -o elsewhere", true, false, "../elsewhere/scene.json"},
      {"relative, -o inside", false, false, "blobs/scene.json"},
      {"relative, -o elsewhere", false, false, "../elsewhere/scene.json"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::filesystem::remove_all(work / "blobs");
    const std::string dir = c.absolute_dir ? (work / "blobs").string() : std::string("blobs");
    const std::filesystem::path json = (work / c.json).lexically_normal();
    std::string arguments = "inspect " + sample + " --extract " + dir;
    if (!c.to_stdout) arguments += " -o " + c.json.string();
    const Result inspected = Run(arguments, work);
    ASSERT_EQ(inspected.code, 0) << inspected.err;
    if (c.to_stdout) WriteFileBytes(json, ReadFileBytes(dir_ / "stdout.txt"));
    if (c.absolute_dir && c.to_stdout) {
      const std::vector<uint8_t> text = ReadFileBytes(json);
      EXPECT_THAT(std::string(text.begin(), text.end()), HasSubstr((work / "blobs").generic_string()));
    }

    // Packed from the folder inspect ran in, and, where the names do not
    // depend on it, from another one.
    const auto copy = dir_ / "copy.lumi";
    const Result packed = Run("pack " + json.string() + " -o " + copy.string(), work);
    ASSERT_EQ(packed.code, 0) << packed.err;
    EXPECT_EQ(ReadFileBytes(copy), ReadFileBytes(sample));
    if (c.absolute_dir || !c.to_stdout) {
      const Result moved = Run("pack " + json.string() + " -o " + copy.string(), elsewhere);
      ASSERT_EQ(moved.code, 0) << moved.err;
      EXPECT_EQ(ReadFileBytes(copy), ReadFileBytes(sample));
    }
  }
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
  if (!LUMI_TOOL_RENDERS) GTEST_SKIP() << "this build does not test lumisave-tool's drawing";
  const auto png = dir_ / "frame.png";
  const Result rendered = Run(std::string("render ") + LUMI_SAMPLE_DOCUMENT + " -o " + png.string() +
                              " --size 160x160 --frames 4 --lose-device-every 2 --position fit");
  ASSERT_EQ(rendered.code, 0) << rendered.err;
  EXPECT_THAT(rendered.err, testing::Not(HasSubstr("picture position")));  // asked for, so not said
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
  EXPECT_EQ(Run(std::string("bench ") + LUMI_SAMPLE_DOCUMENT + " --position sideways").code, 2);
  EXPECT_EQ(Run(std::string("render ") + LUMI_SAMPLE_DOCUMENT + " -o x.png --slide 5").code, 1);  // slides 0 to 4
}

#ifndef _WIN32
// Without --position, render takes the position the saver would read from
// the settings file, and says which.
TEST_F(Tool, RenderTakesTheStoredPositionAndSaysSo) {
  if (!LUMI_TOOL_RENDERS) GTEST_SKIP() << "lumisave-tool is built without graphics";
  const auto png = dir_ / "frame.png";
  // Whether the middle of the frame's third row is black: Fit's bar.
  const auto top_row_dark = [&] {
    int w = 0, h = 0, channels = 0;
    unsigned char* pixels = stbi_load(png.string().c_str(), &w, &h, &channels, 4);
    if (pixels == nullptr) return false;
    const unsigned char* pixel = pixels + 4 * (2 * w + w / 2);
    const bool dark = pixel[0] + pixel[1] + pixel[2] == 0;
    stbi_image_free(pixels);
    return dark;
  };
  const std::string render = std::string("render ") + LUMI_SAMPLE_DOCUMENT + " -o " + png.string() + " --size 64x64";
  const std::string file = (dir_ / "lumisave" / "settings").string();

  const Result fresh = Run(render);
  ASSERT_EQ(fresh.code, 0) << fresh.err;
  EXPECT_THAT(fresh.err, HasSubstr("picture position fill, the default: nothing stored in " + file));
  EXPECT_FALSE(top_row_dark());  // Fill covers the square

  ASSERT_EQ(Run("settings set PicPos fit").code, 0);
  const Result stored = Run(render);
  ASSERT_EQ(stored.code, 0) << stored.err;
  EXPECT_THAT(stored.err, HasSubstr("picture position fit, as stored in " + file));
  EXPECT_TRUE(top_row_dark());  // bars above and below the 16:10 picture
}
#endif

// The mean of the red, green and blue bytes of a PNG; -1 when it does not load.
double MeanBrightness(const std::filesystem::path& png, int* width = nullptr, int* height = nullptr) {
  int w = 0, h = 0, channels = 0;
  unsigned char* pixels = stbi_load(png.string().c_str(), &w, &h, &channels, 4);
  if (pixels == nullptr) return -1;
  double sum = 0;
  for (int i = 0; i < w * h; ++i) sum += pixels[4 * i] + pixels[4 * i + 1] + pixels[4 * i + 2];
  stbi_image_free(pixels);
  if (width != nullptr) *width = w;
  if (height != nullptr) *height = h;
  return sum / (3.0 * w * h);
}

TEST_F(Tool, SimulateReportsSpritesOnTheScreenSizeGiven) {
  ASSERT_EQ(Run(std::string("simulate ") + LUMI_SPRITE_DOCUMENT + " --times 0,5 --size 1280x720 --detail 3").code, 0);
  const std::vector<uint8_t> out = ReadFileBytes(dir_ / "stdout.txt");
  const auto report = nlohmann::json::parse(out.begin(), out.end());
  ASSERT_EQ(report.size(), 2u);
  bool saw_fish = false;
  for (const auto& object : report[1]["objects"]) {
    if (object["class"] != "DS_FishConstructor") continue;
    saw_fish = true;
    EXPECT_EQ(object["sprite_count"], 8);
    ASSERT_EQ(object["sprites"].size(), 3u);
    for (const auto& sprite : object["sprites"]) {
      // The fish live in the lower part of the 1280 x 720 screen.
      EXPECT_GT(sprite["position"][0].get<double>(), -100);
      EXPECT_LT(sprite["position"][0].get<double>(), 1380);
      EXPECT_GT(sprite["position"][1].get<double>(), 400);
      EXPECT_EQ(sprite["half_size"][0].get<double>() < 0, sprite["velocity"][0].get<double>() < 0);
    }
  }
  EXPECT_TRUE(saw_fish);
  for (const char* bad : {" --detail=-1", " --detail=2.5", " --size=0x10"}) {
    const Result refused = Run(std::string("simulate ") + LUMI_SPRITE_DOCUMENT + " --times 0" + bad);
    EXPECT_NE(refused.code, 0) << bad;
    EXPECT_NE(refused.err.find(std::string(bad).substr(1, 6)), std::string::npos) << refused.err;
  }
}

TEST_F(Tool, SimulateCountsParticlesByRateAndLifetime) {
  ASSERT_EQ(Run(std::string("simulate ") + LUMI_PARTICLE_DOCUMENT + " --times 2 --detail 2").code, 0);
  const std::vector<uint8_t> out = ReadFileBytes(dir_ / "stdout.txt");
  const auto report = nlohmann::json::parse(out.begin(), out.end());
  ASSERT_EQ(report.size(), 1u);
  std::map<std::string, nlohmann::json> systems;
  for (const auto& object : report[0]["objects"]) systems[object["name"].get<std::string>()] = object;
  // 60 a second living 560 / 360 s; 24 a second living 220 / 160 s.
  EXPECT_NEAR(systems["Fountain"]["particle_count"].get<double>(), 93, 2);
  EXPECT_NEAR(systems["Glowing fountain"]["particle_count"].get<double>(), 33, 2);
  const auto& listed = systems["Fountain"]["particles"];
  ASSERT_EQ(listed.size(), 2u);
  for (const auto& particle : listed) {
    EXPECT_LE(particle["age"].get<double>(), particle["lifetime"].get<double>());
    EXPECT_GE(particle["size_factor"].get<double>(), 0);
    EXPECT_LE(particle["alpha"].get<int>(), 255);
  }
  // The oldest comes first.
  EXPECT_GT(listed[0]["age"].get<double>(), listed[1]["age"].get<double>());
}

TEST_F(Tool, RenderAtTimesDrawsWhatSimulateReports) {
  if (!LUMI_TOOL_RENDERS) GTEST_SKIP() << "this build does not test lumisave-tool's drawing";
  // Find a time fully faded to black and one fully shown, as simulate sees them.
  std::string times;
  for (int i = 0; i <= 80; ++i) times += (i ? "," : "") + std::to_string(i * 0.5);
  ASSERT_EQ(Run(std::string("simulate ") + LUMI_SAMPLE_DOCUMENT + " --times " + times).code, 0);
  const std::vector<uint8_t> out = ReadFileBytes(dir_ / "stdout.txt");
  const auto report = nlohmann::json::parse(out.begin(), out.end());
  double black = -1, shown = -1;
  for (const auto& entry : report) {
    if (entry["overlay_alpha"] == 255 && black < 0) black = entry["time"];
    if (entry["overlay_alpha"] == 0 && entry["time"] > 1.0 && shown < 0) shown = entry["time"];
  }
  ASSERT_GE(black, 0) << "the demo should fade through black";
  ASSERT_GE(shown, 0);

  const auto frames = dir_ / "frames";
  const auto sheet = dir_ / "sheet.png";
  const std::string list = std::to_string(shown) + "," + std::to_string(black);
  const Result rendered = Run(std::string("render ") + LUMI_SAMPLE_DOCUMENT + " --times " +
                              (shown < black ? list : std::to_string(black) + "," + std::to_string(shown)) +
                              " --out-dir " + frames.string() + " --contact-sheet " + sheet.string() + " --size 96x60");
  ASSERT_EQ(rendered.code, 0) << rendered.err;
  std::vector<std::string> names;
  for (const auto& file : std::filesystem::directory_iterator(frames)) names.push_back(file.path().filename().string());
  std::sort(names.begin(), names.end());
  ASSERT_EQ(names.size(), 2u);
  const auto frame_at = [&](double time) { return frames / names[time == std::min(black, shown) ? 0 : 1]; };
  EXPECT_LT(MeanBrightness(frame_at(black)), 1.0);
  EXPECT_GT(MeanBrightness(frame_at(shown)), 20.0);
  int w = 0, h = 0;
  EXPECT_GT(MeanBrightness(sheet, &w, &h), 0);
  EXPECT_EQ(w, 2 * 96 + 3 * 4);  // two cells side by side with gaps
  EXPECT_EQ(h, 60 + 2 * 4);

  // Starting at another slide shows another picture.
  const auto first = dir_ / "first.png", second = dir_ / "second.png";
  ASSERT_EQ(Run(std::string("render ") + LUMI_SAMPLE_DOCUMENT + " -o " + first.string() + " --size 64x40").code, 0);
  ASSERT_EQ(Run(std::string("render ") + LUMI_SAMPLE_DOCUMENT + " -o " + second.string() + " --size 64x40 --slide 1").code,
            0);
  EXPECT_NE(ReadFileBytes(first), ReadFileBytes(second));

  for (const char* bad : {" --times 3,1 --out-dir d", " --times -1 --out-dir d", " --times x --out-dir d",
                          " --times 1 --step 0 --out-dir d", " --times 1 --step nan --out-dir d", " --times 1",
                          " --out-dir d -o x.png"}) {
    EXPECT_EQ(Run(std::string("render ") + LUMI_SAMPLE_DOCUMENT + bad).code, 2) << bad;
  }
}

TEST_F(Tool, BenchPlaysBrieflyAndRefusesBadSizesAndDurations) {
  if (!LUMI_TOOL_RENDERS) GTEST_SKIP() << "this build does not test lumisave-tool's drawing";
  const std::string bench = std::string("bench ") + LUMI_SAMPLE_DOCUMENT;
#ifndef _WIN32
  ASSERT_EQ(Run("settings set PicPos stretch").code, 0);
#endif
  const Result played = Run(bench + " --size 64x40 --seconds 0.2");
  EXPECT_EQ(played.code, 0) << played.err;
#ifndef _WIN32
  EXPECT_THAT(played.err, HasSubstr("lumisave-tool bench: picture position stretch, as stored in " +
                                    (dir_ / "lumisave" / "settings").string()));
#endif
  for (const char* bad : {" --size 64", " --size 0x40", " --size 64x99999", " --seconds 0", " --seconds -1",
                          " --seconds soon"}) {
    const Result refused = Run(bench + bad);
    EXPECT_EQ(refused.code, 2) << bad;
    EXPECT_FALSE(refused.err.empty()) << bad;
  }
  EXPECT_EQ(Run("bench /nonexistent/document.lumi --seconds 0.1").code, 1);
}

}  // namespace
}  // namespace lumi
