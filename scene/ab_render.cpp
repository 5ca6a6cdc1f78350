#include "scene/ab_render.h"

#include "scene/render_obj.h"

namespace lumi {

void DS_ABRender::DrawObjects(const RenderList& objects, int& passes) { DrawRenderList(*this, objects, passes); }

namespace {

// Only scene objects carry a depth; anything else sits on the picture's plane.
unsigned int DepthOf(const VRN_RenderObj& object) {
  const auto* scene_object = dynamic_cast<const DS_ABObj*>(&object);
  return scene_object != nullptr ? scene_object->settings().depth.value : 100;
}

}  // namespace

void DrawRenderList(DS_ABRender& backdrop, const RenderList& objects, int& passes) {
  const D3DXVECTOR3 offset = backdrop.CameraOffset();
  for (auto it = objects.rbegin(); it != objects.rend(); ++it) {
    VRN_RenderObj& object = **it;
    if (!object.enabled) continue;
    backdrop.SetWorldTranslation(offset * DepthFactor(DepthOf(object)));
    object.RenderWithBackground(backdrop, passes);
  }
}

}  // namespace lumi
