#include "archive/registry.h"
#include "effects/water_effects.h"

namespace lumi {

static const RegisterClass<DS_WaterFX> kRegister(Family::General);

DS_WaterFX::DS_WaterFX() {
  program.key = fx::CommonResource(90);
  fx::ResetSlider(speed, 50, 0.02f);
  fx::ResetSlider(pattern_scale, 30, 0.02f);
}

void DS_WaterFX::Describe(Archive& ar) {
  fx::Slider(ar, "refraction_factor", refraction_factor);
  fx::Slider(ar, "shimmer_amplitude", shimmer_amplitude);
  fx::Slider(ar, "second_flow_speed", second_flow_speed);
  fx::Slider(ar, "first_flow_length", first_flow_length);
  UIntField(ar, "flow_angle", flow_angle, Apply::Set);
  fx::Slider(ar, "shadow_strength", shadow_strength);
  fx::Slider(ar, "highlight_height", highlight_height);
  fx::Colour(ar, "tint", tint);
  LinkField(ar, "bump_map", bump_map);
  BaseRecordOf<DS_FX_Constructor>(ar, this);
}

}  // namespace lumi
