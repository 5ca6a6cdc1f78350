// Effects that move the picture's texels about inside the mask: waves,
// the underwater wobble, a shift, a lens about a centre, rings and a bend.
#include <cmath>

#include "effects/catalogue_effects.h"
#include "render/effect.h"
#include "scene/ab_render.h"

namespace lumi {
namespace {

// The programs' time is a phase of sines: whole turns of it change nothing.
constexpr double kTimeRate = 0.08;

float WaveTime(double phase, double sign = 1) {
  return static_cast<float>(ReducedPhase(sign * phase * kTimeRate, kEffectTurn));
}

// The x axis, or `axis`, turned by 360° − degrees about z.
std::array<float, 2> Turned(unsigned int degrees, std::array<double, 2> axis) {
  const double radians = (360.0 - degrees % 360) * kEffectPi / 180.0;
  const double c = std::cos(radians), s = std::sin(radians);
  return {static_cast<float>(axis[0] * c - axis[1] * s), static_cast<float>(axis[0] * s + axis[1] * c)};
}

void SetCentre(Effect& effect, const char* name, const std::array<float, 2>& centre) {
  effect.SetFloatArray(name, centre.data(), 2);
}

}  // namespace

std::array<float, 2> DS_WavesFX::WaveDirection() const { return Turned(wave_angle.value, {1, 0}); }

std::array<float, 2> DS_WavesFX::SecondVector() const {
  return Turned(wave_angle.value, flag.value != 0 ? std::array<double, 2>{-1, 0} : std::array<double, 2>{0, 1});
}

void DS_WavesFX::Draw(DS_ABRender& backdrop) {
  if (!ReadyToDraw(backdrop)) return;
  Effect& effect = *effect_;
  const std::array<float, 2> d = WaveDirection(), n = SecondVector();
  const float direction[2] = {-d[0], -d[1]};
  effect.SetFloatArray("direction", direction, 2);
  effect.SetFloatArray("direction_n", n.data(), 2);
  effect.SetFloat("frequency", 1 / wavelength.scaled());
  effect.SetFloat("amplitude", amplitude.scaled() * TimelineFactor());
  effect.SetFloat("time", WaveTime(clock.phase));
  DrawOverPicture(backdrop);
}

void DS_UnderwaterFX::Draw(DS_ABRender& backdrop) {
  if (!ReadyToDraw(backdrop, true)) return;
  Effect& effect = *effect_;
  const float l = wavelength.scaled();
  const float frequency[2] = {static_cast<float>(backdrop.PictureWidth()) / static_cast<float>(backdrop.PictureHeight()) / l,
                              1 / l};
  effect.SetFloatArray("frequency", frequency, 2);
  effect.SetFloat("amplitude", amplitude.scaled());
  effect.SetFloat("time", WaveTime(clock.phase));
  DrawOverPicture(backdrop);
}

void DS_MoveFX::Advance(double local_time) {
  DS_FX_Constructor::Advance(local_time);
  const float a = first_parameter.scaled();
  const float e = SignedAmplitude(mode.value, a, -a, a, second_amplitude.scaled());
  const std::array<float, 2> d = Direction();
  const float factor = TimelineFactor();
  move = {-d[0] * e * factor, -d[1] * e * factor};
}

void DS_MoveFX::Draw(DS_ABRender& backdrop) {
  if (!ReadyToDraw(backdrop)) return;
  effect_->SetFloatArray("Direction", move.data(), 2);
  DrawOverPicture(backdrop);
}

void DS_ExpandFX::Advance(double local_time) {
  DS_FX_Constructor::Advance(local_time);
  signed_amplitude = SignedAmplitude(mode.value, a.scaled(), -b.scaled(), a.scaled(), b.scaled()) * TimelineFactor();
}

void DS_ExpandFX::Draw(DS_ABRender& backdrop) {
  if (!ReadyToDraw(backdrop, true)) return;
  Effect& effect = *effect_;
  SetCommonParameters(backdrop);
  SetCentre(effect, "Center", NormalisedCentre(backdrop));
  const float x = signed_amplitude;
  const float amplitude[2] = {x > 0 ? x : 0, x > 0 ? 0 : -x};
  effect.SetFloatArray("amplitude", amplitude, 2);
  DrawOverPicture(backdrop);
}

void DS_RadialWaveFX::Draw(DS_ABRender& backdrop) {
  if (!ReadyToDraw(backdrop, true)) return;
  Effect& effect = *effect_;
  const auto w = static_cast<float>(backdrop.PictureWidth()), h = static_cast<float>(backdrop.PictureHeight());
  const float bg_scale_factor[2] = {1, h * 75 / wavelength.scaled() / w};
  effect.SetFloatArray("bg_scale_factor", bg_scale_factor, 2);
  SetCentre(effect, "center", NormalisedCentre(backdrop));
  effect.SetFloat("frequency", 1 / frequency.scaled());
  effect.SetFloat("amplitude", TimelineFactor() * amplitude.scaled());
  effect.SetFloat("time", WaveTime(clock.phase, direction_flag.value != 0 ? 1 : -1));
  DrawOverPicture(backdrop);
}

void DS_BendFX::LoadEffect(std::shared_ptr<Texture> mask) {
  DS_CentralBased::LoadEffect(std::move(mask));
  MakeRectMesh();
}

void DS_BendFX::Advance(double local_time) {
  DS_FX_Constructor::Advance(local_time);
  signed_amplitude = SignedAmplitude(mode.value, -a.scaled(), a.scaled(), a.scaled(), b.scaled());
}

void DS_BendFX::Draw(DS_ABRender& backdrop) {
  if (!ReadyToDraw(backdrop, true)) return;
  Effect& effect = *effect_;
  SetCommonParameters(backdrop);
  SetCentre(effect, "Center", NormalisedCentre(backdrop));
  effect.SetFloat("Angle", TimelineFactor() * signed_amplitude);
  effect.SetFloat("Bend", bend.scaled());
  DrawTechnique(backdrop);
}

}  // namespace lumi
