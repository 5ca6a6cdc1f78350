#include "platform/gl/resident_drivers.h"

#include <dlfcn.h>
#include <link.h>

#include <string>
#include <string_view>
#include <vector>

namespace lumi {

void KeepGlDriversResident() {
  std::vector<std::string> drivers;
  dl_iterate_phdr(
      [](dl_phdr_info* info, size_t, void* found) {
        const std::string_view name = info->dlpi_name ? info->dlpi_name : "";
        if (name.ends_with("_dri.so")) static_cast<std::vector<std::string>*>(found)->emplace_back(name);
        return 0;
      },
      &drivers);
  // Opened again outside the iteration, which holds the loader's lock; the
  // handles are never closed.
  for (const std::string& driver : drivers) dlopen(driver.c_str(), RTLD_NOW | RTLD_NOLOAD | RTLD_NODELETE);
}

}  // namespace lumi
