// Small 3D models over the picture: butterflies, an analogue clock, and a
// drift of falling leaves (or any small mesh) carried in the document.
#pragma once

#include <array>
#include <memory>
#include <vector>

#include "archive/archive.h"
#include "archive/blobs.h"
#include "params/callback_ctrl.h"
#include "params/file_link.h"
#include "params/quad_rect.h"
#include "params/typed_param.h"
#include "scene/render_obj_data.h"
#include "sprites/scene_node.h"
#include "sprites/sprite_constructors.h"

namespace lumi {

// More instances than this are not made: a stored count can reach 2^32 − 1.
inline constexpr uint32_t kMaxObjectInstances = 4096;

// A watcher that belongs to one object: a copy of the object starts
// without one, since the watcher calls back into the object it was made for.
template <class Control>
struct OwnWatcher {
  OwnWatcher() = default;
  OwnWatcher(const OwnWatcher&) {}
  OwnWatcher& operator=(const OwnWatcher&) { return *this; }
  std::unique_ptr<Control> control;
};

using ObjectInstances = std::vector<std::unique_ptr<SceneNode>>;

// The texture and the mesh of links in the current document; null where
// the document has none.
std::shared_ptr<Texture> LinkedTexture(const DS_ImageFileLink& link);
const MeshRecord* LinkedMesh(const DS_MeshFile& link);

// Instances of one or two meshes living in the view rectangle.
// Its render object is a DS_3DObjArray around a copy.
class DS_3D_Obj_Ctrl : public DS_ViewObjCtrl {
  LUMI_STORED_CLASS(DS_3D_Obj_Ctrl, 1)

 public:
  void Describe(Archive& ar) override;
  std::unique_ptr<VRN_RenderObj> CreateRenderObject() const override;

  // Whether the point, in target pixels, is over the object.
  virtual bool HitTest(float /*x*/, float /*y*/) const { return false; }
  // Resolves the meshes and textures into the entries, once.
  virtual void SetupMeshes(std::vector<MeshEntry>& entries) = 0;
  // Hands the instances' nodes to the entries after the count changed.
  virtual void BindInstances(ObjectInstances& /*instances*/, std::vector<MeshEntry>& /*entries*/) {}
  virtual std::unique_ptr<SceneNode> CreateInstance() = 0;
  // Whether the object is one thing placed by its author (a clock) rather
  // than a population roaming its view: such objects report their
  // placement.
  virtual bool HasPlacement() const { return false; }

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
  // Entry 0 the bodies, entry 1 the wings, blended so that they show from
  // both sides.
  void SetupMeshes(std::vector<MeshEntry>& entries) override;
  void BindInstances(ObjectInstances& instances, std::vector<MeshEntry>& entries) override;
  std::unique_ptr<SceneNode> CreateInstance() override;

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
  // Entry 0 the face, entry 1 the hands, both blended; the face follows
  // later changes of `texture`.
  void SetupMeshes(std::vector<MeshEntry>& entries) override;
  void BindInstances(ObjectInstances& instances, std::vector<MeshEntry>& entries) override;
  std::unique_ptr<SceneNode> CreateInstance() override;
  bool HasPlacement() const override { return true; }
  // The point, in target pixels, lies within the placement's edges.
  bool HitTest(float x, float y) const override;
  // The edges `scale` / 2 around the centre, each set with notification.
  void PlaceEdges();

  // The edges around the clock, and its centre as the point.
  MediaRectangle placement;
  DS_ImageFileLink hand_texture{DS_FileLink3::ModuleKey(u"common_res.dll", 72)};

 private:
  void ReloadFace();

  std::vector<MeshEntry>* entries_ = nullptr;
  OwnWatcher<SmartCalbackCtrl<DS_ClockConstructor>> face_watch_, placement_watch_;
  OwnWatcher<DS_FunLightCtrl<unsigned int, DS_ClockConstructor>> scale_watch_;
  void ScaleChanged(unsigned int) { PlaceEdges(); }
};

// A drift of small meshes streaming across the picture, the mesh and its
// texture carried in the record itself.
class DS_3D_in_2D_array;

// Its render object is a DS_3D_in_2D_array around a copy.
class DS_3D_in_2D_array_Constructor : public DS_ABObj_Constructor {
  LUMI_STORED_CLASS(DS_3D_in_2D_array_Constructor, 1)
  LUMI_CONSTRUCTOR_CLONE(DS_3D_in_2D_array_Constructor)

 public:
  void Describe(Archive& ar) override;
  std::unique_ptr<VRN_RenderObj> CreateRenderObject() const override;

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

  // The render object made around this copy; set by it.
  DS_3D_in_2D_array* array = nullptr;
};

}  // namespace lumi
