#include "platform/windows/registry_settings_store.h"

#include "platform/windows_api.h"

#include <algorithm>

#include "archive/utf.h"
#include "platform/windows/wide_text.h"

namespace lumi {
namespace {

// Values larger than this are not settings of ours: they are not read.
constexpr DWORD kMaxValueBytes = 4096;

// Closes the key when the access is over.
class OpenKey {
 public:
  explicit OpenKey(const std::wstring& path) {
    if (RegCreateKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS, nullptr,
                        &key_, nullptr) != ERROR_SUCCESS) {
      key_ = nullptr;
    }
  }
  ~OpenKey() {
    if (key_) RegCloseKey(key_);
  }
  OpenKey(const OpenKey&) = delete;
  OpenKey& operator=(const OpenKey&) = delete;
  HKEY Get() const { return key_; }

 private:
  HKEY key_ = nullptr;
};

}  // namespace

RegistrySettingsStore::RegistrySettingsStore(std::u16string root) : root_(std::move(root)) {}

std::wstring RegistrySettingsStore::KeyPath(std::u16string_view key) const {
  // The saver's key path ends in a backslash; the registry wants none at
  // either end, nor empty parts between.
  std::wstring path;
  for (const std::u16string_view parts : {std::u16string_view(root_), key}) {
    std::size_t start = 0;
    while (start <= parts.size()) {
      const std::size_t end = std::min(parts.find(u'\\', start), parts.size());
      if (end > start) path += (path.empty() ? L"" : L"\\") + ToWide(parts.substr(start, end - start));
      start = end + 1;
    }
  }
  return path;
}

std::optional<SettingValue> RegistrySettingsStore::Read(std::u16string_view key, std::u16string_view name) {
  const OpenKey open(KeyPath(key));
  if (!open.Get()) return std::nullopt;
  const std::wstring value_name = ToWide(name);
  DWORD type = 0;
  DWORD size = 0;
  if (RegQueryValueExW(open.Get(), value_name.c_str(), nullptr, &type, nullptr, &size) != ERROR_SUCCESS ||
      size > kMaxValueBytes) {
    return std::nullopt;
  }
  SettingValue value;
  // Any type is read as it is; the settings' own rules judge the bytes.
  value.type = type == REG_DWORD ? SettingType::Dword : type == REG_SZ ? SettingType::String : SettingType::Binary;
  value.bytes.resize(size);
  if (RegQueryValueExW(open.Get(), value_name.c_str(), nullptr, &type, value.bytes.data(), &size) != ERROR_SUCCESS) {
    return std::nullopt;
  }
  // The value may have shrunk between the two calls.
  value.bytes.resize(size);
  return value;
}

bool RegistrySettingsStore::Write(std::u16string_view key, std::u16string_view name, const SettingValue& value) {
  const OpenKey open(KeyPath(key));
  if (!open.Get()) return false;
  const DWORD type = value.type == SettingType::Dword    ? REG_DWORD
                     : value.type == SettingType::String ? REG_SZ
                                                         : REG_BINARY;
  return RegSetValueExW(open.Get(), ToWide(name).c_str(), 0, type, value.bytes.data(),
                        static_cast<DWORD>(value.bytes.size())) == ERROR_SUCCESS;
}

std::string RegistrySettingsStore::Location() const {
  const std::wstring path = KeyPath(u"");
  return "HKEY_CURRENT_USER" + (path.empty() ? "" : "\\" + ToUtf8(std::u16string(path.begin(), path.end())));
}

}  // namespace lumi
