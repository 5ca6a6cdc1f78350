// lumisave-settings: the saver's configuration dialogs in GTK 3. It opens no
// GL context: the saver itself, run with --list-devices, tells which
// monitors and renderers there are.
#include <gtk/gtk.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "archive/utf.h"
#include "host/configuration_model.h"
#include "host/device_records_json.h"
#include "host/saver_arguments.h"
#include "host/screensaver.h"
#include "host/string_table.h"
#include "platform/linux/child_process.h"
#include "platform/linux/companion_program.h"
#include "platform/linux/gtk/settings_dialogs.h"
#include "platform/user_settings_store.h"

namespace {

constexpr std::chrono::seconds kProbeLimit{5};

constexpr const char* kUsage =
    "usage: lumisave-settings [/c[:ID]]\n"
    "\n"
    "Shows the settings of the lumisave screen saver: the documents to play,\n"
    "the picture position, the display and the sound settings, kept in\n"
    "$XDG_CONFIG_HOME/lumisave/settings (~/.config when unset).\n"
    "\n"
    "  /c:ID       keep the dialog above the X window ID (decimal)\n"
    "  --help      show this text\n"
    "  --version   show the version\n"
    "\n"
    "Without a display, 'lumisave-tool settings' lists and changes the same.\n";

// The monitors and adapters as the saver sees them; nullopt, with the
// reason, when it is missing, fails, hangs or answers something else.
std::optional<lumi::DeviceRecords> ProbeDevices(std::string& error) {
  const std::optional<std::filesystem::path> saver = lumi::FindCompanionProgram(LUMI_SAVER_FROM_SETTINGS);
  if (!saver) {
    error = "the saver, lumisave, is not installed beside this program";
    return std::nullopt;
  }
  const std::optional<std::string> listing = lumi::RunForOutput(*saver, {"--list-devices"}, kProbeLimit, error);
  if (!listing) return std::nullopt;
  return lumi::DeviceRecordsFromJson(*listing, error);
}

// A start-up error as the saver would report it: its text on standard
// error, with the reason when there is one, and in a message box.
int ShowStartupError(lumi::HResult code, const std::string& reason, lumi::WindowHandle parent) {
  std::u16string text;
  lumi::LookUpErrorText(code, text);
  const std::string why = reason.empty() ? "" : " (" + reason + ")";
  std::fprintf(stderr, "lumisave-settings: %s%s\n", lumi::ToUtf8(text).c_str(), why.c_str());
  lumi::ShowErrorMessage(lumi::FindString(lumi::kStringWindowTitle).value_or(u""), text, parent);
  return 1;
}

}  // namespace

int main(int argc, char** argv) {
  // The saver's own switches, as the saver passed them on: /c:ID names the
  // window the dialogs belong to.
  lumi::SaverArguments arguments;
  try {
    arguments = lumi::ParseSaverArguments(std::vector<std::string>(argv, argv + argc),
                                          [](const char* name) { return std::getenv(name); });
  } catch (const lumi::UsageError& error) {
    std::fprintf(stderr, "lumisave-settings: %s\n\n%s", error.what(), kUsage);
    return 2;
  }
  if (arguments.action == lumi::SaverArguments::Action::Help) {
    std::fputs(kUsage, stdout);
    return 0;
  }
  if (arguments.action == lumi::SaverArguments::Action::Version) {
    std::printf("lumisave-settings %s\n", LUMI_VERSION);
    return 0;
  }
  if (std::getenv("DISPLAY") == nullptr && std::getenv("WAYLAND_DISPLAY") == nullptr) {
    std::fprintf(stderr,
                 "lumisave-settings: no display to show the settings on; 'lumisave-tool settings' lists and "
                 "changes them without one\n");
    return 1;
  }
  // GTK 3 draws with Cairo; without this GDK would still load the GL driver
  // to choose its visuals.
  setenv("GDK_GL", "disable", 1);
  if (!gtk_init_check(&argc, &argv)) {
    std::fprintf(stderr, "lumisave-settings: cannot open the display %s\n",
                 std::getenv("DISPLAY") != nullptr ? std::getenv("DISPLAY") : std::getenv("WAYLAND_DISPLAY"));
    return 1;
  }
  const lumi::WindowHandle parent = arguments.parsed.parent_window;

  std::string error;
  const std::optional<lumi::DeviceRecords> records = ProbeDevices(error);
  // A probe that failed, hung or printed garbage: no OpenGL to speak of.
  if (!records) return ShowStartupError(lumi::kErrorNoDirect3D, error, parent);
  lumi::DialogDevices devices = lumi::MakeDialogDevices(*records);
  if (devices.best < 0) return ShowStartupError(lumi::kErrorNoCompatibleDevices, "", parent);
  const std::unique_ptr<lumi::SettingsStore> store = lumi::OpenUserSettingsStore();
  lumi::SaverSettings settings(*store, lumi::kSettingsKeyPath);
  lumi::ConfigurationModel model(settings, std::move(devices.adapters), devices.best);
  lumi::RunConfigurationDialog(model, parent);
  return 0;
}
