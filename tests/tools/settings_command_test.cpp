// lumisave-tool settings without a display: listing, setting, refusing, and
// a garbled file set aside.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "tests/support/command_run.h"
#include "tests/support/scratch_directory.h"

namespace lumi {
namespace {

using ::testing::HasSubstr;
using ::testing::MatchesRegex;

class SettingsCommand : public ::testing::Test {
 protected:
  test::CommandOutcome Run(const std::string& arguments) {
    return test::RunCommand("env -u DISPLAY -u WAYLAND_DISPLAY XDG_CONFIG_HOME=" + dir_.path().string() +
                                " " LUMI_TOOL " settings " + arguments,
                            dir_.path());
  }
  std::filesystem::path File() const { return dir_ / "lumisave" / "settings"; }

  test::ScratchDirectory dir_;
};

TEST_F(SettingsCommand, SetValuesAreListedAsStored) {
  const test::CommandOutcome fresh = Run("");
  EXPECT_EQ(fresh.code, 0);
  EXPECT_THAT(fresh.out, HasSubstr("Settings file: " + File().string()));
  EXPECT_THAT(fresh.out, MatchesRegex("(.|\n)*\"PicPos\" +dword +2 \\(fill\\) +default(.|\n)*"));

  EXPECT_EQ(Run("set PicPos fit").code, 0);
  EXPECT_EQ(Run("set '\"SoundVolume\"' 40").code, 0);
  EXPECT_EQ(Run("set 'Screen 2/Width' 800").code, 0);
  const test::CommandOutcome listed = Run("");
  EXPECT_THAT(listed.out, MatchesRegex("(.|\n)*\"PicPos\" +dword +1 \\(fit\\) +stored(.|\n)*"));
  EXPECT_THAT(listed.out, MatchesRegex("(.|\n)*\"SoundVolume\" +dword +40 +stored(.|\n)*"));
  EXPECT_THAT(listed.out, MatchesRegex("(.|\n)*Screen 2.Width +dword +800 +stored(.|\n)*"));

  // Names in any case; the document by its full path, the demo by nothing.
  EXPECT_EQ(Run("set picpos Fill").code, 0);
  EXPECT_EQ(Run("set document " + (dir_.path() / ".").string()).code, 0);
  EXPECT_EQ(Run("set 'shuffle documents' 1").code, 0);
  const test::CommandOutcome chosen = Run("");
  EXPECT_THAT(chosen.out, MatchesRegex("(.|\n)*\"PicPos\" +dword +2 \\(fill\\) +stored(.|\n)*"));
  EXPECT_THAT(chosen.out, HasSubstr(dir_.path().string() + " "));
  EXPECT_THAT(chosen.out, MatchesRegex("(.|\n)*Shuffle Documents +dword +1 +stored(.|\n)*"));
  EXPECT_EQ(Run("set Document " + (dir_ / "absent").string()).code, 1);
  EXPECT_EQ(Run("set Document ''").code, 0);
  EXPECT_THAT(Run("").out, MatchesRegex("(.|\n)*Document +string +\\(the demo\\) +stored(.|\n)*"));
}

TEST_F(SettingsCommand, RefusalsChangeNothing) {
  ASSERT_EQ(Run("set MuteSound 1").code, 0);
  const std::string before = test::ReadText(File());
  for (const std::string arguments : {"set SoundVolume 101", "set Volume 3", "set 'Screen 1/Adapter ID' 00"}) {
    const test::CommandOutcome refused = Run(arguments);
    EXPECT_EQ(refused.code, 2) << arguments;
    EXPECT_THAT(refused.err, HasSubstr("lumisave-tool settings: ")) << arguments;
  }
  EXPECT_THAT(Run("set Volume 3").err, HasSubstr("Screen N/Format"));
  EXPECT_EQ(Run("set PicPos").code, 2) << "a value is needed";
  EXPECT_EQ(test::ReadText(File()), before);
}

TEST_F(SettingsCommand, AGarbledFileIsSetAsideAndDefaultsApply) {
  std::filesystem::create_directories(File().parent_path());
  std::ofstream(File()) << "\x01\x02 this is not a settings file [[[";
  const test::CommandOutcome listed = Run("");
  EXPECT_EQ(listed.code, 0);
  EXPECT_THAT(listed.err, HasSubstr(File().string()));
  EXPECT_THAT(listed.out, MatchesRegex("(.|\n)*\"PicPos\" +dword +2 \\(fill\\) +default(.|\n)*"));
}

}  // namespace
}  // namespace lumi
