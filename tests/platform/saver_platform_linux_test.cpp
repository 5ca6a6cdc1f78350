#include "platform/linux/saver_platform_linux.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <sched.h>
#include <signal.h>
#include <sys/resource.h>
#include <unistd.h>

#include <chrono>
#include <thread>

namespace lumi {
namespace {

TEST(LinuxSaverPlatform, MessageBoxIsALineOnStandardError) {
  LinuxSaverPlatform platform(u"lumisave /s");
  EXPECT_EQ(platform.CommandLine(), u"lumisave /s");
  ::testing::internal::CaptureStderr();
  platform.ShowMessageBox(0, u"Could not load required media.", u"Lumisave \u00e9", kIconError);
  EXPECT_EQ(::testing::internal::GetCapturedStderr(), "Lumisave \xc3\xa9: Could not load required media.\n");
}

// Each check runs on a thread of its own: the nice value is the thread's.
TEST(LinuxSaverPlatform, LowersItsThreadToNiceTenUnlessNicedAlready) {
  const auto nice = [] { return getpriority(PRIO_PROCESS, static_cast<id_t>(gettid())); };
  std::thread([&] {
    const int before = nice();
    LinuxSaverPlatform(u"").LowerThreadToIdlePriority();
    EXPECT_EQ(nice(), before > 0 ? before : kSaverNice);
    EXPECT_EQ(sched_getscheduler(0), SCHED_OTHER) << "not SCHED_IDLE, which hardly runs on a busy machine";
  }).join();
  std::thread([&] {
    setpriority(PRIO_PROCESS, static_cast<id_t>(gettid()), 15);
    const int given = nice();
    LinuxSaverPlatform(u"").LowerThreadToIdlePriority();
    EXPECT_EQ(nice(), given);
  }).join();
  std::thread([&] {
    const int before = nice();
    LinuxSaverPlatform(u"", false).LowerThreadToIdlePriority();
    EXPECT_EQ(nice(), before);
  }).join();
}

TEST(LinuxSaverPlatform, DrawsWithoutDirect3D) {
  LinuxSaverPlatform platform(u"");
  EXPECT_NE(platform.CreateDirect3D(), nullptr);
}

TEST(LinuxSaverPlatform, QueueKeepsOrderPerWindowAndEndsWithTheQuit) {
  LinuxSaverPlatform platform(u"");
  platform.PostMessage({1, kMessageUser, 10, 0});
  platform.PostMessage({2, kMessageUser, 20, 0});
  platform.PostMessage({1, kMessageUser, 11, 0});
  platform.PostQuitMessage(0);

  EXPECT_EQ(platform.GetMessage(2)->wparam, 20u);
  EXPECT_EQ(platform.GetMessage(1)->wparam, 10u);
  EXPECT_EQ(platform.GetMessage(0)->wparam, 11u);
  EXPECT_FALSE(platform.GetMessage(0));
  // Nothing queued and no timer: nothing could ever arrive.
  EXPECT_FALSE(platform.GetMessage(0));
}

TEST(LinuxSaverPlatform, TimersAndDispatch) {
  LinuxSaverPlatform platform(u"");
  std::vector<std::uint32_t> seen;
  platform.SetWindowProcedure([&](const WindowMessage& m) {
    seen.push_back(m.message);
    return 5;
  });
  // Measured from before the timer is set: it is due 20 ms after that.
  const auto start = std::chrono::steady_clock::now();
  platform.SetTimer(3, 1, 20);
  platform.SetTimer(4, 2, 1);

  const std::optional<WindowMessage> tick = platform.GetMessage(3);
  ASSERT_TRUE(tick);
  EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(20));
  EXPECT_EQ(tick->window, 3);
  EXPECT_EQ(tick->message, kMessageTimer);
  EXPECT_EQ(tick->wparam, 1u);
  EXPECT_EQ(platform.DispatchMessage(*tick), 5);
  EXPECT_THAT(seen, ::testing::ElementsAre(kMessageTimer));

  EXPECT_EQ(platform.GetMessage(4)->wparam, 2u);
  platform.KillTimer(3, 1);
  platform.KillTimer(4, 2);
  EXPECT_FALSE(platform.GetMessage(0));
}

// However long the loop means to wait, SIGTERM and SIGINT end the wait as
// the end-of-session message; once the platform is gone they are the
// system's again.
TEST(LinuxSaverPlatform, SignalsWakeAWaitingLoop) {
  for (const int signal : {SIGTERM, SIGINT}) {
    LinuxSaverPlatform platform(u"");
    const auto far = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    ASSERT_EQ(raise(signal), 0);
    const std::optional<WindowMessage> message = platform.PeekMessage(far);
    ASSERT_TRUE(message) << signal;
    EXPECT_EQ(message->message, kMessageEndSession);
    EXPECT_EQ(message->wparam, 1u);
    EXPECT_LT(std::chrono::steady_clock::now(), far);
  }
  struct sigaction now {};
  sigaction(SIGTERM, nullptr, &now);
  EXPECT_EQ(now.sa_handler, SIG_DFL);
}

}  // namespace
}  // namespace lumi
