// The settings file's text: the registry's export format, so a user can
// read and edit it.
//
//   [Software\Quillborne\Lumivex\Screensaver]
//   "\"PicPos\""=dword:00000002
//   "Adapter ID"=hex:00,1f,...
//
// Keys and value names compare without regard to ASCII case, as the
// registry compares them. Names are quoted with \" and \\ escaped.
#pragma once

#include <map>
#include <stdexcept>
#include <string>
#include <string_view>

#include "platform/settings_store.h"

namespace lumi {

struct CaseInsensitiveLess {
  bool operator()(std::u16string_view a, std::u16string_view b) const;
  using is_transparent = void;
};

using SettingsKey = std::map<std::u16string, SettingValue, CaseInsensitiveLess>;
using SettingsTree = std::map<std::u16string, SettingsKey, CaseInsensitiveLess>;

// Key paths are kept without leading or trailing backslashes.
std::u16string NormaliseKeyPath(std::u16string_view path);

class SettingsSyntaxError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

std::string FormatSettings(const SettingsTree& tree);
// Throws SettingsSyntaxError naming the line and what was wrong with it.
SettingsTree ParseSettings(std::string_view text);

}  // namespace lumi
