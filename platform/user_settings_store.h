// The current user's settings store as the saver, its settings program and
// the tool all open it: the registry on Windows, the settings file
// elsewhere.
#pragma once

#include <memory>

#include "platform/settings_store.h"

namespace lumi {

std::unique_ptr<SettingsStore> OpenUserSettingsStore();

}  // namespace lumi
