// The saver under the real xscreensaver daemon on a virtual X server, run
// as an ordinary user (xscreensaver starts no programs as root): it draws
// inside the daemon's window, opens no window of its own, and ends when the
// daemon deactivates. Skipped without Xvfb, xscreensaver, xwininfo,
// ImageMagick, or (when the tests run as root) runuser and the user nobody.
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <pwd.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>

#include "tests/support/scratch_directory.h"
#include "tests/support/virtual_x_server.h"

namespace lumi {
namespace {

using namespace std::chrono_literals;

class XscreensaverDaemon : public ::testing::Test {
 protected:
  void SetUp() override {
    for (const char* program : {"Xvfb", "xscreensaver", "xscreensaver-command", "xwininfo", "import", "convert"}) {
      if (!test::HaveProgram(program)) GTEST_SKIP() << program << " is not installed";
    }
    if (getuid() == 0) {
      if (!test::HaveProgram("runuser") || getpwnam("nobody") == nullptr) GTEST_SKIP() << "no ordinary user to be";
      as_user_ = "runuser -u nobody -- ";
      // The user's home: its .xscreensaver and the saver's settings.
      std::filesystem::permissions(home_.path(), std::filesystem::perms::all);
    }
    ASSERT_TRUE(server_.Start("800x600x24", home_ / "xvfb.log")) << "Xvfb did not start";
    std::ofstream(home_ / ".xscreensaver") << "mode: one\nselected: 0\nlock: False\nfade: False\nunfade: False\n"
                                              "splash: False\ntimeout: 0:30:00\n"
                                              "programs: GL: " LUMI_BINARY_DIR "/host/lumisave --root \\n\n";
  }
  void TearDown() override {
    if (daemon_ > 0) {
      Command("xscreensaver-command -exit");
      if (test::WaitForExit(daemon_, 5s) < 0) kill(daemon_, SIGKILL), waitpid(daemon_, nullptr, 0);
    }
    server_.Stop();
  }

  std::string Env() const {
    return as_user_ + test::SaverEnvironment(server_.Display(), home_.path()) + "HOME=" + home_.path().string() + " ";
  }
  int Command(const std::string& command) {
    return std::system((Env() + command + " >>" + (home_ / "commands.log").string() + " 2>&1").c_str());
  }
  // Savers of this user only: other tests may run theirs meanwhile.
  bool SaverRuns() {
    const uid_t user = as_user_.empty() ? getuid() : getpwnam("nobody")->pw_uid;
    return std::system(("pgrep -u " + std::to_string(user) + " -x lumisave >/dev/null").c_str()) == 0;
  }
  // Waits until the screen shows one of the demo's photographs: lighter
  // than "Loading..." on black or the daemon's own black.
  bool ShowsTheDemo() {
    for (int i = 0; i < 60; ++i) {
      const double lightness =
          test::ScreenLook("DISPLAY=" + server_.Display() + " ", "800x600+0+0", home_ / "shot.png").first;
      if (lightness > 0.2) return true;
      std::this_thread::sleep_for(500ms);
    }
    return false;
  }

  test::ScratchDirectory home_;
  test::VirtualXServer server_;
  std::string as_user_;
  pid_t daemon_ = 0;
};

TEST_F(XscreensaverDaemon, ActivationDrawsInsideTheDaemonsWindowUntilDeactivation) {
  ASSERT_FALSE(SaverRuns()) << "another lumisave runs; its windows would confuse this test";
  daemon_ = fork();
  if (daemon_ == 0) {
    const std::string line = "exec " + Env() + "xscreensaver --no-splash 2>" + (home_ / "daemon.log").string();
    execl("/bin/sh", "sh", "-c", line.c_str(), nullptr);
    _exit(127);
  }
  bool answering = false;
  for (int i = 0; i < 100 && !answering; ++i) {
    std::this_thread::sleep_for(100ms);
    answering = Command("xscreensaver-command -version") == 0;
  }
  ASSERT_TRUE(answering) << test::Capture("cat " + (home_ / "daemon.log").string());

  ASSERT_EQ(Command("xscreensaver-command -activate"), 0);
  EXPECT_TRUE(ShowsTheDemo()) << test::Capture("cat " + (home_ / "daemon.log").string());
  EXPECT_TRUE(SaverRuns());
  // The daemon's windows only: none titled as ours, none of SDL's.
  const std::string windows = test::Capture("DISPLAY=" + server_.Display() + " xwininfo -root -children");
  EXPECT_THAT(windows, ::testing::Not(::testing::HasSubstr("Lumisave"))) << windows;
  EXPECT_THAT(windows, ::testing::Not(::testing::HasSubstr("lumisave"))) << windows;

  ASSERT_EQ(Command("xscreensaver-command -deactivate"), 0);
  bool ended = false;
  for (int i = 0; i < 50 && !ended; ++i) {
    std::this_thread::sleep_for(200ms);
    ended = !SaverRuns();
  }
  EXPECT_TRUE(ended) << "the saver outlived the deactivation";
}

}  // namespace
}  // namespace lumi
