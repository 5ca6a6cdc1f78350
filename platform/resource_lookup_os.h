// What each system provides for platform/resource_lookup.cpp; each also
// defines ExecutableModule() (resource_lookup.h).
#pragma once

#include <filesystem>

namespace lumi::os {

// The folder of the running executable; empty when the system will not say.
std::filesystem::path ExecutableDirectory();
// The user's own data folder; empty when the environment names none.
std::filesystem::path UserDataDirectory();

}  // namespace lumi::os
