// Fire over the effect's rectangle: a flame shape drawn into a surface of
// its own, then coloured from its roots to its tips over the picture.
#include "effects/catalogue_effects.h"
#include "render/current_context.h"
#include "render/effect.h"
#include "scene/ab_render.h"
#include "scene/resource_access.h"

namespace lumi {
namespace {

// Only the link's class matters: the flame's shape is the class's own
// program.
const ResourceKey kFlameProgram{u"", 0};

}  // namespace

void DS_FireFX::LoadEffect(std::shared_ptr<Texture> mask) {
  const ResourceAccess& resources = DocumentResourceAccess();
  const auto texture = [&](const DS_ImageFileLink& link) {
    return resources.picture != nullptr ? resources.picture(link.key).texture : nullptr;
  };
  pattern_texture_ = texture(pattern_image);
  noise_texture_ = texture(noise_image);
  flame_program_ = resources.class_effect != nullptr ? resources.class_effect(kFlameProgram, ClassName()) : nullptr;
  DS_FX_Constructor::LoadEffect(std::move(mask));
  MakeRectMesh(kGridCells);
  if (GraphicsDevice* device = CurrentDevice()) {
    flame_surface_ = std::make_shared<VRN_PrerenderSurface>(*device);
    flame_surface_->width = flame_surface_->height = kFlameSize;
    flame_surface_->Restore();
  }
}

std::array<float, 2> DS_FireFX::Strength() const {
  const float level = TimelineFactor();
  return {brightness.scaled() * level * level, level * (density.scaled() + 1) - 1};
}

void DS_FireFX::Draw(DS_ABRender& backdrop) {
  if (!ReadyToDraw(backdrop, true)) return;
  // A chain pass owns the whole target: the picture first, then the fire
  // over its rectangle.
  if (UsesBackground()) backdrop.CopyBackground();
  if (!flame_program_ || !flame_surface_) return;
  Effect& flame = *flame_program_;
  // The flame's pictures tile; after 1,000 units of phase every layer has
  // climbed whole tiles.
  const auto phase = static_cast<float>(ReducedPhase(clock.phase, 1000.0));
  const float c11[2] = {0, 1.3f * phase}, c12[2] = {0, 2.1f * phase}, c13[2] = {0, 2.3f * phase};
  if (const SceneView* view = CurrentSceneView()) {
    flame.SetMatrix("WorldViewProj", view->WorldTransform(Matrix::Identity()) * view->View() * view->Projection());
    flame.SetMatrix("ViewProj", view->PlacementWithoutOrigin() * view->Projection());
  }
  flame.SetTexture("Pattern", pattern_texture_);
  flame.SetTexture("Noise", noise_texture_);
  flame.SetFloatArray("c11", c11, 2);
  flame.SetFloatArray("c12", c12, 2);
  flame.SetFloatArray("c13", c13, 2);
  flame.SetTechnique("AsEffect");
  flame_surface_->BeginDraw(backdrop);
  backdrop.DrawMeshWithEffect(rect_mesh_, flame);
  const std::shared_ptr<Texture> shape = flame_surface_->EndDraw(backdrop);

  Effect& effect = *effect_;
  const std::array<float, 3> base = ColourFloats(base_colour.value), tip = ColourFloats(tip_colour.value);
  const float k2[3] = {tip[0] - base[0], tip[1] - base[1], tip[2] - base[2]};
  const float bg_scale_factor[2] = {1.0f / static_cast<float>(backdrop.PictureWidth()),
                                    1.0f / static_cast<float>(backdrop.PictureHeight())};
  const std::array<float, 2> strength = Strength();
  effect.SetFloatArray("ColorK1", base.data(), 3);
  effect.SetFloatArray("ColorK2", k2, 3);
  effect.SetFloatArray("bg_scale_factor", bg_scale_factor, 2);
  effect.SetTexture("Mask", mask_);
  effect.SetTexture("Background", backdrop.Background());
  effect.SetTexture("Flame", shape);
  effect.SetFloat("Brightness", strength[0]);
  effect.SetFloat("Density", strength[1]);
  effect.SetTechnique("Main");
  backdrop.DrawMeshWithEffect(rect_mesh_, effect);
}

}  // namespace lumi
