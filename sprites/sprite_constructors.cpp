#include "sprites/sprite_constructors.h"

#include "archive/registry.h"
#include "params/param_archive.h"
#include "sprites/record_fields.h"

// Values the records name only by their kind are shown as value_1, value_2,
// ... in stored order. Settings whose application the format leaves open
// are applied through Set, so derived values follow them.

namespace lumi {

static const RegisterClass<DS_FishConstructor> kFish(Family::General);
static const RegisterClass<DS_GhostConstructor> kGhost(Family::General);
static const RegisterClass<DS_BirdConstructor> kBird(Family::General);
static const RegisterClass<DS_GodRayConstructor> kGodRay(Family::General);
static const RegisterClass<DS_SparkleConstructor> kSparkle(Family::General);
static const RegisterClass<DS_FlowConstructor> kFlow(Family::General);
static const RegisterClass<DS_RainConstructor> kRain(Family::General);
static const RegisterClass<DS_FogConstructor> kFog(Family::General);
static const RegisterClass<DS_LightingConstructor> kLighting(Family::General);
static const RegisterClass<DS_GrassConstructor> kGrass(Family::General);
static const RegisterClass<DS_StatObjConstructor> kStatObj(Family::General);
static const RegisterClass<DS_FlowerConstructor> kFlower(Family::General);
static const RegisterClass<DS_DischargeConstructor> kDischarge(Family::General);
static const RegisterClass<DS_DischargeFXConstructor> kDischargeFX(Family::General);
static const RegisterClass<DS_ExplosionConstructor> kExplosion(Family::General);

void DS_ViewObjCtrl::Describe(Archive& ar) {
  RectangleField(ar, "view_rectangle", view_rectangle);
  ar.Float("left", left);
  ar.Float("right", right);
  ar.Float("top", top);
  ar.Float("bottom", bottom);
  ar.Byte("value_1", flag);
  // Version 1 kept the motion speed in the sprite properties.
  if (ar.version() >= 2) SliderField(ar, "motion_speed", motion_speed, Apply::Set);
  BaseRecordOf<DS_ABObj_Constructor>(ar, this);
}

void DS_BaseSpriteProp::Describe(Archive& ar) {
  BaseRecordOf<DS_ViewObjCtrl>(ar, this);
  const int v = ar.version();
  UIntField(ar, "population", population, Apply::Set);
  if (v < 3) SliderField(ar, "motion_speed", motion_speed, Apply::Set);
  UIntField(ar, "sprite_size", sprite_size, Apply::Set);
  SliderField(ar, "transparency", transparency, Apply::Set);
  IntField(ar, "mode", mode, Apply::Set);
  ColourField(ar, "sprite_colour", sprite_colour, Apply::Set);
  FloatField(ar, "glow_rate", glow_rate, Apply::Set);
  FloatField(ar, "glow_min", glow_min, Apply::Set);
  FloatField(ar, "glow_max", glow_max, Apply::Set);
  FloatField(ar, "scale_min", scale_min, Apply::Set);
  FloatField(ar, "scale_max", scale_max, Apply::Set);
  // Version 1 stored an image list of another form here, and a further
  // list at the end.
  RejectVersionsBefore(ar, 2);
  LinkField(ar, "picture", picture);
  LinkField(ar, "second_picture", second_picture);
  UIntField(ar, "frame_columns", frame_columns, Apply::Set);
  ar.Float("value_1", columns_value);
  UIntField(ar, "frame_count", frame_count, Apply::Set);
  ar.Float("value_2", count_value);
  ar.Byte("value_3", sheet_flag);
  if (v >= 4) IntField(ar, "sheet_mode", sheet_mode, Apply::Set);
  if (v >= 5) {
    IntField(ar, "flip_v", flip_v, Apply::Set);
    IntField(ar, "flip_u", flip_u, Apply::Set);
  }
  if (v >= 6) IntField(ar, "rebuild_always", rebuild_always, Apply::Set);
  if (v >= 7) SliderField(ar, "animation_speed", animation_speed, Apply::Set);
}

void DS_FXParticleSystemCtrl::Describe(Archive& ar) {
  LinkField(ar, "value_1", effect);
  BaseRecordOf<DS_BaseSpriteProp>(ar, this);
}

void DS_GlowEffectCtrl::Describe(Archive& ar) {
  IntField(ar, "glow_mode", glow_mode, Apply::Set);
  UIntField(ar, "glow_brightness", glow_brightness, Apply::Set);
  BaseRecordOf<DS_FXParticleSystemCtrl>(ar, this);
}

void DS_BaseFXCtrl::Describe(Archive& ar) { BaseRecordOf<DS_FXParticleSystemCtrl>(ar, this); }

void DS_StatBaseFXCtrl::Describe(Archive& ar) {
  RejectVersionsBefore(ar, kVersion);
  PointField(ar, "position", position, Apply::Set);
  UIntField(ar, "width", width, Apply::Set);
  UIntField(ar, "height", height, Apply::Set);
  BaseRecordOf<DS_BaseFXCtrl>(ar, this);
}

void DS_FishConstructor::Describe(Archive& ar) {
  FloatField(ar, "max_speed_x", max_speed_x, Apply::Set);
  FloatField(ar, "max_speed_y", max_speed_y, Apply::Set);
  BaseRecordOf<DS_BaseSpriteProp>(ar, this);
}

void DS_GhostConstructor::Describe(Archive& ar) {
  RejectVersionsBefore(ar, kVersion);
  BaseRecordOf<DS_FishConstructor>(ar, this);
}

void DS_BirdConstructor::Describe(Archive& ar) { BaseRecordOf<DS_FishConstructor>(ar, this); }

void DS_GodRayConstructor::Describe(Archive& ar) {
  UIntField(ar, "ray_angle", ray_angle, Apply::Set);
  BaseRecordOf<DS_BaseSpriteProp>(ar, this);
}

void DS_SparkleConstructor::Describe(Archive& ar) { BaseRecordOf<DS_BaseSpriteProp>(ar, this); }

void DS_BoundControl::Describe(Archive& ar) {
  IntField(ar, "bound_mode", bound_mode, Apply::Set);
  UIntField(ar, "fade_out_ms", fade_out_ms, Apply::Set);
  UIntField(ar, "fade_in_ms", fade_in_ms, Apply::Set);
  UIntField(ar, "pause_min_ms", pause_min_ms, Apply::Set);
  UIntField(ar, "pause_max_ms", pause_max_ms, Apply::Set);
}

DS_FlowConstructor::DS_FlowConstructor() {
  for (int edge = DS_BoundControl::kTop; edge <= DS_BoundControl::kRight; ++edge) bounds[edge].edge = edge;
}

void DS_FlowConstructor::Describe(Archive& ar) {
  static constexpr const char* kBoundNames[4] = {"top", "bottom", "left", "right"};
  RejectVersionsBefore(ar, kVersion);
  UIntField(ar, "flow_angle", flow_angle, Apply::Set);
  SliderField(ar, "wobble", wobble, Apply::Set);
  SliderField(ar, "wobble_rate", wobble_rate, Apply::Set);
  FloatField(ar, "flow_speed", flow_speed, Apply::Set);
  IntField(ar, "facing", facing, Apply::Set);
  for (size_t i = 0; i < bounds.size(); ++i) Member(ar, kBoundNames[i], bounds[i]);
  BaseRecordOf<DS_BaseSpriteProp>(ar, this);
}

void DS_RainConstructor::Describe(Archive& ar) { BaseRecordOf<DS_FlowConstructor>(ar, this); }

DS_FogConstructor::DS_FogConstructor() {
  glow_min.value = 0.2f;
  glow_max.value = 1.0f;
}

void DS_FogConstructor::Describe(Archive& ar) {
  FloatField(ar, "max_speed_x", max_speed_x, Apply::Set);
  FloatField(ar, "max_speed_y", max_speed_y, Apply::Set);
  BaseRecordOf<DS_BaseSpriteProp>(ar, this);
}

void DS_LightingConstructor::Describe(Archive& ar) {
  RejectVersionsBefore(ar, kVersion);
  UIntField(ar, "value_1", pause_min, Apply::Set);
  UIntField(ar, "value_2", pause_max, Apply::Set);
  BaseRecordOf<DS_BaseSpriteProp>(ar, this);
}

void DS_GrassConstructor::Describe(Archive& ar) {
  FloatField(ar, "value_1", sway_amplitude, Apply::Set);
  BaseRecordOf<DS_BaseSpriteProp>(ar, this);
}

void DS_StatObjConstructor::Describe(Archive& ar) {
  RejectVersionsBefore(ar, kVersion);
  RectangleField(ar, "value_1", centre);
  UIntField(ar, "rotation", rotation, Apply::Set);
  BaseRecordOf<DS_BaseSpriteProp>(ar, this);
}

void DS_FlowerConstructor::Describe(Archive& ar) {
  FloatField(ar, "sway_amplitude", sway_amplitude, Apply::Set);
  BaseRecordOf<DS_StatObjConstructor>(ar, this);
}

void DS_DischargeConstructor::Describe(Archive& ar) { BaseRecordOf<DS_StatObjConstructor>(ar, this); }

void DS_DischargeFXConstructor::Describe(Archive& ar) {
  RectangleField(ar, "value_1", centre);
  UIntField(ar, "rotation", rotation, Apply::Set);
  BaseRecordOf<DS_GlowEffectCtrl>(ar, this);
}

void DS_ExplosionConstructor::Describe(Archive& ar) {
  RejectVersionsBefore(ar, kVersion);
  UIntField(ar, "value_1", noise[0], Apply::Set);
  UIntField(ar, "value_2", noise[1], Apply::Set);
  UIntField(ar, "value_3", noise[2], Apply::Set);
  DirectionField(ar, "value_4", drift, Apply::Set);
  UIntField(ar, "value_5", first_raw, Apply::Set);
  UIntField(ar, "value_6", noise_seed, Apply::Set);
  IntField(ar, "value_7", free_noise, Apply::Set);
  ColourField(ar, "value_8", second_colour, Apply::Set);
  BaseRecordOf<DS_StatBaseFXCtrl>(ar, this);
}

}  // namespace lumi
