#include "archive/registry.h"
#include "backdrop/variants.h"

namespace lumi {

static const RegisterClass<DS_WaterRingLight> kRegisterWaterRingLight(Family::Backdrop);

// Version 1 stored only the scene mode.
void DS_WaterRingLight::Describe(Archive& ar) {
  if (ar.version() >= 2) {
    UIntField(ar, "wave_speed", wave_speed, Apply::Set);
    UIntField(ar, "row_density", row_density, Apply::Set);
    UIntField(ar, "column_density", column_density, Apply::Set);
    UIntField(ar, "drop_depth", drop_depth, Apply::Set);
    UIntField(ar, "damping", damping, Apply::Set);
    UIntField(ar, "refraction_depth", refraction_depth, Apply::Set);
    fx::Slider(ar, "drop_rate", drop_rate);
    fx::Slider(ar, "specular_level", specular_level);
    fx::Slider(ar, "specular_power", specular_power);
  }
  IntField(ar, "scene_mode", scene_mode, Apply::Set);
  BaseRecordOf<DS_2D_Light>(ar, this);
}

}  // namespace lumi
