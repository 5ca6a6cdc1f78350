// lumisave on Windows: the screen saver the Display control panel starts
// with its switches (/s, /p HWND, /c[:HWND], /a HWND, /t).
#include <cstdio>

#include "host/pending_saver_parts.h"
#include "host/process_entry.h"
#include "host/saver_settings.h"
#include "host/screensaver.h"
#include "platform/user_settings_store.h"
#include "platform/windows/windows_saver_platform.h"

int wmain() {
  lumi::WindowsSaverPlatform platform;
  if (lumi::ParseCommandLine(platform.CommandLine()).mode == lumi::ModeConfigure) {
    std::fputs("lumisave: the settings dialog is not yet available on this build\n", stderr);
  }
  const std::unique_ptr<lumi::SettingsStore> store = lumi::OpenUserSettingsStore();
  lumi::SaverSettings settings(*store, lumi::kSettingsKeyPath);
  lumi::PendingSaverParts parts;
  lumi::CVovorScreensaver host(platform, parts, nullptr, &settings);
  return parts.ExitCode(lumi::RunSaverProcess(host, lumi::WindowsSaverPlatform::ExecutableInstance()));
}
