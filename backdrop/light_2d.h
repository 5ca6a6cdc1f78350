// The slide backdrop: the picture layer of a slide, with its camera.
#pragma once

#include "archive/archive.h"
#include "params/file_link.h"
#include "scene/ab_render.h"
#include "scene/camera.h"

namespace lumi {

class DS_2D_Light : public DS_ABRender, public DS_IOF_Item {
  LUMI_STORED_CLASS(DS_2D_Light, 3)

 public:
  void Describe(Archive& ar) override;

  DS_ImageFileLink picture{DS_FileLink3::ModuleKey(u"common_res.dll", 6)};
  DSM_Camera camera;
};

}  // namespace lumi
