// The resources as a script for windres, compiled into a Windows program's
// own resource section, where FindResourceW finds them.
#pragma once

#include <string>
#include <vector>

#include "tools/embed/resource_entry.h"

namespace lumi::embed {

// What only the screen saver carries beside its entries: its icon (1), its
// string table, its version information and its manifest.
struct SaverExtras {
  std::string version;  // "major.minor.patch"
  std::string iconPath;
  std::string manifestPath;
};

// Throws std::invalid_argument for a path or version the script cannot
// hold.
std::string ResourceScript(const std::vector<Entry>& entries, const SaverExtras* saver);

}  // namespace lumi::embed
