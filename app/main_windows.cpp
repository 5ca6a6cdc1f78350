// lumisave on Windows: the screen saver the Display control panel starts
// with its switches (/s, /p HWND, /c[:HWND], /a HWND, /t).
#include <cstdio>
#include <memory>
#include <string>

#include "host/document_scene_host.h"
#include "host/frame_cycle.h"
#include "host/process_entry.h"
#include "host/saver_settings.h"
#include "host/screensaver.h"
#include "platform/user_settings_store.h"
#include "platform/windows/dialogs/settings_dialogs_windows.h"
#include "platform/windows/performance_clock.h"
#include "platform/windows/saver_display_windows.h"
#include "platform/windows/saver_platform_windows.h"
#include "platform/windows/sound/scene_sound_windows.h"
#include "sound/scene_sound.h"

int wmain() {
  lumi::WindowsSaverPlatform platform;
  const lumi::SaverMode mode = lumi::ParseCommandLine(platform.CommandLine()).mode;
  // The configuration shows the monitors and adapters the saver draws on.
  const bool configuring = mode == lumi::ModeConfigure;
  const std::unique_ptr<lumi::SettingsStore> store = lumi::OpenUserSettingsStore();
  lumi::SaverSettings settings(*store, lumi::kSettingsKeyPath);

  const bool drawing = mode == lumi::ModePreview || mode == lumi::ModeFull || mode == lumi::ModeTest;
  std::unique_ptr<lumi::SaverDisplay> display;
  if (drawing || configuring) display = lumi::CreateWin32SaverDisplay(platform);

  // Modes that draw nothing have no sound.
  const std::unique_ptr<lumi::SceneSound> made_sound =
      drawing ? lumi::MakeWindowsSceneSound([&settings] { return settings.Sound(); },
                                            [](const std::string& line) {
                                              std::fprintf(stderr, "lumisave: %s\n", line.c_str());
                                            })
              : std::make_unique<lumi::SilentSceneSound>();
  lumi::SceneSound& sound = *made_sound;
  lumi::DocumentSceneHost scene_host(
      sound, [](std::size_t) { return lumi::LoadDocument(lumi::ReadCarriedDocument()); },
      [&settings] { return static_cast<lumi::PlacementMode>(settings.PicturePosition()); });
  lumi::FrameCycleOptions options;
  const lumi::TickClock clock = lumi::PerformanceCounterClock();
  options.timer = lumi::FrameTimer(clock.ticks, clock.frequency);
  lumi::SaverFrameCycle parts(platform, display.get(), sound, std::move(options));
  lumi::CVovorScreensaver host(platform, parts, &scene_host, &settings);
  if (configuring) {
    host.SetConfigurationDialogs(
        [&](lumi::WindowHandle owner) { lumi::ShowConfigurationDialogs(*display, settings, owner); });
  }
  const int result = lumi::RunSaverProcess(host);
  return parts.WindowsMissing() ? 1 : result;
}
