// Every stored setting as users read it: the file (or key) that holds
// them, then one line per value with its name, type, value and source.
#pragma once

#include <string>

#include "host/saver_settings.h"

namespace lumi {

std::string SettingsListing(SaverSettings& settings);

}  // namespace lumi
