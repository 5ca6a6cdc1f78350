// The saver window's procedure on synthesised messages: which input ends
// which mode, and what the procedure hands to the host's parts.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <stdexcept>

#include "host/scene_host.h"
#include "host/screensaver.h"
#include "sound/scene_sound.h"
#include "tests/host/fake_saver.h"

namespace lumi {
namespace {

using ::testing::Contains;
using ::testing::Not;

class MediaEvents : public SceneHost {
 public:
  std::vector<long> events;
  void SelectUnit(int, GraphicsDevice*) override {}
  HResult Render(double) override { return kSuccess; }
  void OnDeviceReset(PlatformWindow) override {}
  void OnDeviceLost() override {}
  void OnDeviceDestroyed() override {}
  void OnMediaEvent(long code) override { events.push_back(code); }
};

class QuitRules : public ::testing::Test {
 protected:
  void Start(SaverMode mode) {
    saver.mode_ = mode;
    log.clear();
  }
  bool Ended() const { return std::count(log.begin(), log.end(), "PostQuitMessage 0") > 0; }
  std::intptr_t Send(std::uint32_t message, std::uintptr_t wparam = 0, std::intptr_t lparam = 0) {
    return saver.WindowProc(7, message, wparam, lparam);
  }
  void MoveTo(int x, int y) { Send(kMessageMouseMove, 0, PackMousePosition(x, y)); }

  test::CallLog log;
  test::FakePlatform platform{log};
  test::FakeParts parts{log};
  MediaEvents scene;
  CVovorScreensaver saver{platform, parts, &scene};
};

TEST_F(QuitRules, FullScreenEndsOnTheSixthMoveToANewPosition) {
  Start(ModeFull);
  // The remembered position starts at -1, -1: the first report counts.
  for (int i = 0; i < 5; ++i) {
    MoveTo(10 * i, 5);
    MoveTo(10 * i, 5);  // the same position again never counts
  }
  EXPECT_EQ(saver.mouse_move_count_, 5u);
  EXPECT_FALSE(Ended());
  MoveTo(-3, 40000);  // signed 16-bit client coordinates: this is -25536
  EXPECT_EQ(saver.last_mouse_y_, -25536);
  EXPECT_TRUE(Ended());
  // The devices go before the quit message.
  EXPECT_LT(std::find(log.begin(), log.end(), "Cleanup3D"), std::find(log.begin(), log.end(), "PostQuitMessage 0"));
}

TEST_F(QuitRules, KeysButtonsDeactivationAndSuspendEndFullScreen) {
  for (const std::uint32_t message :
       {kMessageKeyDown, kMessageLeftButtonDown, kMessageMiddleButtonDown, kMessageRightButtonDown}) {
    Start(ModeFull);
    Send(message);
    EXPECT_TRUE(Ended()) << message;
  }
  Start(ModeFull);
  Send(kMessageActivateApp, 1);
  EXPECT_FALSE(Ended()) << "activation";
  Send(kMessageActivateApp, 0);
  EXPECT_TRUE(Ended()) << "deactivation";
  Start(ModeFull);
  Send(kMessagePowerBroadcast, 7);
  EXPECT_FALSE(Ended()) << "another power event";
  Send(kMessagePowerBroadcast, kPowerSuspend);
  EXPECT_TRUE(Ended()) << "suspend";
}

TEST_F(QuitRules, TestAndPreviewIgnoreInput) {
  for (const SaverMode mode : {ModeTest, ModePreview}) {
    Start(mode);
    for (int i = 0; i < 10; ++i) MoveTo(i, i);
    Send(kMessageKeyDown);
    Send(kMessageLeftButtonDown);
    Send(kMessageActivateApp, 0);
    EXPECT_FALSE(Ended()) << mode;
    // Their window going ends them.
    Send(kMessageDestroy);
    EXPECT_TRUE(Ended()) << mode;
  }
  // Test mode does not even count the moves; the preview counts them in
  // vain, since only test and full-screen mode can be interrupted.
  EXPECT_EQ(saver.mouse_move_count_, 10u);
  Start(ModePreview);
  Send(kMessagePowerBroadcast, kPowerSuspend);
  EXPECT_FALSE(Ended());
  // A suspend interrupts the test window too: it is not the user's input.
  Start(ModeTest);
  Send(kMessagePowerBroadcast, kPowerSuspend);
  EXPECT_TRUE(Ended());
}

TEST_F(QuitRules, FullScreenSwallowsCloseAndWindowSwitching) {
  Start(ModeFull);
  for (const std::uintptr_t command : {kCommandClose, kCommandNextWindow, kCommandPrevWindow, kCommandScreenSave}) {
    EXPECT_EQ(Send(kMessageSysCommand, command), 0);
  }
  EXPECT_THAT(log, Not(Contains(::testing::StartsWith("DefaultWindowProcedure"))));
  EXPECT_FALSE(Ended());
  // Its own window going is not the user's doing: full screen stays.
  Send(kMessageDestroy);
  EXPECT_FALSE(Ended());
  // A test window's close goes on to the default, which closes it.
  Start(ModeTest);
  EXPECT_EQ(Send(kMessageSysCommand, kCommandClose), 7);
  EXPECT_THAT(log, Contains("DefaultWindowProcedure 7 274 61536"));
}

TEST_F(QuitRules, ASignalEndsEveryMode) {
  for (const SaverMode mode : {ModeFull, ModeTest, ModePreview}) {
    Start(mode);
    Send(kMessageEndSession, 1);
    EXPECT_TRUE(Ended()) << mode;
  }
}

TEST_F(QuitRules, CursorPaintSizeAndMediaEventsReachTheirParts) {
  Start(ModeFull);
  EXPECT_EQ(Send(kMessageSetCursor), 1);  // hidden, no default
  EXPECT_EQ(Send(kMessageEraseBackground), 1);
  EXPECT_EQ(Send(kMessagePaint), 0);
  Send(kMessageSize);
  parts.media_event = kMediaEventComplete;
  Send(kMessageMediaEvent);
  EXPECT_THAT(log, Contains("PaintError 7"));
  EXPECT_THAT(log, Contains("OnWindowResized 7"));
  EXPECT_THAT(scene.events, ::testing::ElementsAre(kMediaEventComplete));
  Start(ModeTest);
  EXPECT_EQ(Send(kMessageSetCursor), 7);
}

// The class-level procedure: whatever a message throws, the loop goes on.
class ThrowingParts : public test::FakeParts {
 public:
  using FakeParts::FakeParts;
  void Cleanup3D(CD3DScreensaver&) override { throw std::runtime_error("device gone"); }
};

TEST(WindowProcedure, ExceptionsGiveResultOne) {
  test::CallLog log;
  test::FakePlatform platform{log};
  ThrowingParts parts{log};
  CVovorScreensaver saver{platform, parts};
  saver.mode_ = ModeFull;
  EXPECT_EQ(platform.DispatchMessage({7, kMessageKeyDown, 0, 0}), 1);
}

}  // namespace
}  // namespace lumi
