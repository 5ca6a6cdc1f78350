// lumisave-settings: the saver's configuration dialogs in GTK 3. It opens no
// GL context: the saver itself, run with --list-devices, tells which
// monitors and renderers there are.
#include <gtk/gtk.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "host/configuration_model.h"
#include "host/device_records_json.h"
#include "host/screensaver.h"
#include "host/string_table.h"
#include "platform/linux/child_process.h"
#include "platform/linux/file_settings_store.h"
#include "platform/linux/gtk/settings_dialogs.h"

namespace {

constexpr std::chrono::seconds kProbeLimit{5};

// The saver beside this program, else where it is installed; never one
// found through PATH or the working folder.
std::filesystem::path FindSaver() {
  std::error_code error;
  const std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", error);
  if (!error && std::filesystem::exists(self.parent_path() / "lumisave")) return self.parent_path() / "lumisave";
  return LUMI_INSTALLED_SAVER;
}

std::u16string ErrorText(lumi::HResult code) {
  std::u16string text;
  lumi::LookUpErrorText(code, text);
  return text;
}

}  // namespace

int main(int argc, char** argv) {
  if (std::getenv("DISPLAY") == nullptr && std::getenv("WAYLAND_DISPLAY") == nullptr) {
    std::fprintf(stderr,
                 "lumisave-settings: no display to show the settings on; 'lumisave-tool settings' lists and "
                 "changes them without one\n");
    return 1;
  }
  // GTK 3 draws with Cairo; without this GDK would still load the GL driver
  // to choose its visuals.
  setenv("GDK_GL", "disable", 1);
  gtk_init(&argc, &argv);
  const std::u16string title(lumi::FindString(lumi::kStringWindowTitle).value_or(u""));

  std::string error;
  std::optional<lumi::DeviceRecords> records;
  if (const std::optional<std::string> listing = lumi::RunForOutput(FindSaver(), {"--list-devices"}, kProbeLimit, error)) {
    records = lumi::DeviceRecordsFromJson(*listing, error);
  }
  if (!records) {
    // A probe that failed, hung or printed garbage: no OpenGL to speak of.
    std::fprintf(stderr, "lumisave-settings: %s\n", error.c_str());
    lumi::ShowErrorMessage(title, ErrorText(lumi::kErrorNoDirect3D));
    return 1;
  }
  lumi::DialogDevices devices = lumi::MakeDialogDevices(*records);
  if (devices.best < 0) {
    lumi::ShowErrorMessage(title, ErrorText(lumi::kErrorNoCompatibleDevices));
    return 1;
  }
  lumi::FileSettingsStore store(lumi::FileSettingsStore::DefaultPath([](const char* name) { return std::getenv(name); }));
  lumi::SaverSettings settings(store, lumi::kSettingsKeyPath);
  lumi::ConfigurationModel model(settings, std::move(devices.adapters), devices.best);
  lumi::RunConfigurationDialog(model);
  return 0;
}
