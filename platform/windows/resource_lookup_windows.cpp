// Resource lookup on Windows: the executable's own resources are its
// resource section, read through the system's resource calls as the build's
// resource script put them there; its folder comes from
// GetModuleFileNameW, the user's data folder from %APPDATA%.
#include "platform/windows_api.h"

#include <cstdlib>
#include <iterator>
#include <string>

#include "platform/resource_lookup.h"
#include "platform/resource_lookup_os.h"
#include "platform/windows/wide_text.h"

namespace lumi {
namespace {

class Win32ExecutableModule : public ResourceModule {
 public:
  std::optional<std::span<const std::uint8_t>> Find(const PeResourceName& type, std::uint16_t id) const override {
    // A named type is looked up by its name (Windows compares it without
    // regard to case, as our own PE reader does).
    const std::wstring type_name = type.IsNumber() ? std::wstring() : ToWide(type.Name());
    const wchar_t* type_key = type.IsNumber() ? MAKEINTRESOURCEW(type.Number()) : type_name.c_str();
    HRSRC found = FindResourceW(nullptr, MAKEINTRESOURCEW(id), type_key);
    if (!found) return std::nullopt;
    HGLOBAL loaded = LoadResource(nullptr, found);
    const void* bytes = loaded ? LockResource(loaded) : nullptr;
    if (!bytes) return std::nullopt;
    // Resources stay mapped with the executable for the life of the process.
    return std::span(static_cast<const std::uint8_t*>(bytes), SizeofResource(nullptr, found));
  }
};

}  // namespace

const ResourceModule& ExecutableModule() {
  static const Win32ExecutableModule executable;
  return executable;
}

namespace os {

std::filesystem::path ExecutableDirectory() {
  wchar_t buffer[32768];
  const DWORD length = GetModuleFileNameW(nullptr, buffer, static_cast<DWORD>(std::size(buffer)));
  if (length == 0 || length >= std::size(buffer)) return {};
  return std::filesystem::path(std::wstring(buffer, length)).parent_path();
}

std::filesystem::path UserDataDirectory() {
  if (const wchar_t* app_data = _wgetenv(L"APPDATA"); app_data && *app_data) return app_data;
  return {};
}

}  // namespace os
}  // namespace lumi
