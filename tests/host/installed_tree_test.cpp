// The programs as `cmake --install` lays them out under a prefix of the
// test's own: the saver finds its settings program there, and the desktop
// entry passes the desktop's own check.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "tests/support/scratch_directory.h"
#include "tests/support/virtual_x_server.h"

namespace lumi {
namespace {

using ::testing::HasSubstr;

std::string Slurp(const std::filesystem::path& path) {
  std::ifstream file(path);
  return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

TEST(InstalledTree, TheSaverFindsItsSettingsProgramAndTheDesktopEntryIsValid) {
  if (!std::filesystem::exists(LUMI_BINARY_DIR "/host/lumisave-settings")) GTEST_SKIP() << "built without GTK 3";
  test::ScratchDirectory scratch;
  const std::filesystem::path prefix = scratch / "prefix", log = scratch / "log";
  ASSERT_EQ(std::system((LUMI_CMAKE_COMMAND " --install " LUMI_BINARY_DIR " --prefix " + prefix.string() + " >" +
                         log.string() + " 2>&1")
                            .c_str()),
            0)
      << Slurp(log);
  const std::filesystem::path saver = prefix / "libexec/xscreensaver/lumisave";
  const std::filesystem::path settings = prefix / "bin/lumisave-settings";
  ASSERT_TRUE(std::filesystem::exists(saver));
  ASSERT_TRUE(std::filesystem::exists(settings));
  EXPECT_TRUE(std::filesystem::exists(prefix / "bin/lumisave-tool"));
  EXPECT_TRUE(std::filesystem::exists(prefix / "share/xscreensaver/config/lumisave.xml"));

  // Without a display the settings are listed, naming the program that
  // would show them.
  const std::string run = "env -u DISPLAY -u WAYLAND_DISPLAY -u XSCREENSAVER_WINDOW XDG_CONFIG_HOME=" +
                          scratch.path().string() + " " + saver.string() + " -c >" + (scratch / "out").string() +
                          " 2>" + (scratch / "err").string();
  ASSERT_EQ(std::system(run.c_str()), 0) << Slurp(scratch / "err");
  EXPECT_THAT(Slurp(scratch / "out"), HasSubstr("\"PicPos\""));
  EXPECT_THAT(Slurp(scratch / "err"), HasSubstr("no display for " + settings.string()));
  // With one, the saver becomes the settings program; this display cannot
  // be opened, and the settings program says so.
  const std::string shown = "env -u WAYLAND_DISPLAY DISPLAY=:4093 " + saver.string() + " /c 2>" +
                            (scratch / "err").string();
  EXPECT_NE(std::system(shown.c_str()), 0);
  EXPECT_THAT(Slurp(scratch / "err"), HasSubstr("lumisave-settings: cannot open the display :4093"));

  const std::filesystem::path entry = prefix / "share/applications/lumisave-settings.desktop";
  ASSERT_TRUE(std::filesystem::exists(entry));
  if (!test::HaveProgram("desktop-file-validate")) GTEST_SKIP() << "desktop-file-validate is not installed";
  EXPECT_EQ(std::system(("desktop-file-validate " + entry.string() + " >" + log.string() + " 2>&1").c_str()), 0)
      << Slurp(log);
}

}  // namespace
}  // namespace lumi
