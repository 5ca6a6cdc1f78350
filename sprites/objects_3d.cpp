#include "sprites/objects_3d.h"

#include <cmath>

#include "archive/registry.h"
#include "params/param_archive.h"
#include "params/random.h"
#include "render/current_context.h"
#include "scene/resource_access.h"
#include "sprites/leaf_drift.h"
#include "sprites/object_animations.h"
#include "sprites/object_array_3d.h"

namespace lumi {

static const RegisterClass<DS_ButterflyConstructor> kButterfly(Family::General);
static const RegisterClass<DS_ClockConstructor> kClock(Family::General);
static const RegisterClass<DS_3D_in_2D_array_Constructor> kLeafArray(Family::General);

namespace {

bool NamesNothing(const ResourceKey& key) { return key.name.empty() && key.number == 0; }

// Entry 0 draws the instances' roots, entry 1 their children.
void BindRootsAndChildren(ObjectInstances& instances, std::vector<MeshEntry>& entries) {
  for (MeshEntry& entry : entries) entry.nodes.clear();
  if (entries.size() < 2) return;
  for (const std::unique_ptr<SceneNode>& instance : instances) {
    for (const std::unique_ptr<SceneNode>& child : instance->children) entries[1].nodes.push_back(child.get());
    entries[0].nodes.push_back(instance.get());
  }
}

}  // namespace

std::shared_ptr<Texture> LinkedTexture(const DS_ImageFileLink& link) {
  const ResourceAccess& access = DocumentResourceAccess();
  if (NamesNothing(link.key) || access.picture == nullptr) return nullptr;
  return access.picture(link.key).texture;
}

const MeshRecord* LinkedMesh(const DS_MeshFile& link) {
  const ResourceAccess& access = DocumentResourceAccess();
  if (NamesNothing(link.key) || access.mesh == nullptr) return nullptr;
  return access.mesh(link.key);
}

std::unique_ptr<VRN_RenderObj> DS_3D_Obj_Ctrl::CreateRenderObject() const {
  auto copy = Clone();
  return std::make_unique<DS_3DObjArray>(std::unique_ptr<DS_3D_Obj_Ctrl>(static_cast<DS_3D_Obj_Ctrl*>(copy.release())));
}

void DS_3D_Obj_Ctrl::Describe(Archive& ar) {
  UIntField(ar, "count", count, Apply::Direct);
  UIntField(ar, "scale", scale, Apply::Direct);
  LinkField(ar, "texture", texture);
  LinkField(ar, "mesh", mesh);
  BaseRecordOf<DS_ViewObjCtrl>(ar, this);
}

DS_ButterflyConstructor::DS_ButterflyConstructor() {
  scale.value = 100;
  flag = 1;
  mesh.key = DS_FileLink3::ModuleKey(u"common_res.dll", 69);  // the wing
}

void DS_ButterflyConstructor::SetupMeshes(std::vector<MeshEntry>& entries) {
  entries.resize(2);
  entries[0].mesh = LinkedMesh(body_mesh);
  entries[0].texture = LinkedTexture(body_texture);
  entries[1].mesh = LinkedMesh(mesh);
  entries[1].texture = LinkedTexture(texture);
  entries[1].blend = true;
}

void DS_ButterflyConstructor::BindInstances(ObjectInstances& instances, std::vector<MeshEntry>& entries) {
  BindRootsAndChildren(instances, entries);
}

std::unique_ptr<SceneNode> DS_ButterflyConstructor::CreateInstance() {
  auto first = std::make_unique<AC_ButterflyWing>();
  auto second = std::make_unique<AC_ButterflyWing>();
  auto body = std::make_unique<AC_Butterfly>(*this, std::array<AC_ButterflyWing*, 2>{first.get(), second.get()});
  auto root = std::make_unique<SceneNode>(MatrixScaling(0.5f, 0.5f, 0.5f) * RotationYDegrees(90), std::move(body));
  const float w = wing_scale.value;
  root->AddChild(std::make_unique<SceneNode>(MatrixScaling(w, w, w), std::move(first)));
  root->AddChild(std::make_unique<SceneNode>(MatrixScaling(w, w, w), std::move(second)));
  return root;
}

void DS_ButterflyConstructor::Describe(Archive& ar) {
  LinkField(ar, "body_texture", body_texture);
  LinkField(ar, "body_mesh", body_mesh);
  SliderField(ar, "slider_a", slider_a, Apply::Set);
  SliderField(ar, "slider_b", slider_b, Apply::Set);
  // Version 1 wings keep scale 1.
  if (ar.version() >= 2) FloatField(ar, "wing_scale", wing_scale, Apply::Set);
  BaseRecordOf<DS_3D_Obj_Ctrl>(ar, this);
}

// The default centre would be the middle of the current device's back
// buffer; records are made without a device, and every stored clock
// carries its placement.
DS_ClockConstructor::DS_ClockConstructor() {
  scale.value = 400;
  mesh.key = DS_FileLink3::ModuleKey(u"common_res.dll", 70);
  texture.key = DS_FileLink3::ModuleKey(u"common_res.dll", 71);  // the clock body
}

void DS_ClockConstructor::SetupMeshes(std::vector<MeshEntry>& entries) {
  entries.resize(2);
  entries_ = &entries;
  for (MeshEntry& entry : entries) {
    entry.mesh = LinkedMesh(mesh);
    entry.blend = true;
  }
  entries[0].texture = LinkedTexture(texture);
  entries[1].texture = LinkedTexture(hand_texture);
  face_watch_.control = std::make_unique<SmartCalbackCtrl<DS_ClockConstructor>>(&DS_ClockConstructor::ReloadFace,
                                                                                 this, texture);
  placement_watch_.control = std::make_unique<SmartCalbackCtrl<DS_ClockConstructor>>(&DS_ClockConstructor::PlaceEdges,
                                                                                      this, placement);
  scale_watch_.control = std::make_unique<DS_FunLightCtrl<unsigned int, DS_ClockConstructor>>(
      &DS_ClockConstructor::ScaleChanged, this);
  scale_watch_.control->Attach(scale);
}

void DS_ClockConstructor::ReloadFace() {
  if (entries_ != nullptr && !entries_->empty()) (*entries_)[0].texture = LinkedTexture(texture);
}

void DS_ClockConstructor::PlaceEdges() {
  const int cx = placement.x.value, cy = placement.y.value;
  const int s = static_cast<int>(scale.value / 2);
  placement.left.Set(cx - s);
  placement.right.Set(cx + s);
  placement.top.Set(cy - s);
  placement.bottom.Set(cy + s);
}

bool DS_ClockConstructor::HitTest(float x, float y) const {
  // Target pixels to picture pixels as the text links map them, then to
  // the render unit's pixels the clock lives in.
  const SceneView* view = CurrentSceneView();
  const Vector3 picture = Vec3TransformCoord({x, y, 0}, view != nullptr ? view->ViewInverse() : Matrix{});
  const UnitScale scale_to_picture = UnitToPictureScale(unit_width, unit_height);
  const float ux = picture.x / scale_to_picture.x, uy = picture.y / scale_to_picture.y;
  return static_cast<float>(placement.left.value) <= ux && ux <= static_cast<float>(placement.right.value) &&
         static_cast<float>(placement.top.value) <= uy && uy <= static_cast<float>(placement.bottom.value);
}

void DS_ClockConstructor::BindInstances(ObjectInstances& instances, std::vector<MeshEntry>& entries) {
  BindRootsAndChildren(instances, entries);
}

std::unique_ptr<SceneNode> DS_ClockConstructor::CreateInstance() {
  auto root = std::make_unique<SceneNode>(MatrixScaling(0.01f, 0.01f, 0.01f) * RotationXDegrees(90),
                                          std::make_unique<AC_Static>(*this));
  const Matrix hour = MatrixScaling(0.01f, 1, 0.3f) * MatrixTranslation(0, 0, 10);
  const Matrix minute = MatrixScaling(0.01f, 1, 0.38f) * MatrixTranslation(0, 0, 13);
  root->AddChild(std::make_unique<SceneNode>(hour, std::make_unique<AC_ClockArrow>(true, hour)));
  root->AddChild(std::make_unique<SceneNode>(minute, std::make_unique<AC_ClockArrow>(false, minute)));
  return root;
}

void DS_ClockConstructor::Describe(Archive& ar) {
  RectangleField(ar, "placement", placement);
  LinkField(ar, "hand_texture", hand_texture);
  BaseRecordOf<DS_3D_Obj_Ctrl>(ar, this);
}

std::array<float, 2> DS_3D_in_2D_array_Constructor::MainDirection() const {
  const float a = static_cast<float>(drift_angle.value) * kPi / 180.0f;
  return {std::cos(a), -std::sin(a)};
}

std::array<float, 2> DS_3D_in_2D_array_Constructor::CrossDirection() const {
  const float a = static_cast<float>(drift_angle.value) * kPi / 180.0f;
  return {-std::sin(a), -std::cos(a)};
}

std::unique_ptr<VRN_RenderObj> DS_3D_in_2D_array_Constructor::CreateRenderObject() const {
  return std::make_unique<DS_3D_in_2D_array>(std::make_unique<DS_3D_in_2D_array_Constructor>(*this));
}

void DS_3D_in_2D_array_Constructor::Describe(Archive& ar) {
  ar.WString("name", leading_name);
  // The base record read below replaces it, unless its own name is empty.
  if (ar.IsReading()) name = leading_name;
  UIntField(ar, "count", count, Apply::Set);
  ar.ResBlob("mesh_blob", mesh_blob);
  ar.ResBlob("texture_blob", texture_blob);
  UIntField(ar, "size", size, Apply::Set);
  UIntField(ar, "speed", speed, Apply::Set);
  UIntField(ar, "wind", wind, Apply::Set);
  UIntField(ar, "change_rate", change_rate, Apply::Set);
  UIntField(ar, "tumble", tumble, Apply::Set);
  // The two directions are computed from the angle whenever they are asked for.
  UIntField(ar, "drift_angle", drift_angle, Apply::Direct);
  BaseRecordOf<DS_ABObj_Constructor>(ar, this);
}

}  // namespace lumi
