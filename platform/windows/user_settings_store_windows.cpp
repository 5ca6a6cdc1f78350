#include "platform/user_settings_store.h"
#include "platform/windows/registry_settings_store.h"

namespace lumi {

std::unique_ptr<SettingsStore> OpenUserSettingsStore() { return std::make_unique<RegistrySettingsStore>(); }

}  // namespace lumi
