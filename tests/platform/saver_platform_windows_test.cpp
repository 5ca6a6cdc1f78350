#include "platform/windows/saver_platform_windows.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <vector>

#include "archive/utf.h"

namespace lumi {
namespace {

TEST(WindowsSaverPlatform, CommandLineIsTheProcesses) {
  WindowsSaverPlatform platform;
  EXPECT_THAT(ToUtf8(platform.CommandLine()), ::testing::HasSubstr("lumi_tests_platform"));
  EXPECT_NE(platform.CreateDirect3D(), nullptr);
}

TEST(WindowsSaverPlatform, ThreadMessagesReachTheWindowProcedureInOrderUntilTheQuit) {
  WindowsSaverPlatform platform;
  std::vector<std::uintptr_t> seen;
  platform.SetWindowProcedure([&](const WindowMessage& m) {
    seen.push_back(m.wparam);
    return static_cast<std::intptr_t>(m.wparam) + m.lparam;
  });
  platform.PostMessage({0, kMessageUser, 10, 1});
  platform.PostMessage({0, kMessageUser + 1, 11, 2});
  platform.PostQuitMessage(0);

  for (const std::uint32_t expected : {kMessageUser, kMessageUser + 1}) {
    const std::optional<WindowMessage> message = platform.GetMessage(0);
    ASSERT_TRUE(message.has_value());
    EXPECT_EQ(message->window, 0);
    EXPECT_EQ(message->message, expected);
    platform.TranslateMessage(*message);
    EXPECT_EQ(platform.DispatchMessage(*message), static_cast<std::intptr_t>(message->wparam) + message->lparam);
  }
  EXPECT_EQ(seen, (std::vector<std::uintptr_t>{10, 11}));
  EXPECT_FALSE(platform.GetMessage(0).has_value());

  platform.SetWindowProcedure(nullptr);
  EXPECT_EQ(platform.DispatchMessage({0, kMessageUser, 12, 0}), 0);
}

}  // namespace
}  // namespace lumi
