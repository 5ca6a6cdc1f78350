#include "archive/registry.h"
#include "backdrop/variants.h"
#include "scene/fresh_guid.h"

namespace lumi {

static const RegisterClass<FakeLake2D> kRegisterLake2D(Family::Backdrop);

FakeLake2D::FakeLake2D() : bump_id(NewGuid()) { fx::ResetSlider(speed, 50, 0.02f); }

// Version 1 keeps the defaults of every setting but the bump texture's key.
void FakeLake2D::Describe(Archive& ar) {
  if (ar.version() >= 2) {
    fx::Slider(ar, "ripple_extent", ripple_extent);
    fx::Slider(ar, "speed", speed);
    fx::Slider(ar, "lake_height", lake_height);
    fx::Slider(ar, "bump_flattening", bump_flattening);
    fx::Slider(ar, "haze_opacity", haze_opacity);
    fx::Slider(ar, "haze_fade", haze_fade);
    UIntField(ar, "normal_amplitude", normal_amplitude, Apply::Set);
    UIntField(ar, "feather_height", feather_height, Apply::Set);
    IntField(ar, "reflection_size_exponent", reflection_size_exponent, Apply::Set);
    fx::Colour(ar, "haze_colour", haze_colour);
  }
  ar.Guid("bump_id", bump_id);
  ar.WString("bump_label", bump_label);
  ar.Byte("bump_flag", bump_flag);
  BaseRecordOf<DS_2D_Light>(ar, this);
}

}  // namespace lumi
