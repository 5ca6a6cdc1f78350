#include "effects/fx_constructor.h"

#include "scene/fresh_guid.h"

namespace lumi {

DS_FX_Constructor::DS_FX_Constructor() : brush_id(NewGuid()) {}

void DS_FX_Constructor::Describe(Archive& ar) {
  const int v = ar.version();
  fx::Slider(ar, "speed", speed);
  IntField(ar, "uses_background", uses_background, Apply::Set);
  ar.Guid("brush_id", brush_id);
  ar.WString("brush_label", brush_label);
  ar.Byte("brush_flag", brush_flag);
  LinkField(ar, "program", program);
  if (v >= 2) fx::Slider(ar, "pattern_scale", pattern_scale);
  if (v >= 3) {
    QuadField(ar, "rectangle", rectangle);
    IntField(ar, "oscillation_mode", oscillation_mode, Apply::Set);
  }
  if (v >= 4) {
    fx::Slider(ar, "phase_offset", phase_offset);
  } else {
    phase_offset.Set(0);
  }
  BaseRecordOf<DS_ABObj_Constructor>(ar, this);
}

void DS_DirectionBased::Describe(Archive& ar) {
  fx::Slider(ar, "first_parameter", first_parameter);
  UIntField(ar, "angle", angle, Apply::Set);
  BaseRecordOf<DS_FX_Constructor>(ar, this);
}

void DS_CentralBased::CentreFields(Archive& ar) {
  Vector3 read = centre.value;
  ar.Group("centre", [&] {
    ar.Float("x", read.x);
    ar.Float("y", read.y);
    ar.Float("z", read.z);
  });
  if (ar.IsReading()) centre.Set(read);
}

void DS_CentralBased::Describe(Archive& ar) {
  CentreFields(ar);
  BaseRecordOf<DS_FX_Constructor>(ar, this);
}

void DS_LineBased::Describe(Archive& ar) {
  DirectionField(ar, "line_direction", line_direction, Apply::Set);
  CentreFields(ar);
  BaseRecordOf<DS_FX_Constructor>(ar, this);
}

}  // namespace lumi
