// The Debian package as users install it: what it holds, and lintian's
// verdict. Skipped without dpkg-deb or lintian.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "tests/support/command_run.h"
#include "tests/support/scratch_directory.h"
#include "tests/support/virtual_x_server.h"

namespace lumi {
namespace {

using ::testing::HasSubstr;

TEST(Package, HoldsWhatUsersLookForAndLintianReportsNothing) {
  for (const char* program : {"dpkg-deb", "lintian"}) {
    if (!test::HaveProgram(program)) GTEST_SKIP() << program << " is not installed";
  }
  test::ScratchDirectory scratch;
  const test::CommandOutcome packed = test::RunCommand(
      LUMI_CPACK_COMMAND " --config " LUMI_BINARY_DIR "/CPackConfig.cmake -B " + scratch.path().string(),
      scratch.path());
  ASSERT_EQ(packed.code, 0) << packed.out << packed.err;
  std::filesystem::path package;
  for (const auto& entry : std::filesystem::directory_iterator(scratch.path())) {
    if (entry.path().extension() == ".deb") package = entry.path();
  }
  ASSERT_FALSE(package.empty()) << packed.out;

  const std::string contents = test::RunCommand("dpkg-deb -c " + package.string(), scratch.path()).out;
  EXPECT_THAT(contents, HasSubstr("./usr/bin/lumisave -> ../libexec/xscreensaver/lumisave"));
  for (const char* file : {"./usr/libexec/xscreensaver/lumisave", "./usr/share/xscreensaver/config/lumisave.xml",
                           "./usr/share/man/man6/lumisave.6.gz", "./usr/share/man/man1/lumisave-tool.1.gz",
                           "./usr/share/man/man1/lumisave-settings.1.gz", "./usr/share/doc/lumisave/copyright",
                           "./usr/share/doc/lumisave/changelog.gz"}) {
    EXPECT_THAT(contents, HasSubstr(file));
  }
  EXPECT_EQ(test::RunCommand("dpkg-deb -f " + package.string() + " Recommends", scratch.path()).out,
            "xscreensaver, fonts-dejavu-core\n");

  const test::CommandOutcome lintian =
      test::RunCommand("lintian --fail-on error,warning " + package.string(), scratch.path());
  EXPECT_EQ(lintian.code, 0) << lintian.out << lintian.err;
}

}  // namespace
}  // namespace lumi
