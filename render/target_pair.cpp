#include "render/target_pair.h"

namespace lumi {

bool TargetPair::Create(GraphicsDevice& device, uint32_t width, uint32_t height) {
  width_ = width;
  height_ = height;
  Release();
  if (width == 0 || height == 0) return false;
  for (auto& texture : textures_) {
    texture = device.CreateTexture({width, height, 1, TextureFormat::A8R8G8B8, kUsageRenderTarget, Pool::Default});
    if (!texture) {
      Release();
      return false;
    }
  }
  current_ = textures_[index_];
  width_ = current_->Width();
  height_ = current_->Height();
  return true;
}

bool TargetPair::CopyFrom(GraphicsDevice& device, Texture* source, uint32_t width, uint32_t height) {
  if (!Create(device, width, height)) return false;
  return !source || device.CopySurface(*source, *current_);
}

void TargetPair::BeginDraw(GraphicsDevice& device) {
  saved_target_ = device.GetRenderTarget();
  saved_depth_ = device.GetDepthStencilSurface();
  if (current_) device.SetRenderTarget(current_);
  device.SetDepthStencilSurface(nullptr);
}

void TargetPair::EndDraw(GraphicsDevice& device) {
  if (saved_target_) device.SetRenderTarget(std::move(saved_target_));
  device.SetDepthStencilSurface(std::move(saved_depth_));
  saved_target_.reset();
  saved_depth_.reset();
}

std::shared_ptr<Texture> TargetPair::Flip(GraphicsDevice& device) {
  index_ = (index_ + 1) % 2;
  current_ = textures_[index_];
  if (current_) {
    device.SetRenderTarget(current_);
    device.Clear(kClearTarget | kClearZBuffer, 0xff000000, 1, 0);
  }
  return textures_[(index_ + 1) % 2];
}

void TargetPair::Release() {
  current_.reset();
  textures_[0].reset();
  textures_[1].reset();
}

}  // namespace lumi
