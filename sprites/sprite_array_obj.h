// The render object of a sprite population: it births the constructor's
// sprites, moves them every frame, animates their picture (frames of a
// sheet or an image sequence) and draws them as quads through the
// backdrop's sprite services.
#pragma once

#include <memory>
#include <vector>

#include "render/sprite_batches.h"
#include "render/scene_view.h"
#include "render/texture_animation.h"
#include "scene/render_obj.h"
#include "sprites/sprite.h"

namespace lumi {

class DS_ParticleSystemCtrl;

class DS_SpriteArrayObj : public DS_ABObj {
 public:
  explicit DS_SpriteArrayObj(std::unique_ptr<DS_ParticleSystemCtrl> settings);

  void Render(DS_ABRender& backdrop) override;
  void FrameMove(double local_time) override;
  // The timeline and the motion clock start again; every sprite is born
  // anew.
  void Restart() override;
  bool TestPoint(int x, int y) override;
  // Each sprite's bounding rectangle over its four corners, in render-unit
  // pixels.
  void CollectBounds(std::vector<PlacedRect>& bounds) const;

  DS_ParticleSystemCtrl& Population() const;
  const std::vector<Sprite>& Sprites() const { return sprites_; }
  const SpriteBatches& Batches() const { return batches_; }
  uint32_t SheetFrame() const { return sheet_.Frame(); }
  // The texture the sprites draw with: the current frame, or a transparent
  // one when the picture is missing.
  const std::shared_ptr<Texture>& CurrentTexture() const { return texture_; }
  const std::shared_ptr<Texture>& GlowTexture() const { return glow_; }

 protected:
  // Loads the textures on the first call with a device and writes the
  // quads the frame needs; false when nothing can be drawn.
  bool PrepareQuads();
  // Whether the quads hold this frame's sprites, preparing them if not.
  bool QuadsReady() { return quads_written_ || PrepareQuads(); }

 private:
  void BirthAll();
  void FollowUnitSize();
  void LoadTextures(GraphicsDevice& device);
  bool StepAnimation();
  bool WriteQuads();

  std::vector<Sprite> sprites_;
  SpriteBatches batches_;
  SpriteSheetAnimation sheet_;
  ImageSequenceAnimation sequence_;
  std::vector<std::shared_ptr<Texture>> frames_;
  std::shared_ptr<Texture> texture_, glow_;
  float frame_u_ = 1, frame_v_ = 1;
  bool textures_loaded_ = false;
  // What the kept quads show: whether they were written, at which level.
  bool quads_written_ = false;
  float written_level_ = -1;
  bool frame_changed_ = false;
};

}  // namespace lumi
