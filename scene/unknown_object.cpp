#include "scene/unknown_object.h"

#include "archive/registry.h"
#include "scene/inert_render_obj.h"

namespace lumi {

static const RegisterUnknownClass<UnknownSceneObject> kRegister(Family::General);

std::unique_ptr<VRN_RenderObj> UnknownSceneObject::CreateRenderObject() const {
  return std::make_unique<InertRenderObject>(Clone());
}

}  // namespace lumi
