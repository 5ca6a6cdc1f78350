#include "render/prerender_surface.h"

namespace lumi {

std::shared_ptr<Texture> CreateRenderTargetTexture(GraphicsDevice& device, uint32_t width, uint32_t height) {
  if (width == 0 || height == 0) return nullptr;
  return device.CreateTexture({width, height, 1, TextureFormat::A8R8G8B8, kUsageRenderTarget, Pool::Default});
}

void VRN_PrerenderSurface::Lose() { texture_.reset(); }

void VRN_PrerenderSurface::Restore() {
  Lose();
  texture_ = CreateRenderTargetTexture(device_, width, height);
}

void VRN_PrerenderSurface::BeginDraw(DS_ABRender& backdrop) {
  saved_target_ = device_.GetRenderTarget();
  saved_depth_ = device_.GetDepthStencilSurface();
  if (texture_) device_.SetRenderTarget(texture_);
  device_.SetDepthStencilSurface(nullptr);
  backdrop.PushTarget(width, height, PlacementMode::WholeTarget);
  if (texture_) device_.Clear(kClearTarget | kClearZBuffer, 0x00000000, 1, 0);
}

std::shared_ptr<Texture> VRN_PrerenderSurface::EndDraw(DS_ABRender& backdrop) {
  if (saved_target_) device_.SetRenderTarget(std::move(saved_target_));
  device_.SetDepthStencilSurface(std::move(saved_depth_));
  saved_target_.reset();
  saved_depth_.reset();
  backdrop.PopTarget();
  return texture_;
}

}  // namespace lumi
