// Full-screen units on recorded answers: when a device cannot be made at
// the chosen mode, lower modes are tried and the one that works is kept.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "host/frame_cycle.h"
#include "host/saver_settings.h"
#include "host/screensaver.h"
#include "sound/scene_sound.h"
#include "tests/host/fake_display.h"
#include "tests/host/fake_saver.h"
#include "tests/support/memory_settings_store.h"

namespace lumi {
namespace {

using ::testing::ElementsAre;

constexpr char16_t kScreen1Key[] = u"Software\\Quillborne\\Lumivex\\Screensaver\\Screen 1";

class ModeFallback : public ::testing::Test {
 protected:
  void SetUp() override {
    display.monitors = {MonitorAnswer{u"GPU", u"Monitor", {0, 0, 1280, 1024}, 60}};
    AdapterAnswer adapter;
    adapter.monitor = 0;
    adapter.description = u"GPU";
    adapter.identifier = {1, 2, 3};
    adapter.desktop = {1280, 1024};
    adapter.modes = {{640, 480}, {800, 600}, {1024, 768}, {1280, 1024}};
    display.adapters = {adapter};
  }

  // Start-up and the first turn of a full-screen run, ended by a quit.
  void Run() {
    host.mode_ = ModeFull;
    cycle.EnumerateMonitors();
    ASSERT_EQ(cycle.CreateSaverWindows(host), kSuccess);
    cycle.BuildDeviceList();
    cycle.ReadScreenSettings(settings);
    platform.queue.push_back({0, kMessageQuit, 0, 0});
    cycle.RunSaverLoop(host);
  }
  std::optional<std::uint32_t> Stored(std::u16string_view name) {
    const std::optional<SettingValue> value = store.Read(kScreen1Key, name);
    if (!value || value->bytes.size() != 4) return std::nullopt;
    return value->bytes[0] | value->bytes[1] << 8 | value->bytes[2] << 16 | std::uint32_t{value->bytes[3]} << 24;
  }

  test::CallLog log;
  test::FakePlatform platform{log};
  test::FakeDisplay display;
  SilentSceneSound sound;
  SaverFrameCycle cycle{platform, &display, sound, {}};
  CD3DScreensaver host{platform, cycle};
  test::MemorySettingsStore store;
  SaverSettings settings{store, kSettingsKeyPath};
};

TEST_F(ModeFallback, TheSystemHearsOfTheFullScreenSaverOnlyWhileItsLoopRuns) {
  Run();
  EXPECT_THAT(display.announcements, ElementsAre(true, false));

  // A test window is an ordinary program's.
  test::FakeDisplay windowed;
  windowed.monitors = display.monitors;
  windowed.adapters = display.adapters;
  SaverFrameCycle test_cycle{platform, &windowed, sound, {}};
  CD3DScreensaver test_host{platform, test_cycle};
  test_host.mode_ = ModeTest;
  test_cycle.EnumerateMonitors();
  ASSERT_EQ(test_cycle.CreateSaverWindows(test_host), kSuccess);
  test_cycle.BuildDeviceList();
  platform.queue.push_back({0, kMessageQuit, 0, 0});
  test_cycle.RunSaverLoop(test_host);
  EXPECT_TRUE(windowed.announcements.empty());
}

TEST_F(ModeFallback, AFirstTimeSuccessWritesNothing) {
  Run();
  EXPECT_FALSE(host.error_occurred_);
  EXPECT_THAT(display.device_heights, ElementsAre(1024u)) << "the desktop's mode";
  EXPECT_EQ(store.writes, 0);
}

TEST_F(ModeFallback, ALowerModeThatWorksIsStoredForTheScreenAndItsAdapter) {
  display.max_device_height = 700;
  Run();
  EXPECT_FALSE(host.error_occurred_);
  EXPECT_THAT(display.device_heights, ElementsAre(1024u, 768u, 600u));
  EXPECT_EQ(Stored(kValueWidth), 800u);
  EXPECT_EQ(Stored(kValueHeight), 600u);
  EXPECT_EQ(Stored(kValueFormat), kFormatX8R8G8B8);
  const std::optional<SettingValue> id = store.Read(kScreen1Key, kValueAdapterId);
  ASSERT_TRUE(id);
  EXPECT_EQ(id->type, SettingType::Binary);
  EXPECT_EQ(id->bytes.size(), 16u);
  EXPECT_EQ(id->bytes[2], 3);

  // The next start takes the stored mode directly.
  SaverFrameCycle next_cycle{platform, &display, sound, {}};
  CD3DScreensaver next_host{platform, next_cycle};
  display.device_heights.clear();
  display.windows.clear();
  next_host.mode_ = ModeFull;
  next_cycle.EnumerateMonitors();
  next_cycle.CreateSaverWindows(next_host);
  next_cycle.BuildDeviceList();
  next_cycle.ReadScreenSettings(settings);
  platform.queue.push_back({0, kMessageQuit, 0, 0});
  next_cycle.RunSaverLoop(next_host);
  EXPECT_THAT(display.device_heights, ElementsAre(600u));
}

TEST_F(ModeFallback, WhenNoModeWorksTheDeviceErrorShows) {
  display.max_device_height = 100;
  Run();
  EXPECT_TRUE(host.error_occurred_);
  EXPECT_EQ(host.error_code_, kErrorCannotCreateDevice);
  EXPECT_THAT(display.device_heights, ElementsAre(1024u, 768u, 600u, 480u));
  EXPECT_EQ(store.writes, 0);
}

}  // namespace
}  // namespace lumi
