#include "sprites/objects_3d.h"

#include <cmath>

#include "archive/registry.h"
#include "params/param_archive.h"
#include "params/random.h"

namespace lumi {

static const RegisterClass<DS_ButterflyConstructor> kButterfly(Family::General);
static const RegisterClass<DS_ClockConstructor> kClock(Family::General);
static const RegisterClass<DS_3D_in_2D_array_Constructor> kLeafArray(Family::General);

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
