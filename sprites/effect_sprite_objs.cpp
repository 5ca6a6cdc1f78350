#include "sprites/effect_sprite_objs.h"

#include <array>

#include "params/colours.h"
#include "render/backdrop_services.h"
#include "render/current_context.h"
#include "render/effect.h"
#include "scene/resource_access.h"

namespace lumi {

DS_FXObj::DS_FXObj(std::unique_ptr<DS_FXParticleSystemCtrl> settings) : DS_SpriteArrayObj(std::move(settings)) {}

DS_FXParticleSystemCtrl& DS_FXObj::EffectSprites() const {
  return static_cast<DS_FXParticleSystemCtrl&>(Population());
}

bool DS_FXObj::LoadProgram(std::string_view program_class) {
  if (!program_asked_ && CurrentDevice() != nullptr) {
    // Asked once: the resources report a program that does not run once.
    program_asked_ = true;
    const ResourceAccess& access = DocumentResourceAccess();
    if (access.class_effect != nullptr) program_ = access.class_effect(EffectSprites().effect.key, program_class);
  }
  return program_ != nullptr;
}

void DS_FXObj::DrawBatches(DS_ABRender& backdrop, Effect& effect) const {
  for (const ParticleGeomArray& batch : Batches().Batches()) backdrop.DrawSpritesWithEffect(batch, effect);
}

void DS_FXObj::Render(DS_ABRender& backdrop) {
  const DS_FXParticleSystemCtrl& sprites = EffectSprites();
  if (!QuadsReady() || !LoadProgram(sprites.ProgramClass())) return;
  if (sprites.SetUpEffect(*Program(), Textures())) DrawBatches(backdrop, *Program());
}

DS_GlowingObj::DS_GlowingObj(std::unique_ptr<DS_GlowEffectCtrl> settings) : DS_FXObj(std::move(settings)) {}

DS_GlowEffectCtrl& DS_GlowingObj::Glow() const { return static_cast<DS_GlowEffectCtrl&>(Population()); }

bool DS_GlowingObj::ComposeGlow(DS_ABRender& backdrop, Effect& effect) {
  GraphicsDevice* device = CurrentDevice();
  const std::shared_ptr<Texture>& glow_texture = GlowTexture();
  if (device == nullptr || !glow_texture) return false;
  if (!layer_) {
    layer_ = std::make_unique<VRN_PrerenderSurface>(*device);
    layer_->width = layer_->height = kGlowLayerSize;
    layer_->Restore();
  }
  // Without its surface the layer would be drawn onto the target itself.
  if (!layer_->Target()) return false;
  const DS_GlowEffectCtrl& glow = Glow();
  const float brightness = static_cast<float>(glow.glow_brightness.value) * 0.01f * data->timing.current().GetLevel();
  const std::array<float, 3> rgb = ColourFloats(glow.sprite_colour.value);
  const std::array<float, 4> blend_colour = {rgb[0], rgb[1], rgb[2], brightness};
  effect.SetFloatArray("BlendColor", blend_colour.data(), blend_colour.size());

  effect.SetTechnique("Blend_Max");
  effect.SetTexture("Texture1", glow_texture);
  layer_->BeginDraw(backdrop);
  DrawBatches(backdrop, effect);
  std::shared_ptr<Texture> layer = layer_->EndDraw(backdrop);

  // The layer and the picture drawn so far both cover the whole picture:
  // drawn over the picture quad, each glow lands on its sprite.
  effect.SetTechnique(glow.glow_mode.value == 1 ? "Blend_Screen" : "Blend_Normal");
  effect.SetTexture("Texture1", backdrop.Background());
  effect.SetTexture("Texture2", std::move(layer));
  backdrop.DrawStripWithEffect(backdrop.PictureGeometry(), effect);
  return true;
}

void DS_GlowingObj::Render(DS_ABRender& backdrop) {
  const bool composing = NeedsBackground();
  const bool drawable = QuadsReady() && LoadProgram(DS_GlowEffectCtrl::kClassName);
  // A chain pass with no layer to compose still hands the picture on.
  if (composing && !(drawable && ComposeGlow(backdrop, *Program()))) backdrop.CopyBackground();
  if (!drawable) return;
  Effect& effect = *Program();
  effect.SetTechnique("Common");
  effect.SetTexture("Texture1", CurrentTexture());
  DrawBatches(backdrop, effect);
}

}  // namespace lumi
