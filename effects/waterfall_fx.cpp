#include <algorithm>
#include <cmath>
#include <string>

#include "archive/registry.h"
#include "effects/water_effects.h"
#include "render/effect.h"
#include "scene/ab_render.h"
#include "scene/notices.h"
#include "scene/resource_access.h"

namespace lumi {

static const RegisterClass<DS_WaterfallFX> kRegisterWaterfallFX(Family::General);

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

void DS_WaterfallFX::LoadEffect(std::shared_ptr<Texture> mask) {
  if (layer_count.value > kMostLayers) {
    AddNoticeOnce("a waterfall asks for " + std::to_string(layer_count.value) + " wave layers; it draws " +
                  std::to_string(kMostLayers));
  }
  layers.assign(std::min(layer_count.value, kMostLayers), Layer{});
  const ResourceAccess& resources = DocumentResourceAccess();
  noise_texture_ = resources.picture != nullptr ? resources.picture(noise_map.key).texture : nullptr;
  DS_FX_Constructor::LoadEffect(std::move(mask));
  MakeRectMesh();
}

void DS_WaterfallFX::Advance(double local_time) {
  DS_FX_Constructor::Advance(local_time);
  const std::array<float, 2> d = Direction();
  const float length = first_parameter.scaled();
  const double n = static_cast<double>(layers.size());
  for (size_t i = 0; i < layers.size(); ++i) {
    const double p = clock.phase + static_cast<double>(i) / n;
    const auto f = static_cast<float>(p - std::trunc(p));
    layers[i].shift = {-d[0] * f * length, -d[1] * f * length};
    layers[i].translucency = (1 - std::abs(2 * f - 1)) * layer_opacity.scaled();
  }
  // The noise map tiles, so its shift is handed over modulo one tile.
  const double travel = 0.1 * clock.phase / PatternScale();
  noise_shift = {static_cast<float>(ReducedPhase(-d[0] * travel, 1.0)),
                 static_cast<float>(ReducedPhase(-d[1] * travel, 1.0))};
}

void DS_WaterfallFX::Draw(DS_ABRender& backdrop) {
  if (!ReadyToDraw(backdrop)) return;
  Effect& effect = *effect_;
  effect.SetTexture("Mask", mask_);
  effect.SetTexture("Background", backdrop.Background());
  // A chain pass owns the whole target: the picture first, then the water
  // over its rectangle.
  if (UsesBackground()) {
    effect.SetTechnique("DrawBackground");
    backdrop.DrawStripWithEffect(backdrop.PictureGeometry(), effect);
  }
  if (drawing_off.value != 0) return;
  // The wave layers read the noise map as well, so both passes get it and
  // its placement: a program shared with another waterfall keeps neither.
  const float s = PatternScale();
  const float bump_scale[2] = {PictureAspect(backdrop) / s, 1 / s};
  effect.SetTexture("NoiseMap", noise_texture_);
  effect.SetFloatArray("noise_shift", noise_shift.data(), 2);
  effect.SetFloatArray("bump_scale", bump_scale, 2);
  if (noise_amplitude.value != 0) {
    effect.SetTechnique("Noise");
    effect.SetFloat("noise_amplitude", noise_amplitude.scaled());
    backdrop.DrawMeshWithEffect(rect_mesh_, effect);
  }
  if (layers.empty()) return;
  const std::array<float, 3> colour = ColourFloats(base_colour.value);
  effect.SetTechnique("ColorWaves");
  effect.SetFloatArray("base_color", colour.data(), 3);
  effect.SetFloat("treshold", threshold.scaled());
  for (const Layer& layer : layers) {
    effect.SetFloatArray("shift", layer.shift.data(), 2);
    effect.SetFloat("transluency", layer.translucency);
    backdrop.DrawMeshWithEffect(rect_mesh_, effect);
  }
}

}  // namespace lumi
