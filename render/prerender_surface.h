// An off-screen texture the owner draws into, then reads as a texture.
#pragma once

#include <memory>

#include "render/backdrop_services.h"
#include "render/device.h"
#include "render/losable.h"

namespace lumi {

class VRN_PrerenderSurface : public VRN_LosableObj {
 public:
  explicit VRN_PrerenderSurface(GraphicsDevice& device) : device_(device) {}

  void Lose() override;
  // Makes the texture again at the size the owner set.
  void Restore() override;

  // Draws into the texture with the picture mapped onto all of it, starting
  // from transparent black.
  void BeginDraw(DS_ABRender& backdrop);
  // Back to the previous target; returns the texture drawn.
  std::shared_ptr<Texture> EndDraw(DS_ABRender& backdrop);

  uint32_t width = 0, height = 0;
  const std::shared_ptr<Texture>& Target() const { return texture_; }

 private:
  GraphicsDevice& device_;
  std::shared_ptr<Texture> texture_;
  std::shared_ptr<Texture> saved_target_;
  std::shared_ptr<DepthStencil> saved_depth_;
};

// Creates the single-level A8R8G8B8 default-pool target every off-screen
// surface uses; null when it cannot (or when a size is 0).
std::shared_ptr<Texture> CreateRenderTargetTexture(GraphicsDevice& device, uint32_t width, uint32_t height);

}  // namespace lumi
