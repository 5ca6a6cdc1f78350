// Suspend ends full-screen mode: logind's PrepareForSleep, heard on a bus,
// reaches the saver's window procedure. A private session bus stands in
// for the system bus; skipped without dbus-daemon and dbus-send.
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <string>

#include "host/screensaver.h"
#include "platform/linux/saver_platform_linux.h"
#include "platform/linux/sleep_watcher.h"
#include "tests/host/fake_saver.h"

namespace lumi {
namespace {

using ::testing::HasSubstr;

bool Have(const char* program) { return std::system(("command -v " + std::string(program) + " >/dev/null").c_str()) == 0; }

class Suspend : public ::testing::Test {
 protected:
  void SetUp() override {
    for (const char* program : {"dbus-daemon", "dbus-send"}) {
      if (!Have(program)) GTEST_SKIP() << program << " is not installed";
    }
    int fds[2];
    ASSERT_EQ(pipe(fds), 0);
    bus_ = fork();
    if (bus_ == 0) {
      dup2(fds[1], 3);
      execlp("dbus-daemon", "dbus-daemon", "--session", "--nofork", "--nopidfile", "--print-address=3", nullptr);
      _exit(127);
    }
    close(fds[1]);
    std::string address;
    char c = 0;
    while (read(fds[0], &c, 1) == 1 && c != '\n') address += c;
    close(fds[0]);
    ASSERT_FALSE(address.empty()) << "dbus-daemon did not start";
    const char* old = std::getenv("DBUS_SESSION_BUS_ADDRESS");
    if (old != nullptr) old_address_ = old;
    setenv("DBUS_SESSION_BUS_ADDRESS", address.c_str(), 1);
  }
  void TearDown() override {
    if (bus_ > 0) kill(bus_, SIGTERM), waitpid(bus_, nullptr, 0);
    if (old_address_) {
      setenv("DBUS_SESSION_BUS_ADDRESS", old_address_->c_str(), 1);
    } else {
      unsetenv("DBUS_SESSION_BUS_ADDRESS");
    }
  }

  static void Announce(bool sleeping) {
    const std::string command = std::string("dbus-send --session --type=signal /org/freedesktop/login1 "
                                            "org.freedesktop.login1.Manager.PrepareForSleep boolean:") +
                                (sleeping ? "true" : "false");
    ASSERT_EQ(std::system(command.c_str()), 0);
  }

  pid_t bus_ = 0;
  std::optional<std::string> old_address_;
};

TEST_F(Suspend, PrepareForSleepEndsFullScreenButWakingDoesNot) {
  test::CallLog log;
  LinuxSaverPlatform platform(u"");
  test::FakeParts parts{log};
  CD3DScreensaver saver{platform, parts};
  saver.mode_ = ModeFull;
  std::string error;
  const std::unique_ptr<SleepWatcher> watcher = WatchForSleep(platform, MessageBus::Session, error);
  ASSERT_TRUE(watcher) << error;
  Announce(false);
  Announce(true);

  int suspends = 0;
  bool quit = false;
  const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(10);
  while (!quit && std::chrono::steady_clock::now() < end) {
    const std::optional<WindowMessage> message = platform.PeekMessage(end);
    if (!message) break;
    if (message->message == kMessageQuit) {
      quit = true;
    } else {
      if (message->message == kMessagePowerBroadcast) ++suspends;
      platform.DispatchMessage(*message);
    }
  }
  EXPECT_TRUE(quit);
  EXPECT_EQ(suspends, 1) << "only the coming sleep, not the waking";
  EXPECT_EQ(std::count(log.begin(), log.end(), "Cleanup3D"), 1);
}

TEST_F(Suspend, WithoutABusTheWatcherSaysSo) {
  setenv("DBUS_SESSION_BUS_ADDRESS", "unix:path=/nonexistent/lumi-bus", 1);
  LinuxSaverPlatform platform(u"");
  std::string error;
  EXPECT_FALSE(WatchForSleep(platform, MessageBus::Session, error));
  EXPECT_THAT(error, HasSubstr("no session bus"));
}

}  // namespace
}  // namespace lumi
