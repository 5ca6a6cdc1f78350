// Resource lookup on Linux: the executable's own resources are the table the
// build packed under the empty module name; its folder comes from
// /proc/self/exe, the user's data folder from the XDG variables.
#include <cstdlib>
#include <string>
#include <system_error>

#include "platform/embedded_module.h"
#include "platform/resource_lookup.h"
#include "platform/resource_lookup_os.h"

namespace lumi {

const ResourceModule& ExecutableModule() {
  static const EmbeddedModule executable{std::u16string()};
  return executable;
}

namespace os {

std::filesystem::path ExecutableDirectory() {
  std::error_code ec;
  const std::filesystem::path executable = std::filesystem::read_symlink("/proc/self/exe", ec);
  return ec ? std::filesystem::path() : executable.parent_path();
}

std::filesystem::path UserDataDirectory() {
  if (const char* data = std::getenv("XDG_DATA_HOME"); data && *data == '/') return data;
  if (const char* home = std::getenv("HOME"); home && *home == '/') return std::filesystem::path(home) / ".local/share";
  return {};
}

}  // namespace os
}  // namespace lumi
