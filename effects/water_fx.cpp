#include "archive/registry.h"
#include "effects/water_effects.h"

namespace lumi {

static const RegisterClass<DS_WaterFX> kRegister(Family::General);

DS_WaterFX::DS_WaterFX() {
  program.key = CommonResource(90);
  ResetSlider(speed, 50, 0.02f);
  ResetSlider(pattern_scale, 30, 0.02f);
}

void DS_WaterFX::Describe(Archive& ar) {
  Slider(ar, "refraction_factor", refraction_factor);
  Slider(ar, "shimmer_amplitude", shimmer_amplitude);
  Slider(ar, "second_flow_speed", second_flow_speed);
  Slider(ar, "first_flow_length", first_flow_length);
  UIntField(ar, "flow_angle", flow_angle, Apply::Set);
  Slider(ar, "shadow_strength", shadow_strength);
  Slider(ar, "highlight_height", highlight_height);
  Colour(ar, "tint", tint);
  LinkField(ar, "bump_map", bump_map);
  BaseRecordOf<DS_FX_Constructor>(ar, this);
}

}  // namespace lumi
