// The resources as a C++ source that registers them, before main, as one
// module's table (platform/resource_lookup.h): how a build whose system has
// no resources of its own carries them.
#pragma once

#include <string>
#include <vector>

#include "tools/embed/resource_entry.h"

namespace lumi::embed {

// An empty module name is the executable's own table.
std::string TableSource(const std::string& moduleName, const std::vector<Entry>& entries);

}  // namespace lumi::embed
