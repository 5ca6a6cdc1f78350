// Effects that recolour the picture inside the mask: light that pulses,
// blinks or flickers, a colour blended in one of five ways, and night.
#include <cmath>

#include "effects/catalogue_effects.h"
#include "render/effect.h"
#include "scene/ab_render.h"

namespace lumi {
namespace {

// The slow pulse from 0 to 1 both light effects share.
double Pulse(double phase) { return (std::sin(ReducedPhase(phase * 0.2, kEffectTurn)) + 1) / 2; }

// The flicker from 0 to 1 both light effects share.
double Flicker(double phase) { return (ValueNoise1D(2, phase * 10, 75, 0.5) + 1) / 2; }

constexpr const char* kBlendTechniques[] = {"Blend_Normal", "Blend_Screen", "Blend_ColorDodge", "Linear_Dodge",
                                            "Blend_Sum"};

}  // namespace

float DS_LightFX::Swing() const {
  if (mode.value > 1) return static_cast<float>(Flicker(clock.phase));
  const double b = Pulse(clock.phase);
  if (mode.value == 1) return b > 0.5 ? 1.0f : 0.0f;
  return static_cast<float>(b);
}

void DS_LightFX::Draw(DS_ABRender& backdrop) {
  if (!ReadyToDraw(backdrop)) return;
  effect_->SetFloat("multiplier", TimelineFactor() * intensity.scaled() * Swing());
  DrawOverPicture(backdrop);
}

int DS_LightFX_II::BlendMode() const {
  return blend_mode.value >= 0 && blend_mode.value <= 4 ? blend_mode.value : 0;
}

bool DS_LightFX_II::UsesBackground() const { return BlendMode() > 0; }

void DS_LightFX_II::Draw(DS_ABRender& backdrop) {
  if (!ReadyToDraw(backdrop)) return;
  Effect& effect = *effect_;
  double w = 1;
  if (oscillation_kind.value == 1) w = Pulse(clock.phase);
  if (oscillation_kind.value == 2) w = Pulse(clock.phase) > 0.5 ? 1 : 0;
  if (oscillation_kind.value == 3) w = Flicker(clock.phase);
  const std::array<float, 3> rgb = ColourFloats(colour.value);
  const float blend_color[4] = {rgb[0], rgb[1], rgb[2], intensity.scaled() * static_cast<float>(w) * TimelineFactor()};
  effect.SetFloatArray("BlendColor", blend_color, 4);
  effect.SetTexture("Mask", mask_);
  effect.SetTexture("Background", backdrop.Background());
  effect.SetTechnique(kBlendTechniques[BlendMode()]);
  backdrop.DrawStripWithEffect(backdrop.PictureGeometry(), effect);
}

void DS_DayToNight::LoadEffect(std::shared_ptr<Texture> mask) {
  DS_FX_Constructor::LoadEffect(std::move(mask));
  MakeRectMesh();
}

void DS_DayToNight::Draw(DS_ABRender& backdrop) {
  if (!ReadyToDraw(backdrop)) return;
  Effect& effect = *effect_;
  SetCommonParameters(backdrop);
  const std::array<float, 3> rgb = ColourFloats(multiply_colour.value);
  const float mul_color[4] = {rgb[0], rgb[1], rgb[2], 1};
  const float soft_light[4] = {soft_light_colour.red, soft_light_colour.green, soft_light_colour.blue,
                               soft_light_colour.alpha};
  effect.SetFloatArray("mul_color", mul_color, 4);
  effect.SetFloatArray("soft_light_color", soft_light, 4);
  effect.SetFloat("Fade", static_cast<float>(std::sin(TimelineFactor() * kEffectPi / 2)));
  effect.SetFloat("Disaturate", desaturation.scaled());
  DrawTechnique(backdrop);
}

}  // namespace lumi
