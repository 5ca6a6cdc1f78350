// The GTK settings dialogs under a virtual X server, driven through the
// accessibility bus by the labels users see; screenshots of each dialog are
// kept in the build's test-output folder. Skipped without GTK's program,
// Xvfb, dbus-run-session or python3-pyatspi.
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <thread>

#include "archive/utf.h"
#include "host/string_table.h"
#include "tests/support/virtual_x_server.h"

namespace lumi {
namespace {

using ::testing::HasSubstr;
using ::testing::MatchesRegex;

constexpr const char* kSettingsProgram = LUMI_BINARY_DIR "/host/lumisave-settings";
constexpr const char* kDriver = LUMI_SOURCE_DIR "/tests/host/settings_dialogs_atspi.py";

class SettingsDialogs : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!std::filesystem::exists(kSettingsProgram)) GTEST_SKIP() << "built without GTK 3";
    for (const char* program : {"Xvfb", "xdotool", "import", "dbus-run-session"}) {
      if (!test::HaveProgram(program)) GTEST_SKIP() << program << " is not installed";
    }
    if (std::system("/usr/bin/python3 -c 'import pyatspi' 2>/dev/null") != 0) GTEST_SKIP() << "no python3-pyatspi";
    folder_ = std::filesystem::temp_directory_path() /
              ("lumi_dialogs_" + std::to_string(getpid()) + "_" +
               ::testing::UnitTest::GetInstance()->current_test_info()->name());
    std::filesystem::create_directories(folder_);
    // The accessibility bus's socket is named after the display alone, in
    // the user's runtime folder: tests that share it, one after another or
    // side by side, would find or remove each other's bus.
    std::filesystem::create_directories(folder_ / "runtime");
    std::filesystem::permissions(folder_ / "runtime", std::filesystem::perms::owner_all);
    shots_ = std::filesystem::path(LUMI_BINARY_DIR) / "test-output" / "settings-dialogs";
    std::filesystem::create_directories(shots_);
    ASSERT_TRUE(server_.Start("1024x768x24", folder_ / "xvfb.log"));
  }
  void TearDown() override {
    server_.Stop();
    std::filesystem::remove_all(folder_);
  }

  std::string Env() const {
    return "env -u WAYLAND_DISPLAY DISPLAY=" + server_.Display() + " XDG_CONFIG_HOME=" + folder_.string() +
           " XDG_RUNTIME_DIR=" + (folder_ / "runtime").string() +
           " MESA_SHADER_CACHE_DISABLE=true ASAN_OPTIONS=detect_leaks=0 ";
  }
  // Runs a scenario of the driver on `lumisave -c`, with `environment`
  // added; its output and exit. The driver closes the dialogs whenever it
  // ends, also when stopped for taking too long.
  std::string Drive(const std::string& scenario, const std::string& environment = "") {
    const std::filesystem::path shots = shots_ / scenario;
    std::filesystem::create_directories(shots);
    return test::Capture(Env() + environment + " dbus-run-session -- timeout 120 /usr/bin/python3 " + kDriver + " " + scenario +
                         " " + shots.string() + " " LUMI_BINARY_DIR "/host/lumisave -c 2>&1");
  }
  std::string Settings() { return test::Capture(Env() + LUMI_BINARY_DIR "/tools/lumisave-tool settings"); }

  test::VirtualXServer server_;
  std::filesystem::path folder_, shots_;
};

TEST_F(SettingsDialogs, OkKeepsTheChosenPositionAndEscapeDropsIt) {
  EXPECT_THAT(Drive("fit-ok"), HasSubstr("exit: 0"));
  EXPECT_THAT(Settings(), MatchesRegex("(.|\n)*\"PicPos\" +dword +1 \\(fit\\) +stored(.|\n)*"));
  // What the dialog stored is what render draws with.
  EXPECT_THAT(test::Capture(Env() + LUMI_BINARY_DIR "/tools/lumisave-tool render " LUMI_SAMPLE_DOCUMENT
                            " --size 32x32 -o " + (folder_ / "frame.png").string() + " 2>&1"),
              HasSubstr("picture position fit, as stored in"));
  EXPECT_THAT(Drive("stretch-escape"), HasSubstr("exit: 0"));
  EXPECT_THAT(Settings(), MatchesRegex("(.|\n)*\"PicPos\" +dword +1 \\(fit\\) +stored(.|\n)*"));
}

TEST_F(SettingsDialogs, DisplaySettingsShowTheSoftwareRendererAndStoreAMode) {
  const std::string seen = Drive("display");
  EXPECT_THAT(seen, HasSubstr("label: llvmpipe"));
  EXPECT_THAT(seen, HasSubstr("label: The screen saver can use software 3D rendering on this monitor."));
  EXPECT_THAT(seen, HasSubstr("check box sensitive: False"));
  EXPECT_THAT(seen, HasSubstr("mode: Automatic"));
  EXPECT_THAT(seen, MatchesRegex("(.|\n)*mode: [0-9]+ by [0-9]+, 32 bit color(.|\n)*"));
  EXPECT_THAT(seen, HasSubstr("exit: 0"));
  const std::string settings = Settings();
  EXPECT_THAT(settings, MatchesRegex("(.|\n)*Screen 1.Width +dword +[1-9][0-9]* +stored(.|\n)*"));
  EXPECT_THAT(settings, MatchesRegex("(.|\n)*Screen 1.Format +dword +22 +stored(.|\n)*"));
}

TEST_F(SettingsDialogs, HelpSaysWhySoftwareIsUsedAndTheConfigurationsCancelDropsAMode) {
  const std::string help = Drive("help");
  EXPECT_THAT(help, HasSubstr("help: " + ToUtf8(FindString(2204).value_or(u"?"))));
  EXPECT_THAT(help, HasSubstr("exit: 0"));
  EXPECT_THAT(Drive("display-cancel"), HasSubstr("exit: 0"));
  const std::string settings = Settings();
  EXPECT_THAT(settings, MatchesRegex("(.|\n)*Screen 1.Width +dword +0 +stored(.|\n)*"));
  EXPECT_THAT(settings, MatchesRegex("(.|\n)*Screen 1.Format +dword +0 +stored(.|\n)*"));
}

TEST_F(SettingsDialogs, SoundAtTheBottomAndMutedStoresZeroAndOne) {
  EXPECT_THAT(Drive("sound"), HasSubstr("exit: 0"));
  const std::string settings = Settings();
  EXPECT_THAT(settings, MatchesRegex("(.|\n)*\"SoundVolume\" +dword +0 +stored(.|\n)*"));
  EXPECT_THAT(settings, MatchesRegex("(.|\n)*\"MuteSound\" +dword +1 +stored(.|\n)*"));
}

TEST_F(SettingsDialogs, AltDOpensDisplaySettings) {
  const std::string seen = Drive("alt-d");
  EXPECT_THAT(seen, HasSubstr("display settings opened"));
  EXPECT_THAT(seen, HasSubstr("exit: 0"));
}

// A stand-in xdg-open first on PATH writes down the arguments it was given.
TEST_F(SettingsDialogs, WebsiteGivesXdgOpenTheAddressAsItsOneArgument) {
  const std::filesystem::path bin = folder_ / "bin", record = folder_ / "argv";
  std::filesystem::create_directories(bin);
  std::ofstream(bin / "xdg-open") << "#!/bin/sh\nprintf '%s\\n' \"$#\" \"$@\" > " << record.string() << "\n";
  std::filesystem::permissions(bin / "xdg-open", std::filesystem::perms::owner_all);
  EXPECT_THAT(Drive("website", "PATH=" + bin.string() + ":$PATH"), HasSubstr("exit: 0"));
  for (int i = 0; i < 100 && !std::filesystem::exists(record); ++i) {
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  std::ifstream in(record);
  const std::string argv((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  EXPECT_EQ(argv, "1\n" + ToUtf8(FindString(kStringWebAddress).value_or(u"")) + "\n");
}

TEST(SettingsProgram, WithoutADisplayItPointsToTheTool) {
  if (!std::filesystem::exists(kSettingsProgram)) GTEST_SKIP() << "built without GTK 3";
  const std::string out =
      test::Capture(std::string("env -u DISPLAY -u WAYLAND_DISPLAY ") + kSettingsProgram + " 2>&1; echo $?");
  EXPECT_THAT(out, HasSubstr("'lumisave-tool settings'"));
  EXPECT_THAT(out, ::testing::EndsWith("1"));
}

}  // namespace
}  // namespace lumi
