// The settings store on Linux: one text file (platform/settings_text.h),
// by default $XDG_CONFIG_HOME/lumisave/settings. Every write reads the
// file, changes the one value and replaces the file atomically (a new file
// synced to disk, then renamed over the old) while holding a lock, so two
// saver processes never lose each other's values and a crash never leaves
// half a file. A garbled file is set aside with a message; defaults apply.
//
// Implements SettingsStore: every read, write and its location.
// Does not: keep values of other programs; one file holds the saver's keys.
#pragma once

#include <filesystem>
#include <functional>

#include "platform/settings_store.h"
#include "platform/settings_text.h"

namespace lumi {

class FileSettingsStore : public SettingsStore {
 public:
  explicit FileSettingsStore(std::filesystem::path file);

  // $XDG_CONFIG_HOME/lumisave/settings, with ~/.config when that is unset
  // or not absolute; empty when neither it nor HOME is set.
  static std::filesystem::path DefaultPath(const std::function<const char*(const char*)>& environment);

  std::optional<SettingValue> Read(std::u16string_view key, std::u16string_view name) override;
  bool Write(std::u16string_view key, std::u16string_view name, const SettingValue& value) override;
  std::string Location() const override { return file_.string(); }

 private:
  // The file's values; a garbled file is moved aside and counts as empty.
  SettingsTree Load();

  std::filesystem::path file_;
};

}  // namespace lumi
