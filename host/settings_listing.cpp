#include "host/settings_listing.h"

#include <cstdio>

#include "archive/utf.h"
#include "host/device_choice.h"

namespace lumi {

std::string SettingsListing(SaverSettings& settings) {
  std::string text = "Settings file: " + settings.Location() + "\n";
  for (const ListedSetting& setting : settings.List(static_cast<int>(kMaxMonitors))) {
    const std::string name = ToUtf8(setting.key.empty() ? setting.name : setting.key + u"\\" + setting.name);
    char line[256];
    std::snprintf(line, sizeof line, "%-28s %-7s %-34s %s\n", name.c_str(), setting.type.c_str(),
                  setting.value.c_str(), setting.source.c_str());
    text += line;
  }
  return text;
}

}  // namespace lumi
