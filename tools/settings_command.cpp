// lumisave-tool settings: the saver's stored settings, listed or changed one
// at a time through the same store the saver and its dialogs use. Needs no
// display.
#include <cstdio>
#include <cstdlib>
#include <filesystem>

#include "host/saver_settings.h"
#include "host/screensaver.h"
#include "host/setting_assignment.h"
#include "host/settings_listing.h"
#include "platform/user_settings_store.h"
#include "tools/command.h"

namespace lumi::tool::settings_command {
namespace {

constexpr char kUsageText[] =
    "Usage: lumisave-tool settings\n"
    "       lumisave-tool settings set NAME VALUE\n"
    "\n"
    "Lists every setting of the saver with its type, value and source (stored\n"
    "or default) and the file that holds them, or stores one value.\n"
    "NAME is Document (a document or a folder whose documents play in turn;\n"
    "'' for the demo), Shuffle Documents, PicPos, SoundVolume, SoundBalance,\n"
    "MuteSound, AllScreensSame, or\n"
    "'Screen N/NAME' for Leave Black, Disable Hardware, Width, Height and\n"
    "Format of screen N (1 to 9), in any case. PicPos also takes stretch, fit\n"
    "and fill.\n"
    "\"Adapter ID\" is read-only. The file is $XDG_CONFIG_HOME/lumisave/settings\n"
    "(~/.config when unset).\n";

int Run(const std::vector<std::string>& args) {
  Arguments arguments(args);
  const std::vector<std::string> words = arguments.Positional();
  const std::unique_ptr<SettingsStore> store = OpenUserSettingsStore();
  SaverSettings settings(*store, kSettingsKeyPath);
  if (words.empty()) {
    std::fputs(SettingsListing(settings).c_str(), stdout);
    return kSuccess;
  }
  if (words[0] != "set" || words.size() != 3) throw UsageError{"expected nothing, or set NAME VALUE"};
  const SettingAssignment assignment = ParseSettingAssignment(words[1], words[2], kSettingsKeyPath);
  if (!assignment.error.empty()) {
    std::fprintf(stderr, "lumisave-tool settings: %s\n", assignment.error.c_str());
    return kUsage;
  }
  SettingValue value = SettingValue::Dword(assignment.value);
  if (assignment.text) {
    // The saver runs from elsewhere: the document is kept by its full path.
    std::filesystem::path document(*assignment.text);
    std::error_code ec;
    if (!document.empty() && !std::filesystem::exists(document, ec)) {
      std::fprintf(stderr, "lumisave-tool settings: %s: no such document or folder\n", document.string().c_str());
      return kBadInput;
    }
    if (!document.empty()) document = std::filesystem::absolute(document).lexically_normal();
    if (!document.empty() && !document.has_filename()) document = document.parent_path();
    value = SettingValue::String(document.u16string());
  }
  if (!store->Write(assignment.key, assignment.name, value)) {
    std::fprintf(stderr, "lumisave-tool settings: cannot write %s\n", store->Location().c_str());
    return kBadInput;
  }
  return kSuccess;
}

const RegisterCommand kRegister({"settings", "list or change the saver's stored settings", kUsageText, Run});

}  // namespace
}  // namespace lumi::tool::settings_command
