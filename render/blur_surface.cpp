#include "render/blur_surface.h"

#include <algorithm>

#include "render/prerender_surface.h"

namespace lumi {

BlurSize ComputeBlurSize(uint32_t baseWidth, uint32_t baseHeight, uint32_t amount) {
  const uint32_t f = 100 - std::min(amount, 80u);
  const auto side = [f](uint32_t base) {
    const auto size = static_cast<uint32_t>(uint64_t{base} * f / 100);
    return size < 2 ? 1u : size;
  };
  return {side(baseWidth), side(baseHeight)};
}

void VRN_BlurSurface::Lose() {
  textureA_.reset();
  textureB_.reset();
}

void VRN_BlurSurface::Restore() {
  if (baseWidth == 0 || baseHeight == 0) return;
  Lose();
  size_ = ComputeBlurSize(baseWidth, baseHeight, amount_);
  textureA_ = CreateRenderTargetTexture(device_, size_.width, size_.height);
  textureB_ = CreateRenderTargetTexture(device_, size_.width, size_.height);
}

void VRN_BlurSurface::SetBlurAmount(uint32_t amount) {
  amount = std::min(amount, 100u);
  if (amount == amount_) return;
  amount_ = amount;
  Restore();
}

void VRN_BlurSurface::BeginDraw(DS_ABRender& backdrop) {
  savedTarget_ = device_.GetRenderTarget();
  savedDepth_ = device_.GetDepthStencilSurface();
  if (textureA_) device_.SetRenderTarget(textureA_);
  device_.SetDepthStencilSurface(nullptr);
  backdrop.PushTarget(size_.width, size_.height, PlacementMode::WholeTarget);
  if (textureA_) device_.Clear(kClearTarget | kClearZBuffer, 0x00000000, 1, 0);
}

void VRN_BlurSurface::Pass(DS_ABRender& backdrop, const char* technique, const std::shared_ptr<Texture>& from,
                           const std::shared_ptr<Texture>& to) {
  // Unblended, the quad writes every texel: clearing first would only
  // cost a pass.
  device_.SetRenderTarget(to);
  program_->SetTexture("Texture", from);
  program_->SetTechnique(technique);
  backdrop.DrawStripWithEffect(backdrop.PictureGeometry(), *program_);
}

std::shared_ptr<Texture> VRN_BlurSurface::EndBlur(DS_ABRender& backdrop, uint32_t iterations) {
  if (program_ && textureA_ && textureB_) {
    program_->SetFloat("TexW", static_cast<float>(size_.width));
    program_->SetFloat("TexH", static_cast<float>(size_.height));
    Pass(backdrop, "GaussianBlurVFirst", textureA_, textureB_);
    Pass(backdrop, "GaussianBlurH", textureB_, textureA_);
    for (uint32_t i = 0; i < iterations; ++i) {
      Pass(backdrop, "GaussianBlurV", textureA_, textureB_);
      Pass(backdrop, "GaussianBlurH", textureB_, textureA_);
    }
    // The source must not stay bound where the next draw reads.
    program_->SetTexture("Texture", nullptr);
  }
  if (savedTarget_) device_.SetRenderTarget(std::move(savedTarget_));
  device_.SetDepthStencilSurface(std::move(savedDepth_));
  savedTarget_.reset();
  savedDepth_.reset();
  backdrop.PopTarget();
  return textureA_;
}

}  // namespace lumi
