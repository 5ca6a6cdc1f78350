// The lumisave program as its users start it.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <regex>

namespace lumi {
namespace {

using ::testing::HasSubstr;
using ::testing::IsEmpty;

struct Outcome {
  int exitCode = -1;
  std::string out;
  std::string err;
};

class LumisaveProgram : public ::testing::Test {
 protected:
  void SetUp() override {
    directory_ = std::filesystem::temp_directory_path() /
                 ("lumi_program_" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) + "_" +
                  ::testing::UnitTest::GetInstance()->current_test_info()->name());
    std::filesystem::create_directories(directory_);
  }
  void TearDown() override { std::filesystem::remove_all(directory_); }

  static std::string Slurp(const std::filesystem::path& path) {
    std::ifstream file(path);
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
  }

  Outcome Run(const std::string& arguments, const std::string& environment = "") {
    const std::string command = "env -u XSCREENSAVER_WINDOW " + environment + " " LUMI_BINARY_DIR "/host/lumisave " +
                                arguments + " >" + (directory_ / "out").string() + " 2>" +
                                (directory_ / "err").string() + "; echo $? >" + (directory_ / "code").string();
    EXPECT_EQ(std::system(command.c_str()), 0);
    return {std::stoi(Slurp(directory_ / "code")), Slurp(directory_ / "out"), Slurp(directory_ / "err")};
  }

  std::filesystem::path directory_;
};

constexpr const char* kNoDisplay = "lumisave: no X display to draw on";
// The program's runs below have no X display.
constexpr const char* kWithoutDisplay = "-u DISPLAY";

TEST_F(LumisaveProgram, HelpAndVersion) {
  const Outcome help = Run("--help");
  EXPECT_EQ(help.exitCode, 0);
  EXPECT_THAT(help.out, HasSubstr("-window-id ID"));
  EXPECT_THAT(help.out, HasSubstr("--scene FILE"));
  const Outcome version = Run("/s --version");
  EXPECT_EQ(version.exitCode, 0);
  EXPECT_THAT(version.out, ::testing::StartsWith("lumisave "));
}

// A host takes exit status 0 for a working saver, so a drawing mode that
// cannot draw must fail, in one line that says where to turn instead.
TEST_F(LumisaveProgram, DrawingModesWithoutADisplayPointToTheRenderTool) {
  for (const std::string arguments : {"-root", "-window-id 0x400007", "/s", "/p 1234", "/t"}) {
    const Outcome outcome = Run(arguments, kWithoutDisplay);
    EXPECT_EQ(outcome.exitCode, 1) << arguments;
    EXPECT_THAT(outcome.err, ::testing::StartsWith(kNoDisplay)) << arguments;
    EXPECT_THAT(outcome.err, HasSubstr("'lumisave-tool render'")) << arguments;
    EXPECT_EQ(std::count(outcome.err.begin(), outcome.err.end(), '\n'), 1) << arguments;
  }
  const Outcome handed = Run("", std::string(kWithoutDisplay) + " XSCREENSAVER_WINDOW=0x400007");
  EXPECT_EQ(handed.exitCode, 1);
  EXPECT_THAT(handed.err, ::testing::StartsWith(kNoDisplay));
}

// Without a display to show the dialogs on, the configuration lists every
// value with its type and where it comes from, and the file that holds them.
TEST_F(LumisaveProgram, ConfigurationListsTheSettings) {
  const std::string config = std::string(kWithoutDisplay) + " -u WAYLAND_DISPLAY XDG_CONFIG_HOME=" + directory_.string();
  const Outcome fresh = Run("/c:55", config);
  EXPECT_EQ(fresh.exitCode, 0);
  EXPECT_THAT(fresh.out, HasSubstr("Settings file: " + (directory_ / "lumisave" / "settings").string()));
  EXPECT_THAT(fresh.out, ::testing::ContainsRegex("\"PicPos\" +dword +2 +default"));
  EXPECT_THAT(fresh.out, ::testing::ContainsRegex("\"SoundVolume\" +dword +100 +default"));
  EXPECT_THAT(fresh.out, ::testing::ContainsRegex("Screen 1.Adapter ID +binary +\\(none\\) +default"));

  std::filesystem::create_directories(directory_ / "lumisave");
  std::ofstream(directory_ / "lumisave" / "settings")
      << "[Software\\Quillborne\\Lumivex\\Screensaver]\n\"\\\"PicPos\\\"\"=dword:00000007\n";
  const Outcome stored = Run("", config);
  EXPECT_THAT(stored.out, ::testing::ContainsRegex("\"PicPos\" +dword +2 +stored"));
  const Outcome overridden = Run("--picture-position fit --mute", config);
  EXPECT_THAT(overridden.out, ::testing::ContainsRegex("\"PicPos\" +dword +1 +command line"));
  EXPECT_THAT(overridden.out, ::testing::ContainsRegex("\"MuteSound\" +dword +1 +command line"));
}

// xscreensaver passes no switch for a menu left at its first item, so that
// item must leave the stored value alone; every other item passes switches
// the saver takes, for this run only.
TEST_F(LumisaveProgram, XscreensaverMenusDefaultToTheStoredSettings) {
  const std::string xml = Slurp(LUMI_SOURCE_DIR "/host/xscreensaver/lumisave.xml");
  const std::regex select("<select id=\"([a-z]+)\">([\\s\\S]*?)</select>"), option("<option ([^>]*)/>"),
      arg_set("arg-set=\"([^\"]*)\"");
  int menus = 0;
  for (std::sregex_iterator menu(xml.begin(), xml.end(), select), end; menu != end; ++menu, ++menus) {
    const std::string body = (*menu)[2];
    std::sregex_iterator item(body.begin(), body.end(), option);
    ASSERT_NE(item, end) << (*menu)[1];
    EXPECT_THAT((*item)[1].str(), ::testing::Not(HasSubstr("arg-set"))) << (*menu)[1];
    EXPECT_THAT((*item)[1].str(), ::testing::ContainsRegex("[Aa]s in Lumisave Settings")) << (*menu)[1];
    const std::string config = std::string(kWithoutDisplay) + " -u WAYLAND_DISPLAY XDG_CONFIG_HOME=" + directory_.string();
    for (++item; item != end; ++item) {
      std::smatch args;
      const std::string attributes = (*item)[1];
      ASSERT_TRUE(std::regex_search(attributes, args, arg_set)) << attributes;
      const Outcome listed = Run("-c " + args[1].str(), config);
      EXPECT_EQ(listed.exitCode, 0) << args[1];
      EXPECT_THAT(listed.out, HasSubstr("command line")) << args[1];
      EXPECT_FALSE(std::filesystem::exists(directory_ / "lumisave" / "settings")) << args[1];
    }
  }
  EXPECT_EQ(menus, 3);
}

TEST_F(LumisaveProgram, OtherModes) {
  for (const std::string arguments : {"/a 12", "/r", "/n"}) {
    const Outcome outcome = Run(arguments);
    EXPECT_EQ(outcome.exitCode, 0) << arguments;
    EXPECT_THAT(outcome.err, IsEmpty()) << arguments;
    EXPECT_THAT(outcome.out, IsEmpty()) << arguments;
  }
}

TEST_F(LumisaveProgram, SceneMustHoldADocument) {
  std::ofstream(directory_ / "scene.lumi") << "\xff\xfe\xff\x01K";
  EXPECT_THAT(Run("-root --scene " + (directory_ / "scene.lumi").string(), kWithoutDisplay).err,
              ::testing::StartsWith(kNoDisplay));

  const Outcome missing = Run("--scene " + (directory_ / "absent.scr").string() + " /s");
  EXPECT_EQ(missing.exitCode, 1);
  EXPECT_THAT(missing.err, HasSubstr("absent.scr: cannot open the file"));

  std::ofstream(directory_ / "broken.scr") << "MZ";
  const Outcome broken = Run("--scene " + (directory_ / "broken.scr").string());
  EXPECT_EQ(broken.exitCode, 1);
  EXPECT_THAT(broken.err, HasSubstr("broken Windows executable"));
}

TEST_F(LumisaveProgram, UsageErrors) {
  for (const std::string arguments : {"-window-id", "-window-id nope", "--scene", "-root -window-id 5", "-root /c"}) {
    const Outcome outcome = Run(arguments);
    EXPECT_EQ(outcome.exitCode, 2) << arguments;
    EXPECT_THAT(outcome.err, HasSubstr("Try 'lumisave --help'.")) << arguments;
  }
  EXPECT_EQ(Run("", "XSCREENSAVER_WINDOW=garbage").exitCode, 2);
}

}  // namespace
}  // namespace lumi
