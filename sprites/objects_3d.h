// Small 3D models over the picture: butterflies, an analogue clock, and a
// drift of falling leaves (or any small mesh) carried in the document.
#pragma once

#include <array>

#include "archive/archive.h"
#include "archive/blobs.h"
#include "params/file_link.h"
#include "params/quad_rect.h"
#include "params/typed_param.h"
#include "scene/render_obj_data.h"
#include "sprites/sprite_constructors.h"

namespace lumi {

// Instances of one or two meshes living in the view rectangle.
class DS_3D_Obj_Ctrl : public DS_ViewObjCtrl {
  LUMI_STORED_CLASS(DS_3D_Obj_Ctrl, 1)

 public:
  void Describe(Archive& ar) override;

  MediaParamT<unsigned int> count{1};  // instances
  MediaParamT<unsigned int> scale{50};
  DS_ImageFileLink texture;
  DS_MeshFile mesh;
};

class DS_ButterflyConstructor : public DS_3D_Obj_Ctrl {
  LUMI_STORED_CLASS(DS_ButterflyConstructor, 2)
  LUMI_CONSTRUCTOR_CLONE(DS_ButterflyConstructor)

 public:
  DS_ButterflyConstructor();
  void Describe(Archive& ar) override;

  DS_ImageFileLink body_texture{DS_FileLink3::ModuleKey(u"common_res.dll", 6)};
  DS_MeshFile body_mesh{DS_FileLink3::ModuleKey(u"common_res.dll", 68)};
  // Stored and copied; nothing reads them while playing.
  UINTSclaleTo<float> slider_a{50, 1.0f, 0.0f};
  UINTSclaleTo<float> slider_b{50, 1.0f, 0.0f};
  MediaParamT<float> wing_scale{1.0f};
};

class DS_ClockConstructor : public DS_3D_Obj_Ctrl {
  LUMI_STORED_CLASS(DS_ClockConstructor, 1)
  LUMI_CONSTRUCTOR_CLONE(DS_ClockConstructor)

 public:
  DS_ClockConstructor();
  void Describe(Archive& ar) override;

  // The edges around the clock, and its centre as the point.
  MediaRectangle placement;
  DS_ImageFileLink hand_texture{DS_FileLink3::ModuleKey(u"common_res.dll", 72)};
};

// A drift of small meshes streaming across the picture, the mesh and its
// texture carried in the record itself.
class DS_3D_in_2D_array_Constructor : public DS_ABObj_Constructor {
  LUMI_STORED_CLASS(DS_3D_in_2D_array_Constructor, 1)
  LUMI_CONSTRUCTOR_CLONE(DS_3D_in_2D_array_Constructor)

 public:
  void Describe(Archive& ar) override;

  // Along the drift: (cos a, −sin a); across it: (−sin a, −cos a).
  std::array<float, 2> MainDirection() const;
  std::array<float, 2> CrossDirection() const;

  // The record starts with a name of its own, which becomes the object's
  // name unless the base record stores a non-empty one. Kept so that the
  // record is written back as it was read.
  std::u16string leading_name;
  MediaParamT<unsigned int> count{0};
  DS_ResBlob mesh_blob;
  DS_ResBlob texture_blob;
  MediaParamT<unsigned int> size{0};  // pixels
  MediaParamT<unsigned int> speed{50};
  MediaParamT<unsigned int> wind{0};
  MediaParamT<unsigned int> change_rate{0};
  MediaParamT<unsigned int> tumble{100};
  MediaParamT<unsigned int> drift_angle{0};  // degrees
};

}  // namespace lumi
