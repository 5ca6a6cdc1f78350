#include "scene/resource_access.h"

namespace lumi {

ResourceAccess& DocumentResourceAccess() {
  static ResourceAccess access;
  return access;
}

}  // namespace lumi
