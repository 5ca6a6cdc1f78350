#include "effects/catalogue_effects.h"

#include "archive/registry.h"

namespace lumi {

static const RegisterClass<DS_PatternBrush> kRegisterPatternBrush(Family::General);
static const RegisterClass<DS_PatternBrushC> kRegisterPatternBrushC(Family::General);
static const RegisterClass<DS_BackgroundCopy> kRegisterBackgroundCopy(Family::General);
static const RegisterClass<DS_WavesFX> kRegisterWaves(Family::General);
static const RegisterClass<DS_LightFX> kRegisterLight(Family::General);
static const RegisterClass<DS_LightFX_II> kRegisterLightII(Family::General);
static const RegisterClass<DS_MoveFX> kRegisterMove(Family::General);
static const RegisterClass<DS_FireFX> kRegisterFire(Family::General);
static const RegisterClass<DS_ExpandFX> kRegisterExpand(Family::General);
static const RegisterClass<DS_RadialWaveFX> kRegisterRadialWave(Family::General);
static const RegisterClass<DS_RotationFX> kRegisterRotation(Family::General);
static const RegisterClass<DS_BendFX> kRegisterBend(Family::General);
static const RegisterClass<DS_CloudFX> kRegisterCloud(Family::General);
static const RegisterClass<DS_PerspectiveFX> kRegisterPerspective(Family::General);
static const RegisterClass<DS_StretchFX> kRegisterStretch(Family::General);
static const RegisterClass<DS_DayToNight> kRegisterDayToNight(Family::General);
static const RegisterClass<DS_KestrinLinear> kRegisterKestrinLinear(Family::General);
static const RegisterClass<DS_KestrinRadial> kRegisterKestrinRadial(Family::General);
static const RegisterClass<DS_KestrinVortical> kRegisterKestrinVortical(Family::General);
static const RegisterClass<DS_HeatDistortion> kRegisterHeatDistortion(Family::General);

DS_PatternBrush::DS_PatternBrush() {
  program.key = CommonResource(78);
  fx::ResetSlider(speed, 50, 0.02f);
}

void DS_PatternBrush::Describe(Archive& ar) {
  LinkField(ar, "pattern_image", pattern_image);
  IntField(ar, "vertical_flip", vertical_flip, Apply::Set);
  IntField(ar, "horizontal_flip", horizontal_flip, Apply::Set);
  UIntField(ar, "rotation_angle", rotation_angle, Apply::Set);
  fx::Slider(ar, "pattern_size", pattern_size);
  fx::Slider(ar, "x_offset", x_offset);
  fx::Slider(ar, "y_offset", y_offset);
  BaseRecordOf<DS_FX_Constructor>(ar, this);
}

void DS_PatternBrushC::Describe(Archive& ar) { BaseRecordOf<DS_PatternBrush>(ar, this); }

DS_BackgroundCopy::DS_BackgroundCopy() { program.key = CommonResource(75); }

void DS_BackgroundCopy::Describe(Archive& ar) {
  RectangleField(ar, "source_rectangle", source_rectangle);
  IntField(ar, "vertical_flag", vertical_flag, Apply::Set);
  IntField(ar, "horizontal_flag", horizontal_flag, Apply::Set);
  BaseRecordOf<DS_FX_Constructor>(ar, this);
}

DS_WavesFX::DS_WavesFX() {
  program.key = CommonResource(77);
  fx::ResetSlider(speed, 25, 1.0f);
}

void DS_WavesFX::Describe(Archive& ar) {
  fx::Slider(ar, "amplitude", amplitude);
  fx::Slider(ar, "wavelength", wavelength);
  UIntField(ar, "wave_angle", wave_angle, Apply::Set);
  IntField(ar, "flag", flag, Apply::Set);
  BaseRecordOf<DS_FX_Constructor>(ar, this);
}

DS_LightFX::DS_LightFX() {
  program.key = CommonResource(76);
  fx::ResetSlider(speed, 40, 1.0f);
}

void DS_LightFX::Describe(Archive& ar) {
  fx::Slider(ar, "intensity", intensity);
  IntField(ar, "mode", mode, Apply::Set);
  BaseRecordOf<DS_FX_Constructor>(ar, this);
}

void DS_LightFX_II::Describe(Archive& ar) {
  RejectVersionsBefore(ar, kVersion);
  fx::Slider(ar, "intensity", intensity);
  IntField(ar, "oscillation_kind", oscillation_kind, Apply::Set);
  IntField(ar, "blend_mode", blend_mode, Apply::Set);
  fx::Colour(ar, "colour", colour);
  BaseRecordOf<DS_FX_Constructor>(ar, this);
}

DS_UnderwaterFX::DS_UnderwaterFX() {
  program.key = CommonResource(88);
  fx::ResetSlider(speed, 25, 1.0f);
}

void DS_UnderwaterFX::Describe(Archive& ar) {
  fx::Slider(ar, "amplitude", amplitude);
  fx::Slider(ar, "wavelength", wavelength);
  BaseRecordOf<DS_FX_Constructor>(ar, this);
}

DS_MoveFX::DS_MoveFX() {
  program.key = CommonResource(91);
  fx::ResetSlider(speed, 50, 0.02f);
  fx::ResetSlider(first_parameter, 50, 0.0002f);
}

// Version 2 already held the second amplitude; no field was added in 3.
void DS_MoveFX::Describe(Archive& ar) {
  IntField(ar, "mode", mode, Apply::Set);
  if (ar.version() >= 2) fx::Slider(ar, "second_amplitude", second_amplitude);
  BaseRecordOf<DS_DirectionBased>(ar, this);
}

DS_FireFX::DS_FireFX() {
  program.key = CommonResource(92);
  fx::ResetSlider(speed, 50, 0.02f);
}

// Version 2 kept the rectangle and the oscillation mode among its own
// fields; they belong to the framework base, so they are applied after its
// record, which would otherwise overwrite them. Version 1 has no fields.
void DS_FireFX::Describe(Archive& ar) {
  const int v = ar.version();
  if (v == 1) {
    BaseRecordOf<DS_FX_Constructor>(ar, this);
    return;
  }
  MediaQuad old_rectangle;
  MediaParamT<int> old_oscillation{0};
  if (v == 2) QuadField(ar, "rectangle", old_rectangle);
  fx::Colour(ar, "base_colour", base_colour);
  fx::Colour(ar, "tip_colour", tip_colour);
  IntField(ar, "value_1", value_1, Apply::Set);
  LinkField(ar, "pattern_image", pattern_image);
  LinkField(ar, "noise_image", noise_image);
  if (v == 2) IntField(ar, "oscillation_mode", old_oscillation, Apply::Set);
  fx::Slider(ar, "density", density);
  fx::Slider(ar, "brightness", brightness);
  fx::Slider(ar, "value_2", value_2);
  BaseRecordOf<DS_FX_Constructor>(ar, this);
  if (v == 2) {
    rectangle = old_rectangle;
    oscillation_mode.Set(old_oscillation.value);
  }
}

DS_ExpandFX::DS_ExpandFX() {
  program.key = CommonResource(102);
  fx::ResetSlider(speed, 50, 0.02f);
}

void DS_ExpandFX::Describe(Archive& ar) {
  RejectVersionsBefore(ar, kVersion);
  fx::Slider(ar, "a", a);
  fx::Slider(ar, "b", b);
  IntField(ar, "mode", mode, Apply::Set);
  BaseRecordOf<DS_CentralBased>(ar, this);
}

DS_RadialWaveFX::DS_RadialWaveFX() {
  program.key = CommonResource(103);
  fx::ResetSlider(speed, 50, 1.0f);
}

void DS_RadialWaveFX::Describe(Archive& ar) {
  RejectVersionsBefore(ar, kVersion);
  fx::Slider(ar, "amplitude", amplitude);
  fx::Slider(ar, "frequency", frequency);
  fx::Slider(ar, "wavelength", wavelength);
  IntField(ar, "direction_flag", direction_flag, Apply::Set);
  BaseRecordOf<DS_CentralBased>(ar, this);
}

DS_RotationFX::DS_RotationFX() { fx::ResetSlider(speed, speed.value, 0.005f); }

void DS_RotationFX::Describe(Archive& ar) {
  fx::Slider(ar, "stretch", stretch);
  UIntField(ar, "ellipse_angle", ellipse_angle, Apply::Set);
  IntField(ar, "direction", direction, Apply::Set);
  BaseRecordOf<DS_CentralBased>(ar, this);
}

DS_BendFX::DS_BendFX() { fx::ResetSlider(speed, speed.value, 0.02f); }

// Before version 2 the modes were numbered from -3.
void DS_BendFX::Describe(Archive& ar) {
  fx::Slider(ar, "a", a);
  fx::Slider(ar, "b", b);
  fx::Slider(ar, "bend", bend);
  IntField(ar, "mode", mode, Apply::Set);
  if (ar.version() < 2) mode.Set(mode.value + 3);
  BaseRecordOf<DS_CentralBased>(ar, this);
}

DS_CloudFX::DS_CloudFX() {
  fx::ResetSlider(speed, speed.value, 0.001f);
  fx::ResetSlider(pattern_scale, pattern_scale.value, 0.008f);
}

void DS_CloudFX::Describe(Archive& ar) {
  fx::Colour(ar, "colour_1", colour_1);
  fx::Colour(ar, "colour_2", colour_2);
  LinkField(ar, "cloud_image", cloud_image);
  LinkField(ar, "second_image", second_image);
  fx::Slider(ar, "threshold", threshold);
  fx::Slider(ar, "density", density);
  ar.Group("perspective", [&] {
    fx::Slider(ar, "b", perspective.b);
    fx::Slider(ar, "c", perspective.c);
    fx::Slider(ar, "t", perspective.t);
    IntField(ar, "flag", perspective.flag, Apply::Set);
    fx::Slider(ar, "value_1", perspective.value_1);
    fx::Slider(ar, "value_2", perspective.value_2);
  });
  BaseRecordOf<DS_DirectionBased>(ar, this);
}

DS_PerspectiveFX::DS_PerspectiveFX() { fx::ResetSlider(speed, speed.value, 0.02f); }

// Version 1 stored an old mode that chose which of the two amplitudes
// swings; it becomes the sine swing between A and B, one of them zero.
void DS_PerspectiveFX::Describe(Archive& ar) {
  const int v = ar.version();
  fx::Slider(ar, "amplitude_a", amplitude_a);
  UIntField(ar, "depth_factor", depth_factor, Apply::Set);
  IntField(ar, "mode", mode, Apply::Set);
  if (v >= 3) fx::Slider(ar, "amplitude_b", amplitude_b);
  if (v == 1) {
    const int old_mode = mode.value;
    mode.Set(kSine);
    amplitude_b.Set(amplitude_a.value);
    if (old_mode == 0) amplitude_b.Set(0);
    if (old_mode == 1) amplitude_a.Set(0);
  }
  BaseRecordOf<DS_LineBased>(ar, this);
}

DS_StretchFX::DS_StretchFX() { fx::ResetSlider(speed, speed.value, 0.05f); }

void DS_StretchFX::Describe(Archive& ar) {
  IntField(ar, "mode", mode, Apply::Set);
  fx::Slider(ar, "a", a);
  fx::Slider(ar, "b", b);
  BaseRecordOf<DS_LineBased>(ar, this);
}

// The soft-light colour is stored in the hue, saturation and brightness
// form, with its four colour floats.
void DS_DayToNight::Describe(Archive& ar) {
  fx::Colour(ar, "multiply_colour", multiply_colour);
  HsbField(ar, "soft_light_colour", soft_light_colour);
  fx::Slider(ar, "desaturation", desaturation);
  BaseRecordOf<DS_FX_Constructor>(ar, this);
}

DS_KestrinLinear::DS_KestrinLinear() {
  fx::ResetSlider(speed, speed.value, 0.1f);
  fx::ResetSlider(first_parameter, first_parameter.value, 0.002f);
}

void DS_KestrinLinear::Describe(Archive& ar) { BaseRecordOf<DS_DirectionBased>(ar, this); }

DS_KestrinRadial::DS_KestrinRadial() { fx::ResetSlider(speed, speed.value, 0.1f); }

void DS_KestrinRadial::Describe(Archive& ar) {
  RejectVersionsBefore(ar, kVersion);
  fx::Slider(ar, "amplitude", amplitude);
  IntField(ar, "axis_flag", axis_flag, Apply::Set);
  BaseRecordOf<DS_CentralBased>(ar, this);
}

DS_KestrinVortical::DS_KestrinVortical() { fx::ResetSlider(speed, speed.value, 0.1f); }

void DS_KestrinVortical::Describe(Archive& ar) {
  fx::Slider(ar, "amplitude", amplitude);
  UIntField(ar, "ellipse_angle", ellipse_angle, Apply::Set);
  IntField(ar, "direction", direction, Apply::Set);
  fx::Slider(ar, "ellipse_deformation", ellipse_deformation);
  BaseRecordOf<DS_CentralBased>(ar, this);
}

void DS_HeatDistortion::Describe(Archive& ar) {
  fx::Slider(ar, "shimmer_speed", shimmer_speed);
  fx::Slider(ar, "strength", strength);
  fx::Slider(ar, "bump_size", bump_size);
  BaseRecordOf<DS_FX_Constructor>(ar, this);
}

}  // namespace lumi
