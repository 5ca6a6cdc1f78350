// The saver's windows on Windows. Without a window system the test skips,
// unless LUMI_REQUIRE_GL is set (the Windows test stage sets it where it
// runs under a virtual X server).
#include "platform/windows_api.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <vector>

#include "platform/windows/saver_display_windows.h"

namespace lumi {
namespace {

TEST(Win32SaverDisplay, WindowsTakeTheirShapesAndPassTheirMessagesOn) {
  WindowsSaverPlatform platform;
  std::vector<WindowMessage> seen;
  platform.SetWindowProcedure([&](const WindowMessage& m) {
    seen.push_back(m);
    return platform.DefaultWindowProcedure(m);
  });
  const std::unique_ptr<SaverDisplay> display = CreateWin32SaverDisplay(platform);
  const PlatformWindow test = display->CreateSaverWindow({SaverWindowKind::Test, {50, 50, 650, 450}, u"test"});
  if (test == 0) {
    ASSERT_EQ(std::getenv("LUMI_REQUIRE_GL"), nullptr) << "no window could be made";
    GTEST_SKIP() << "no window system";
  }
  EXPECT_EQ(display->ClientRect(test), (WindowRect{0, 0, 600, 400}));
  EXPECT_EQ(display->DesktopRect(test), (WindowRect{50, 50, 650, 450}));
  const auto style = GetWindowLongPtrW(reinterpret_cast<HWND>(test), GWL_STYLE);
  EXPECT_TRUE((style & WS_CAPTION) == WS_CAPTION && (style & WS_SYSMENU) && (style & WS_MINIMIZEBOX));
  EXPECT_FALSE(style & WS_MAXIMIZEBOX);

  // A preview fills its foreign window; a window that is gone gives none.
  const PlatformWindow child = display->CreateSaverWindow({SaverWindowKind::Child, {}, u"child", test});
  ASSERT_NE(child, 0);
  EXPECT_EQ(display->ClientRect(child), (WindowRect{0, 0, 600, 400}));
  EXPECT_EQ(display->CreateSaverWindow({SaverWindowKind::Child, {}, u"child", 12345678}), 0);

  // Messages reach the procedure as they are.
  SendMessageW(reinterpret_cast<HWND>(test), WM_USER + 7, 3, -4);
  ASSERT_FALSE(seen.empty());
  const WindowMessage& last = seen.back();
  EXPECT_EQ(last.window, test);
  EXPECT_EQ(last.message, WM_USER + 7u);
  EXPECT_EQ(last.wparam, 3u);
  EXPECT_EQ(last.lparam, -4);

  // Full screen: topmost borderless popups, the first owning the next.
  const std::vector<MonitorAnswer> monitors = display->Monitors();
  ASSERT_FALSE(monitors.empty());
  const WindowRect bounds = monitors.front().bounds;
  EXPECT_GT(bounds.Width(), 0);
  const PlatformWindow first = display->CreateSaverWindow({SaverWindowKind::FullScreen, bounds, u"full"});
  const PlatformWindow second = display->CreateSaverWindow({SaverWindowKind::FullScreen, bounds, u"full"});
  ASSERT_NE(first, 0);
  ASSERT_NE(second, 0);
  EXPECT_EQ(GetWindow(reinterpret_cast<HWND>(second), GW_OWNER), reinterpret_cast<HWND>(first));
  EXPECT_EQ(GetWindow(reinterpret_cast<HWND>(first), GW_OWNER), nullptr);
  EXPECT_TRUE(GetWindowLongPtrW(reinterpret_cast<HWND>(first), GWL_EXSTYLE) & WS_EX_TOPMOST);
  EXPECT_EQ(GetWindowLongPtrW(reinterpret_cast<HWND>(first), GWL_STYLE) & (WS_POPUP | WS_CAPTION), WS_POPUP);
  EXPECT_EQ(display->DesktopRect(first), bounds);

  // Every adapter lists its monitor's desktop mode among its modes.
  for (const AdapterAnswer& adapter : display->Adapters()) {
    ASSERT_GE(adapter.monitor, 0);
    EXPECT_NE(std::find(adapter.modes.begin(), adapter.modes.end(), adapter.desktop), adapter.modes.end());
  }
}

}  // namespace
}  // namespace lumi
