#include "scene/render_obj.h"

#include <algorithm>

#include "scene/ab_render.h"
#include "scene/fresh_guid.h"

namespace lumi {

VRN_RenderObj::VRN_RenderObj(VRN_RenderObjData* object_data) : data(object_data) {
  if (data->identity.IsZero() || !data->keep_identity) data->identity = NewGuid();
  EnterIdentity(data->identity, this);
}

void VRN_RenderObj::RenderWithBackground(DS_ABRender& backdrop, int& passes) {
  if (NeedsBackground()) backdrop.NextPass(passes);
  Render(backdrop);
}

void VRN_RenderObj::Restart() {
  data->timing.current().Reset();
  data->OnRestart();
}

DS_ABObj::DS_ABObj(std::unique_ptr<DS_ABObj_Constructor> settings)
    : VRN_RenderObj(settings.get()), settings_(std::move(settings)) {}

DS_ABObj::~DS_ABObj() { RemoveIdentity(settings_->identity); }

float DepthFactor(unsigned int depth) { return 100.0f / static_cast<float>(std::max(depth, 1u)) - 1.0f; }

}  // namespace lumi
