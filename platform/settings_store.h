// The user's settings as the Windows registry keeps them: values of a type
// (text, 32-bit number or bytes) under names, in keys named by paths. Windows
// gives the registry itself; elsewhere a file stands in for it.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace lumi {

enum class SettingType : std::uint32_t {
  String = 1,  // REG_SZ: UTF-16LE code units and a terminating zero
  Binary = 3,  // REG_BINARY
  Dword = 4,   // REG_DWORD, little-endian
};

struct SettingValue {
  SettingType type = SettingType::Dword;
  std::vector<std::uint8_t> bytes;
  bool operator==(const SettingValue&) const = default;

  static SettingValue Dword(std::uint32_t value);
  static SettingValue String(std::u16string_view text);
  // The text of a String value, up to its first zero; nullopt for another
  // type or an odd byte count.
  std::optional<std::u16string> Text() const;
};

class SettingsStore {
 public:
  virtual ~SettingsStore() = default;
  // `key` is a path below the user's root, its parts separated by
  // backslashes. nullopt when the key or the value is missing.
  virtual std::optional<SettingValue> Read(std::u16string_view key, std::u16string_view name) = 0;
  // Creates the key when missing. False when the value could not be kept.
  virtual bool Write(std::u16string_view key, std::u16string_view name, const SettingValue& value) = 0;
  // Where the values live, for the user to find.
  virtual std::string Location() const = 0;
};

}  // namespace lumi
