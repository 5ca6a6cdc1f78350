// Render objects of sprites drawn through an effect program: the plain one
// (the explosion) and the glowing one, whose sprites leave a glow layer
// composed over everything drawn before them.
#pragma once

#include <memory>
#include <string_view>

#include "render/prerender_surface.h"
#include "sprites/sprite_array_obj.h"
#include "sprites/sprite_constructors.h"

namespace lumi {

class Effect;

class DS_FXObj : public DS_SpriteArrayObj {
 public:
  explicit DS_FXObj(std::unique_ptr<DS_FXParticleSystemCtrl> settings);

  // The sprites with the class's technique and parameters, when it has
  // something to draw this frame.
  void Render(DS_ABRender& backdrop) override;

  DS_FXParticleSystemCtrl& EffectSprites() const;
  const std::shared_ptr<Effect>& Program() const { return program_; }

 protected:
  // The program the link names, else the one built in for
  // `program_class`; asked for once a device is current.
  bool LoadProgram(std::string_view program_class);
  void DrawBatches(DS_ABRender& backdrop, Effect& effect) const;
  SpriteTextures Textures() const { return {CurrentTexture(), GlowTexture()}; }

 private:
  std::shared_ptr<Effect> program_;
  bool program_asked_ = false;
};

class DS_GlowingObj : public DS_FXObj {
 public:
  // Side of the glow layer's square surface, in pixels.
  static constexpr uint32_t kGlowLayerSize = 512;

  explicit DS_GlowingObj(std::unique_ptr<DS_GlowEffectCtrl> settings);

  // While it shows, its glow layer is composed over all drawn before it.
  bool NeedsBackground() override { return enabled && data->timing.current().GetLevel() > 0; }
  // The glow's sprites into the private layer, the layer over the picture
  // drawn so far, then the sprites themselves.
  void Render(DS_ABRender& backdrop) override;

  DS_GlowEffectCtrl& Glow() const;
  const VRN_PrerenderSurface* GlowLayer() const { return layer_.get(); }

 private:
  // Steps 1 to 3: false when no layer was composed.
  bool ComposeGlow(DS_ABRender& backdrop, Effect& effect);

  // Made when first drawn, so that it registers with the document's
  // resources, which make it again after a device loss.
  std::unique_ptr<VRN_PrerenderSurface> layer_;
};

}  // namespace lumi
