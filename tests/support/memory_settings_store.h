// Settings kept in memory with the registry's rules, for tests of what is
// read and written without a file or a registry.
#pragma once

#include <map>
#include <string>
#include <utility>

#include "platform/settings_store.h"

namespace lumi::test {

class MemorySettingsStore : public SettingsStore {
 public:
  std::optional<SettingValue> Read(std::u16string_view key, std::u16string_view name) override {
    const auto found = values.find({std::u16string(key), std::u16string(name)});
    if (found == values.end()) return std::nullopt;
    return found->second;
  }
  bool Write(std::u16string_view key, std::u16string_view name, const SettingValue& value) override {
    ++writes;
    values[{std::u16string(key), std::u16string(name)}] = value;
    return true;
  }
  std::string Location() const override { return "memory"; }

  // Keyed by (key path, value name).
  std::map<std::pair<std::u16string, std::u16string>, SettingValue> values;
  int writes = 0;
};

}  // namespace lumi::test
