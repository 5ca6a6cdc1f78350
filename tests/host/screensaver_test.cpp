#include "host/screensaver.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "host/process_entry.h"
#include "host/string_table.h"
#include "tests/host/fake_saver.h"

namespace lumi {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

// Records the slots that the modes call.
class RecordingSaver : public CVovorScreensaver {
 public:
  RecordingSaver(test::CallLog& log, SaverPlatform& platform, SaverParts& parts)
      : CVovorScreensaver(platform, parts), log_(log) {}

  HResult prepare_result = kSuccess;

  void ShowConfiguration() override { log_.push_back("ShowConfiguration"); }
  void OnReservedMode(WindowHandle parent) override { log_.push_back("OnReservedMode " + std::to_string(parent)); }
  void LoadSettings() override { log_.push_back("LoadSettings"); }
  HResult PrepareDirect3D() override {
    log_.push_back("PrepareDirect3D");
    return prepare_result;
  }

 private:
  test::CallLog& log_;
};

class Screensaver : public ::testing::Test {
 protected:
  // Runs the process entry with `command_line`, logging from Create on.
  int RunProcess(std::u16string command_line) {
    platform.command_line = std::move(command_line);
    log.clear();
    return RunSaverProcess(saver);
  }

  test::CallLog log;
  test::FakePlatform platform{log};
  test::FakeParts parts{log};
  RecordingSaver saver{log, platform, parts};
};

// The error's message box as the fake platform logs it.
std::string ErrorBox(HResult code) {
  std::u16string text;
  LookUpErrorText(code, text);
  return "MessageBox 0 [Lumisave] " + ToUtf8(text) + " icon 16";
}
const std::string kNoDirect3DBox = ErrorBox(kErrorNoDirect3D);

TEST(ScreensaverConstruction, BaseAndConcreteHosts) {
  test::CallLog log;
  test::FakePlatform platform{log};
  test::FakeParts parts{log};
  CD3DScreensaver base(platform, parts);
  EXPECT_EQ(base.window_title_, u"Screen Saver");
  EXPECT_THAT(log, IsEmpty());

  CVovorScreensaver saver(platform, parts);
  EXPECT_EQ(saver.window_title_, u"Lumisave");
  EXPECT_FALSE(saver.error_occurred_);
  EXPECT_THAT(log, IsEmpty());
}

TEST_F(Screensaver, FullScreenStartUpOrder) {
  parts.window_to_create = 42;
  EXPECT_EQ(RunProcess(u"saver.scr /s"), 0);
  EXPECT_THAT(log, ElementsAre("LowerThreadToIdlePriority", "CommandLine", "EnumerateMonitors", "CreateSaverWindows",
                               "CreateDirect3D", "PrepareDirect3D", "BuildDeviceList", "HasUsableDevice",
                               "LoadSettings", "CreateMediaGraph 42", "RunSaverLoop with Direct3D", "FreeAdapters"));
  EXPECT_EQ(saver.mode_, ModeFull);
  EXPECT_FALSE(saver.error_occurred_);
  EXPECT_FALSE(saver.direct3d_);  // released at the end of the run
}

TEST_F(Screensaver, ConfigureShowsTheDialogOrTheError) {
  RunProcess(u"saver.scr /c:77");
  EXPECT_EQ(saver.parent_window_, 77);
  EXPECT_THAT(log, ElementsAre("LowerThreadToIdlePriority", "CommandLine", "EnumerateMonitors", "CreateDirect3D",
                               "PrepareDirect3D", "BuildDeviceList", "HasUsableDevice", "LoadSettings",
                               "ShowConfiguration", "FreeAdapters"));

  platform.direct3d_available = false;
  RunProcess(u"saver.scr");
  EXPECT_TRUE(saver.error_occurred_);
  EXPECT_EQ(saver.error_code_, kErrorNoDirect3D);
  EXPECT_THAT(log, ElementsAre("LowerThreadToIdlePriority", "CommandLine", "EnumerateMonitors", "CreateDirect3D",
                               kNoDirect3DBox, "FreeAdapters"));
}

// The platform's dialogs take the configuration's place, owned by the /c
// window; with a start-up error only the error box shows.
TEST(ScreensaverConfiguration, ShowsThePlatformsDialogsForTheOwnerWindow) {
  test::CallLog log;
  test::FakePlatform platform{log};
  test::FakeParts parts{log};
  CVovorScreensaver saver(platform, parts);
  std::vector<WindowHandle> owners;
  saver.SetConfigurationDialogs([&owners](WindowHandle owner) { owners.push_back(owner); });
  platform.command_line = u"saver.scr /c:5678";
  RunSaverProcess(saver);
  platform.command_line = u"saver.scr";
  RunSaverProcess(saver);
  EXPECT_THAT(owners, ElementsAre(5678, 0));

  platform.direct3d_available = false;
  RunSaverProcess(saver);
  EXPECT_EQ(owners.size(), 2u);
  EXPECT_EQ(log.back(), "FreeAdapters");
  EXPECT_EQ(log.at(log.size() - 2), kNoDirect3DBox);
}

TEST_F(Screensaver, CreateRecordsEachFailureAndStops) {
  saver.prepare_result = kErrorCannotInitialize;
  RunProcess(u"saver.scr /c");
  EXPECT_EQ(saver.error_code_, kErrorCannotInitialize);
  EXPECT_EQ(log.at(5), "MessageBox 0 [Lumisave] Could not initialize the screen saver. icon 16");
  EXPECT_EQ(log.at(4), "PrepareDirect3D");

  saver.prepare_result = kSuccess;
  saver.error_occurred_ = false;
  parts.device_list_result = kErrorOutOfMemory;
  RunProcess(u"saver.scr /c");
  EXPECT_EQ(saver.error_code_, kErrorOutOfMemory);
  EXPECT_EQ(log.at(5), "BuildDeviceList");
  EXPECT_EQ(log.at(6), "MessageBox 0 [Lumisave] Not enough memory. icon 16");

  saver.error_occurred_ = false;
  parts.device_list_result = kSuccess;
  parts.usable_device = false;
  RunProcess(u"saver.scr /c");
  EXPECT_EQ(saver.error_code_, kErrorNoCompatibleDevices);
  EXPECT_EQ(log.at(7), ErrorBox(kErrorNoCompatibleDevices));
  EXPECT_THAT(log, ::testing::Not(::testing::Contains("LoadSettings")));
}

TEST_F(Screensaver, WindowFailureIsRecordedAndTheLoopShowsIt) {
  parts.windows_result = kErrorUnspecified;
  parts.loop_result = kErrorDeviceObjectsFailed;
  RunProcess(u"saver.scr /t");
  EXPECT_TRUE(saver.error_occurred_);
  EXPECT_EQ(saver.error_code_, kErrorUnspecified);
  // Start-up goes on: the saver windows show the error box.
  EXPECT_THAT(log, ElementsAre("LowerThreadToIdlePriority", "CommandLine", "EnumerateMonitors", "CreateSaverWindows",
                               "CreateDirect3D", "PrepareDirect3D", "BuildDeviceList", "HasUsableDevice",
                               "LoadSettings", "CreateMediaGraph 0", "RunSaverLoop with Direct3D",
                               "MessageBox 0 [Lumisave] There was an unspecified problem with this screen saver. "
                               "icon 16",
                               "FreeAdapters"));
}

TEST_F(Screensaver, LaterFailureOverwritesTheCode) {
  parts.windows_result = kErrorUnspecified;
  platform.direct3d_available = false;
  RunProcess(u"saver.scr /s");
  EXPECT_EQ(saver.error_code_, kErrorNoDirect3D);
}

TEST_F(Screensaver, PreviewWaitsForTheControlPanel) {
  parts.window_to_create = 9;
  RunProcess(u"saver.scr /p 1234");
  EXPECT_EQ(saver.parent_window_, 1234);
  EXPECT_FALSE(saver.waiting_for_preview_);
  EXPECT_THAT(log, ElementsAre("LowerThreadToIdlePriority", "CommandLine", "EnumerateMonitors", "CreateSaverWindows",
                               "PostMessage 9 1024 0", "GetMessage 9", "TranslateMessage 9 1024 0",
                               "DispatchMessage 9 1024 0", "SetTimer 9 1 500", "DefaultWindowProcedure 9 1024 0",
                               "GetMessage 9", "TranslateMessage 9 275 1", "DispatchMessage 9 275 1",
                               "KillTimer 9 1", "DefaultWindowProcedure 9 275 1", "CreateDirect3D", "PrepareDirect3D", "BuildDeviceList", "HasUsableDevice",
                               "LoadSettings", "RunSaverLoop with Direct3D", "FreeAdapters"));
}

TEST_F(Screensaver, PreviewWaitHandsOnAQuit) {
  parts.window_to_create = 9;
  platform.timers_fire = false;
  platform.queue.push_back({9, 0x0200, 0, 0});
  RunProcess(u"saver.scr /p 1234");
  const std::vector<std::string> wait(log.begin() + 4, log.begin() + 17);
  EXPECT_THAT(wait, ElementsAre("PostMessage 9 1024 0", "GetMessage 9", "TranslateMessage 9 512 0",
                                "DispatchMessage 9 512 0", "DefaultWindowProcedure 9 512 0", "GetMessage 9",
                                "TranslateMessage 9 1024 0", "DispatchMessage 9 1024 0", "SetTimer 9 1 500",
                                "DefaultWindowProcedure 9 1024 0", "GetMessage 9", "PostQuitMessage 0",
                                "CreateDirect3D"));
  EXPECT_FALSE(saver.waiting_for_preview_);
}

TEST_F(Screensaver, PreviewWithoutAWindowDoesNotWait) {
  parts.windows_result = kErrorUnspecified;
  RunProcess(u"saver.scr /p 1234");
  EXPECT_EQ(saver.error_code_, kErrorUnspecified);
  EXPECT_THAT(log, ::testing::Not(::testing::Contains("GetMessage 0")));
  EXPECT_EQ(log.at(4), "CreateDirect3D");
}

TEST_F(Screensaver, ChangePassword) {
  RunProcess(u"saver.scr /a 55");
  EXPECT_EQ(saver.mode_, ModeChangePassword);
  EXPECT_THAT(std::vector<std::string>(log.end() - 2, log.end()), ElementsAre("ChangePassword 55", "FreeAdapters"));
}

TEST_F(Screensaver, ReservedModes) {
  RunProcess(u"saver.scr /n");
  EXPECT_EQ(log.at(log.size() - 2), "OnReservedMode 0");
  RunProcess(u"saver.scr /r");
  EXPECT_EQ(log.at(log.size() - 2), "LoadSettings");
  EXPECT_EQ(log.back(), "FreeAdapters");
}

TEST_F(Screensaver, PreviewTimerMessagesThenGoToTheDefault) {
  log.clear();
  EXPECT_EQ(saver.WindowProc(5, kMessageUser, 0, 0), 7);
  EXPECT_EQ(saver.WindowProc(5, kMessageTimer, kPreviewTimer, 0), 7);
  EXPECT_THAT(log, ElementsAre("SetTimer 5 1 500", "DefaultWindowProcedure 5 1024 0", "KillTimer 5 1",
                               "DefaultWindowProcedure 5 275 1"));
}

// Create always succeeds; the entry's own failure path is for hosts that
// report through the result.
class FailingSaver : public CVovorScreensaver {
 public:
  using CVovorScreensaver::CVovorScreensaver;
  HResult Create() override { return kErrorNoPreview; }
  HResult Run() override {
    ADD_FAILURE() << "Run after a failed Create";
    return 0;
  }
};

TEST(ProcessEntry, FailedCreateShowsItsTextAndEnds) {
  test::CallLog log;
  test::FakePlatform platform{log};
  test::FakeParts parts{log};
  FailingSaver saver(platform, parts);
  saver.main_window_ = 12;
  log.clear();
  EXPECT_EQ(RunSaverProcess(saver), 0);
  EXPECT_THAT(log, ElementsAre("MessageBox 12 [Lumisave] No preview available icon 16"));
}

}  // namespace
}  // namespace lumi
