// The lumisave program as its users start it.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <regex>

#include "tests/support/command_run.h"
#include "tests/support/scratch_directory.h"

namespace lumi {
namespace {

using ::testing::HasSubstr;
using ::testing::IsEmpty;

class LumisaveProgram : public ::testing::Test {
 protected:
  test::CommandOutcome Run(const std::string& arguments, const std::string& environment = "") {
    return test::RunCommand("env -u XSCREENSAVER_WINDOW " + environment + " " LUMI_BINARY_DIR "/host/lumisave " +
                                arguments,
                            directory_.path());
  }

  test::ScratchDirectory directory_;
};

constexpr const char* kNoDisplay = "lumisave: no X display to draw on";
// The program's runs below have no X display.
constexpr const char* kWithoutDisplay = "-u DISPLAY";

TEST_F(LumisaveProgram, HelpAndVersion) {
  const test::CommandOutcome help = Run("--help");
  EXPECT_EQ(help.code, 0);
  EXPECT_THAT(help.out, HasSubstr("-window-id ID"));
  EXPECT_THAT(help.out, HasSubstr("--scene FILE"));
  const test::CommandOutcome version = Run("/s --version");
  EXPECT_EQ(version.code, 0);
  EXPECT_THAT(version.out, ::testing::StartsWith("lumisave "));
}

// A host takes exit status 0 for a working saver, so a drawing mode that
// cannot draw must fail, in one line that says where to turn instead.
TEST_F(LumisaveProgram, DrawingModesWithoutADisplayPointToTheRenderTool) {
  for (const std::string arguments : {"-root", "-window-id 0x400007", "/s", "/p 1234", "/t"}) {
    const test::CommandOutcome outcome = Run(arguments, kWithoutDisplay);
    EXPECT_EQ(outcome.code, 1) << arguments;
    EXPECT_THAT(outcome.err, ::testing::StartsWith(kNoDisplay)) << arguments;
    EXPECT_THAT(outcome.err, HasSubstr("'lumisave-tool render'")) << arguments;
    EXPECT_EQ(std::count(outcome.err.begin(), outcome.err.end(), '\n'), 1) << arguments;
  }
  const test::CommandOutcome handed = Run("", std::string(kWithoutDisplay) + " XSCREENSAVER_WINDOW=0x400007");
  EXPECT_EQ(handed.code, 1);
  EXPECT_THAT(handed.err, ::testing::StartsWith(kNoDisplay));
}

// Without a display to show the dialogs on, the configuration lists every
// value with its type and where it comes from, and the file that holds them.
TEST_F(LumisaveProgram, ConfigurationListsTheSettings) {
  const std::string config = std::string(kWithoutDisplay) + " -u WAYLAND_DISPLAY XDG_CONFIG_HOME=" + directory_.path().string();
  const test::CommandOutcome fresh = Run("/c:55", config);
  EXPECT_EQ(fresh.code, 0);
  EXPECT_THAT(fresh.out, HasSubstr("Settings file: " + (directory_ / "lumisave" / "settings").string()));
  EXPECT_THAT(fresh.out, ::testing::ContainsRegex("\"PicPos\" +dword +2 \\(fill\\) +default"));
  EXPECT_THAT(fresh.out, ::testing::ContainsRegex("\"SoundVolume\" +dword +100 +default"));
  EXPECT_THAT(fresh.out, ::testing::ContainsRegex("Screen 1.Adapter ID +binary +\\(none\\) +default"));

  std::filesystem::create_directories(directory_ / "lumisave");
  std::ofstream(directory_ / "lumisave" / "settings")
      << "[Software\\Quillborne\\Lumivex\\Screensaver]\n\"\\\"PicPos\\\"\"=dword:00000007\n";
  const test::CommandOutcome stored = Run("", config);
  EXPECT_THAT(stored.out, ::testing::ContainsRegex("\"PicPos\" +dword +2 \\(fill\\) +stored"));
  const test::CommandOutcome overridden = Run("--picture-position fit --mute", config);
  EXPECT_THAT(overridden.out, ::testing::ContainsRegex("\"PicPos\" +dword +1 \\(fit\\) +command line"));
  EXPECT_THAT(overridden.out, ::testing::ContainsRegex("\"MuteSound\" +dword +1 +command line"));
}

// xscreensaver passes no switch for a menu left at its first item, so that
// item must leave the stored value alone; every other item passes switches
// the saver takes, for this run only.
TEST_F(LumisaveProgram, XscreensaverMenusDefaultToTheStoredSettings) {
  const std::string xml = test::ReadText(LUMI_SOURCE_DIR "/app/xscreensaver/lumisave.xml");
  const std::regex select("<select id=\"([a-z]+)\">([\\s\\S]*?)</select>"), option("<option ([^>]*)/>"),
      arg_set("arg-set=\"([^\"]*)\"");
  int menus = 0;
  for (std::sregex_iterator menu(xml.begin(), xml.end(), select), end; menu != end; ++menu, ++menus) {
    const std::string body = (*menu)[2];
    std::sregex_iterator item(body.begin(), body.end(), option);
    ASSERT_NE(item, end) << (*menu)[1];
    EXPECT_THAT((*item)[1].str(), ::testing::Not(HasSubstr("arg-set"))) << (*menu)[1];
    EXPECT_THAT((*item)[1].str(), ::testing::ContainsRegex("[Aa]s in Lumisave Settings")) << (*menu)[1];
    const std::string config = std::string(kWithoutDisplay) + " -u WAYLAND_DISPLAY XDG_CONFIG_HOME=" + directory_.path().string();
    for (++item; item != end; ++item) {
      std::smatch args;
      const std::string attributes = (*item)[1];
      ASSERT_TRUE(std::regex_search(attributes, args, arg_set)) << attributes;
      const test::CommandOutcome listed = Run("-c " + args[1].str(), config);
      EXPECT_EQ(listed.code, 0) << args[1];
      EXPECT_THAT(listed.out, HasSubstr("command line")) << args[1];
      EXPECT_FALSE(std::filesystem::exists(directory_ / "lumisave" / "settings")) << args[1];
    }
  }
  EXPECT_EQ(menus, 3);
}

TEST_F(LumisaveProgram, OtherModes) {
  for (const std::string arguments : {"/a 12", "/r", "/n"}) {
    const test::CommandOutcome outcome = Run(arguments);
    EXPECT_EQ(outcome.code, 0) << arguments;
    EXPECT_THAT(outcome.err, IsEmpty()) << arguments;
    EXPECT_THAT(outcome.out, IsEmpty()) << arguments;
  }
}

TEST_F(LumisaveProgram, UsageErrors) {
  for (const std::string arguments : {"-window-id", "-window-id nope", "--scene", "-root /c", "-h", "--bogus"}) {
    const test::CommandOutcome outcome = Run(arguments);
    EXPECT_EQ(outcome.code, 2) << arguments;
    EXPECT_THAT(outcome.err, HasSubstr("usage: lumisave")) << arguments;
    EXPECT_THAT(outcome.out, IsEmpty()) << arguments;
  }
  EXPECT_EQ(Run("", "XSCREENSAVER_WINDOW=garbage").code, 2);
}

}  // namespace
}  // namespace lumi
