// A scene object of a class this program does not know: it keeps the
// record's bytes to write them back, keeps its place in its slide's list and
// plays nothing. Its timeline is the default one and follows nothing.
#pragma once

#include "archive/unknown_record.h"
#include "scene/render_obj_data.h"

namespace lumi {

class UnknownSceneObject final : public DS_ABObj_Constructor, public UnknownRecord {
  LUMI_UNKNOWN_CLASS
  LUMI_CONSTRUCTOR_CLONE(UnknownSceneObject)

 public:
  // Inert, without the notice of classes that play inert: the load has
  // already said that its layout is not known.
  std::unique_ptr<VRN_RenderObj> CreateRenderObject() const override;
};

}  // namespace lumi
