// The device side of a particle look: its textures and program, the quads
// of its particles in batched sprite arrays, and the glow drawn through a
// blur surface.
#pragma once

#include <algorithm>
#include <limits>
#include <memory>
#include <vector>

#include "particles/particle_look.h"
#include "render/blur_surface.h"
#include "render/geometry.h"
#include "render/prerender_surface.h"
#include "render/sprite_batches.h"
#include "render/texture_animation.h"

namespace lumi {

class DS_ABRender;

class ParticleLookDrawing {
 public:
  // The program every look draws with when it names none or names one
  // that does not run; it also holds the glow's blur.
  static constexpr int32_t kDefaultProgram = 202;
  // Blur iterations beyond the first pair of passes, at most.
  static constexpr int kMostGlowPasses = 8;

  // Textures, program and blur surface, once a device is current. An image
  // the resources cannot supply is left out of the set.
  void LoadDeviceResources(ParticleLook& look);
  bool Loaded() const { return loaded_; }
  // Steps the first texture's frames by the look's texture clock.
  void StepTextures(const ParticleLook& look);
  // One quad per particle in list order; the buffers grow, never shrink.
  bool BuildQuads(const ParticleLook& look, const ParticleList& particles, float size_pixels);
  // `count` quads of another shape: write(i, out) fills the four vertices
  // of quad i.
  template <typename Write>
  bool BuildQuads(size_t count, Write&& write) {
    quad_count_ = 0;
    bounds_ = {};
    if (count == 0) return true;
    if (!Reserve(count)) return false;
    const bool written = batches_.WriteFirst(count, [&](size_t i, VertexPCT* out) {
      write(i, out);
      bounds_.Add(out);
    });
    if (written) quad_count_ = count;
    return written;
  }
  // Everything the quads draw turned by `world` (identity by default).
  void SetWorldTransform(const Matrix& world);
  // The glow, then the quads with the look's blend technique.
  void Render(const ParticleLook& look, int glow_mode, DS_ABRender& backdrop);
  // The glow alone: added for mode 1, screened over the background for 2.
  void RenderGlow(const ParticleLook& look, int glow_mode, DS_ABRender& backdrop);
  // The quads blended normally into a surface of their own, which then
  // darkens the background with "BlendMultiplay". A chain pass always
  // hands the background on, darkened or not.
  void RenderMultiplied(DS_ABRender& backdrop);

  size_t QuadCount() const { return quad_count_; }
  // The first texture's picture in pixels.
  uint32_t PictureWidth() const { return picture_width_; }
  uint32_t PictureHeight() const { return picture_height_; }
  static constexpr uint32_t kBlankPictureSide = 64;
  const SpriteBatches& Batches() const { return batches_; }
  const std::shared_ptr<Effect>& Program() const { return effect_; }
  // The texture the quads draw with: the first texture's frame, or white.
  const std::shared_ptr<Texture>& CurrentTexture() const { return current_; }

 private:
  // Buffers for at least `count` quads with the current texture; false
  // without a device or when they cannot be made.
  bool Reserve(size_t count);
  const char* BlendTechnique(const ParticleLook& look) const;
  void DrawQuads(DS_ABRender& backdrop);
  void DrawGlow(const ParticleLook& look, int glow_mode, DS_ABRender& backdrop);

  // What the quads cover, in their own coordinates.
  struct Bounds {
    float left = std::numeric_limits<float>::max(), top = std::numeric_limits<float>::max();
    float right = std::numeric_limits<float>::lowest(), bottom = std::numeric_limits<float>::lowest();
    bool flat = true;  // every corner at depth 0, where the view maps x and y alone
    void Add(const VertexPCT* quad) {
      for (int k = 0; k < 4; ++k) {
        left = std::min(left, quad[k].x), right = std::max(right, quad[k].x);
        top = std::min(top, quad[k].y), bottom = std::max(bottom, quad[k].y);
        flat = flat && quad[k].z == 0;
      }
    }
  };
  // The blur surface made at the size of the picture as placed.
  void FitGlowSurface(const ParticleLook& look);
  // The part of the picture quad an added glow can light: the quads'
  // bounds moved by the world transform and grown by the blur's reach;
  // the whole quad when the picture's size is unknown, none when the
  // halos light nothing of the picture.
  const DS_Frame* GlowQuad(const DS_Frame& picture, uint32_t iterations);

  bool loaded_ = false;
  std::vector<std::shared_ptr<Texture>> frames_;  // the first texture's frames
  uint32_t picture_width_ = kBlankPictureSide, picture_height_ = kBlankPictureSide;
  ImageSequenceAnimation sequence_;
  std::shared_ptr<Texture> current_;
  std::shared_ptr<Effect> effect_;
  std::unique_ptr<VRN_BlurSurface> glow_surface_;
  std::unique_ptr<VRN_PrerenderSurface> multiplied_surface_;
  SpriteBatches batches_;
  size_t quad_count_ = 0;
  Bounds bounds_;
  DS_SimpleMesh<VertexPT> glow_quad_;
  Matrix world_;
};

}  // namespace lumi
