// The executable's own resources on Windows: its resource section, through
// the system's resource calls, as the build's resource script put them there.
#include "platform/windows_api.h"

#include "platform/resource_lookup.h"
#include "platform/windows/wide_text.h"

namespace lumi {
namespace {

class Win32ExecutableModule : public ResourceModule {
 public:
  std::optional<std::span<const std::uint8_t>> Find(const PeResourceName& type, std::uint16_t id) const override {
    // A named type is looked up by its name (Windows compares it without
    // regard to case, as our own PE reader does).
    const std::wstring typeName = type.IsNumber() ? std::wstring() : ToWide(type.Name());
    const wchar_t* typeKey = type.IsNumber() ? MAKEINTRESOURCEW(type.Number()) : typeName.c_str();
    HRSRC found = FindResourceW(nullptr, MAKEINTRESOURCEW(id), typeKey);
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

}  // namespace lumi
