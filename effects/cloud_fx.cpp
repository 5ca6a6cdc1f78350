// Clouds drifting over the effect's rectangle: a cloud picture tiled in
// perspective, cut at a threshold and shaded between two colours.
#include <cmath>

#include "effects/catalogue_effects.h"
#include "render/effect.h"
#include "scene/ab_render.h"
#include "scene/resource_access.h"

namespace lumi {

void DS_CloudFX::LoadEffect(std::shared_ptr<Texture> mask) {
  const ResourceAccess& resources = DocumentResourceAccess();
  cloud_texture_ = resources.picture != nullptr ? resources.picture(cloud_image.key).texture : nullptr;
  DS_FX_Constructor::LoadEffect(std::move(mask));
  MakeRectMesh();
}

void DS_CloudFX::Draw(DS_ABRender& backdrop) {
  if (!ReadyToDraw(backdrop, true) || !cloud_texture_) return;
  Effect& effect = *effect_;
  const auto w = static_cast<float>(backdrop.PictureWidth()), h = static_cast<float>(backdrop.PictureHeight());
  const float s = PatternScale();
  const std::array<float, 3> k1 = ColourFloats(colour_1.value), k2 = ColourFloats(colour_2.value);
  const float scale[2] = {w / h / s, 1 / s};
  // The cloud picture tiles, so whole tiles of drift change nothing.
  const std::array<float, 2> d = Direction();
  const float velocity[2] = {static_cast<float>(ReducedPhase(-d[0] * clock.phase, 1.0)),
                             static_cast<float>(ReducedPhase(-d[1] * clock.phase, 1.0))};
  const Vector3 &c0 = rectangle.corners[0].value, &c1 = rectangle.corners[1].value,
                    &c2 = rectangle.corners[2].value;
  const float mask_tex_shift[4] = {(c2.x - c0.x) / w, c0.x / w, (c1.y - c0.y) / h, c0.y / h};
  const float b = perspective.b.scaled(), flag = perspective.flag.value != 0 ? 1.0f : 0.0f;
  const float tex_shift[4] = {1, flag != 0 ? -1.0f : 1.0f, -perspective.t.scaled(), flag};
  effect.SetTexture("Mask", mask_);
  effect.SetTexture("Background", cloud_texture_);
  effect.SetFloatArray("ColorK1", k1.data(), 3);
  effect.SetFloatArray("ColorK2", k2.data(), 3);
  effect.SetFloatArray("Scale", scale, 2);
  effect.SetFloat("Threshold", threshold.scaled());
  effect.SetFloat("Density", density.scaled());
  effect.SetFloatArray("Velocity", velocity, 2);
  effect.SetFloatArray("mask_tex_shift", mask_tex_shift, 4);
  effect.SetFloat("PX_Transform", (b - 1) / b);
  effect.SetFloat("PY_TransformH", perspective.c.scaled() / b + 1);
  effect.SetFloat("PY_TransformZ", perspective.c.scaled());
  effect.SetFloatArray("tex_shift", tex_shift, 4);
  DrawTechnique(backdrop);
}

}  // namespace lumi
