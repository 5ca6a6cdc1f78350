// The settings store on Windows: the current user's registry. Every access
// opens the key with RegCreateKeyExW (creating it when missing), reads or
// writes one value and closes the key again, so two saver processes (the
// preview and the settings dialog) always see each other's values.
//
// Implements SettingsStore: every read, write and its location.
// Does not: watch the registry; each access reads afresh instead.
#pragma once

#include "platform/settings_store.h"

namespace lumi {

class RegistrySettingsStore : public SettingsStore {
 public:
  // Keys are paths below HKEY_CURRENT_USER\<root>; the saver's store has
  // an empty root, tests give a scratch key of their own.
  explicit RegistrySettingsStore(std::u16string root = {});

  std::optional<SettingValue> Read(std::u16string_view key, std::u16string_view name) override;
  bool Write(std::u16string_view key, std::u16string_view name, const SettingValue& value) override;
  std::string Location() const override;

 private:
  // The full path below HKEY_CURRENT_USER, without empty parts.
  std::wstring KeyPath(std::u16string_view key) const;

  std::u16string root_;
};

}  // namespace lumi
