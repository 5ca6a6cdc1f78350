// The resources as a script for windres, compiled into a Windows program's
// own resource section, where FindResourceW finds them.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "tools/embed/resource_entry.h"

namespace lumi::embed {

// What only the screen saver carries beside its entries: its icon (1), its
// string table, its dialogs, its version information and its manifest.
struct SaverExtras {
  std::string version;  // "major.minor.patch"
  std::string iconPath;
  std::string manifestPath;
};

// A text in the script, UTF-8 (windres runs with code page 65001): quotes
// double, backslashes and line ends are escaped as in C.
std::string QuotedText(std::u16string_view text);

// Throws std::invalid_argument for a path or version the script cannot
// hold.
std::string ResourceScript(const std::vector<Entry>& entries, const SaverExtras* saver);

}  // namespace lumi::embed
