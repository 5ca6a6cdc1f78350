#include <algorithm>
#include <cmath>

#include "archive/registry.h"
#include "effects/water_effects.h"
#include "render/effect.h"
#include "scene/ab_render.h"
#include "scene/resource_access.h"

namespace lumi {
namespace {

const RegisterClass<DS_WaterFX> kRegisterWaterFX(Family::General);

// The water program sees "Time" only through sines of it and drifts that
// are small multiples of it; handing it over modulo many whole turns keeps
// its float exact after hours, at the cost of one slight jump per period.
constexpr double kTimePeriod = 2 * kEffectPi * 1024;

// Refraction raw 10,000 makes L = 1 and the root's denominator 0; above it
// L turns negative.
constexpr unsigned int kMostRefraction = 9999;

}  // namespace

DS_WaterFX::DS_WaterFX() {
  program.key = CommonResource(90);
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

std::array<float, 2> DS_WaterFX::FlowDirection() const {
  const double radians = flow_angle.value * kEffectPi / 180.0;
  return {static_cast<float>(std::cos(radians)), static_cast<float>(std::sin(radians))};
}

std::array<float, 3> DS_WaterFX::RefractionP2(float e) {
  // (√L + L) / (L − 1) with L = 2 / e − 1 tends to 1 as e goes to 0.
  if (e <= 0) return {1, 1, 1};
  const double l = 2.0 / e - 1.0;
  return {1, static_cast<float>((std::sqrt(l) + l) / (l - 1.0)), 1};
}

void DS_WaterFX::LoadEffect(std::shared_ptr<Texture> mask) {
  const ResourceAccess& resources = DocumentResourceAccess();
  bump_texture_ = resources.picture != nullptr ? resources.picture(bump_map.key).texture : nullptr;
  DS_FX_Constructor::LoadEffect(std::move(mask));
}

void DS_WaterFX::Advance(double local_time) {
  DS_FX_Constructor::Advance(local_time);
  const double theta = ReducedPhase(4.5 * clock.phase, 2 * kEffectPi);
  const float a = shimmer_amplitude.scaled();
  const auto c = static_cast<float>(std::cos(theta)), s = static_cast<float>(std::sin(theta));
  bump_transform = {a * c, -a * s, a * s, a * c};
}

void DS_WaterFX::Draw(DS_ABRender& backdrop) {
  if (!ReadyToDraw(backdrop)) return;
  Effect& effect = *effect_;
  const float e = static_cast<float>(std::min(refraction_factor.value, kMostRefraction)) * refraction_factor.factor() +
                  refraction_factor.offset();
  const std::array<float, 2> d = FlowDirection();
  const float first = -0.5f / first_flow_length.scaled(), second = -0.5f * second_flow_speed.scaled();
  const float p1[3] = {e - 1, -1, e - 1};
  const std::array<float, 3> p2 = RefractionP2(e);
  const float direction1[2] = {d[0] * first, d[1] * first};
  const float direction2[2] = {d[0] * second, d[1] * second};
  const float h = highlight_height.scaled();
  const float h_length = std::sqrt(5.0f + h * h);
  const float vhalf[3] = {1 / h_length, 2 / h_length, h / h_length};
  const std::array<float, 3> colour = ColourFloats(tint.value);
  effect.SetTexture("BumpMap", bump_texture_);
  effect.SetFloatArray("BampTrans", bump_transform.data(), 4);
  effect.SetFloatArray("P1", p1, 3);
  effect.SetFloatArray("P2", p2.data(), 3);
  effect.SetFloat("Time", static_cast<float>(ReducedPhase(2 * clock.phase, kTimePeriod)));
  effect.SetFloatArray("Direction1", direction1, 2);
  effect.SetFloatArray("Direction2", direction2, 2);
  effect.SetFloat("Shadows", shadow_strength.scaled());
  effect.SetFloatArray("Vhalf", vhalf, 3);
  effect.SetFloatArray("Color", colour.data(), 3);
  DrawOverPicture(backdrop);
}

}  // namespace lumi
