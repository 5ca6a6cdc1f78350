#include "effects/brush_obj.h"

#include "scene/resource_access.h"

namespace lumi {

DS_BrushObj::DS_BrushObj(std::unique_ptr<DS_FX_Constructor> effect) : DS_ABObj(std::move(effect)) {
  const ResourceAccess& resources = DocumentResourceAccess();
  Effect().LoadEffect(resources.mask != nullptr ? resources.mask(Effect().brush_id) : nullptr);
}

}  // namespace lumi
