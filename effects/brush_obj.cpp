#include "effects/brush_obj.h"

#include "scene/resource_access.h"

namespace lumi {

DS_BrushObj::DS_BrushObj(std::unique_ptr<DS_FX_Constructor> effect) : DS_ABObj(std::move(effect)) {
  const ResourceAccess& resources = DocumentResourceAccess();
  ImageEffect().LoadEffect(resources.mask != nullptr ? resources.mask(ImageEffect().brush_id) : nullptr);
}

}  // namespace lumi
