#include "scene/render_obj_data.h"

#include "params/param_archive.h"
#include "scene/inert_render_obj.h"
#include "scene/notices.h"
#include "timing/timeline_control.h"

namespace lumi {

void VRN_RenderObjData::Describe(Archive& ar) {
  ar.Guid("identity", identity);
  Member(ar, "timing", timing);
}

void DS_ABObj_Constructor::Describe(Archive& ar) {
  const int v = ar.version();
  ar.WString("name", name);
  if (v >= 3) UIntField(ar, "depth", depth, Apply::Direct);
  if (v == 1) {
    timing.value = VRN_SmartTiming::kContinuous;
    timing.Notify(nullptr);
  } else if (v == 2 || v == 3) {
    // No identity before version 4: it stays zero.
    DS_TimeLineControl old;
    Member(ar, "timeline_control", old);
    old.ConvertInto(timing);
  } else if (v >= 4) {
    BaseRecordOf<VRN_RenderObjData>(ar, this);
  }
}

std::unique_ptr<VRN_RenderObj> DS_ABObj_Constructor::CreateRenderObject() const {
  AddNoticeOnce(std::string(ClassName()) + " plays inert");
  return std::make_unique<InertRenderObject>(Clone());
}

}  // namespace lumi
