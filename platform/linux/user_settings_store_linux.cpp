#include <cstdlib>

#include "platform/linux/file_settings_store.h"
#include "platform/user_settings_store.h"

namespace lumi {

std::unique_ptr<SettingsStore> OpenUserSettingsStore() {
  return std::make_unique<FileSettingsStore>(
      FileSettingsStore::DefaultPath([](const char* name) { return std::getenv(name); }));
}

}  // namespace lumi
