// Effects of repeating bands that travel through the picture (along a
// direction, out from a centre, or swirling about it) and the shimmer of
// hot air.
#include <algorithm>
#include <cmath>

#include "effects/catalogue_effects.h"
#include "render/effect.h"
#include "scene/ab_render.h"
#include "scene/resource_access.h"

namespace lumi {
namespace {

// "Shift": the phase in turns, its fraction only.
float Shift(double phase) { return static_cast<float>(ReducedPhase(phase / (2 * kEffectPi), 1.0)); }

}  // namespace

void DS_KestrinLinear::LoadEffect(std::shared_ptr<Texture> mask) {
  DS_FX_Constructor::LoadEffect(std::move(mask));
  MakeRectMesh();
}

void DS_KestrinLinear::Draw(DS_ABRender& backdrop) {
  if (!ReadyToDraw(backdrop)) return;
  SetCommonParameters(backdrop);
  const std::array<float, 2> d = Direction();
  const float a = first_parameter.scaled();
  const float direction[2] = {d[0] * a, d[1] * a};
  effect_->SetFloatArray("Direction", direction, 2);
  effect_->SetFloat("Shift", Shift(clock.phase));
  DrawTechnique(backdrop);
}

void DS_KestrinRadial::LoadEffect(std::shared_ptr<Texture> mask) {
  DS_CentralBased::LoadEffect(std::move(mask));
  MakeRectMesh();
}

void DS_KestrinRadial::Draw(DS_ABRender& backdrop) {
  if (!ReadyToDraw(backdrop, true)) return;
  SetCommonParameters(backdrop);
  const std::array<float, 2> c = NormalisedCentre(backdrop);
  const float a = amplitude.scaled();
  const float along[2] = {axis_flag.value != 0 ? a : 0, axis_flag.value != 0 ? 0 : a};
  effect_->SetFloatArray("Center", c.data(), 2);
  effect_->SetFloatArray("Amplitude", along, 2);
  effect_->SetFloat("Shift", Shift(clock.phase));
  DrawTechnique(backdrop);
}

void DS_KestrinVortical::LoadEffect(std::shared_ptr<Texture> mask) {
  DS_CentralBased::LoadEffect(std::move(mask));
  MakeRectMesh();
}

void DS_KestrinVortical::Draw(DS_ABRender& backdrop) {
  if (!ReadyToDraw(backdrop, true)) return;
  SetCommonParameters(backdrop);
  const std::array<float, 2> c = NormalisedCentre(backdrop);
  const auto ellipse = static_cast<float>(ellipse_angle.value % 360 * kEffectPi / 180.0);
  effect_->SetFloatArray("Center", c.data(), 2);
  effect_->SetMatrix("r_matrix2", MatrixRotationZ(ellipse));
  effect_->SetMatrix("r_matrix3", MatrixRotationZ(-ellipse));
  effect_->SetFloat("ElipsDeform", ellipse_deformation.scaled());
  effect_->SetFloat("Amplitude", direction.value == 1 ? -amplitude.scaled() : amplitude.scaled());
  effect_->SetFloat("Shift", Shift(clock.phase));
  DrawTechnique(backdrop);
}

void DS_HeatDistortion::LoadEffect(std::shared_ptr<Texture> mask) {
  const ResourceAccess& resources = DocumentResourceAccess();
  bump_texture_ = resources.picture != nullptr ? resources.picture(bump_map.key).texture : nullptr;
  DS_FX_Constructor::LoadEffect(std::move(mask));
  MakeRectMesh();
}

void DS_HeatDistortion::Advance(double local_time) {
  DS_FX_Constructor::Advance(local_time);
  // The bump map tiles, so whole tiles of offset change nothing.
  shimmer_offset = ReducedPhase(shimmer_offset + clock.step * shimmer_speed.scaled(), 1.0);
}

void DS_HeatDistortion::Draw(DS_ABRender& backdrop) {
  if (!ReadyToDraw(backdrop, true)) return;
  Effect& effect = *effect_;
  SetCommonParameters(backdrop);
  const auto o = static_cast<float>(shimmer_offset);
  const float k = bump_size.scaled();
  const float offset[2] = {o, -o};
  const float bump_scale[2] = {k, k * static_cast<float>(backdrop.PictureHeight()) / static_cast<float>(backdrop.PictureWidth())};
  effect.SetFloat("stenght", strength.scaled() * 0.05f);
  effect.SetFloatArray("Offset", offset, 2);
  effect.SetFloatArray("bump_scale", bump_scale, 2);
  effect.SetTexture("Bumpmap", bump_texture_);
  DrawTechnique(backdrop);
}

}  // namespace lumi
