#include "archive/registry.h"
#include "effects/water_effects.h"

namespace lumi {

static const RegisterClass<DS_WaterfallFX> kRegister(Family::General);

// The first parameter is the flow length. The effect program has no default:
// it comes only from the record.
DS_WaterfallFX::DS_WaterfallFX() {
  fx::ResetSlider(first_parameter, 0, 0.004f);
  fx::ResetSlider(speed, speed.value, 0.02f);
}

void DS_WaterfallFX::Describe(Archive& ar) {
  fx::Slider(ar, "layer_opacity", layer_opacity);
  UIntField(ar, "layer_count", layer_count, Apply::Set);
  fx::Slider(ar, "noise_amplitude", noise_amplitude);
  fx::Slider(ar, "fourth_parameter", fourth_parameter);
  fx::Slider(ar, "threshold", threshold);
  LinkField(ar, "noise_map", noise_map);
  fx::Colour(ar, "base_colour", base_colour);
  IntField(ar, "drawing_off", drawing_off, Apply::Set);
  BaseRecordOf<DS_DirectionBased>(ar, this);
}

}  // namespace lumi
