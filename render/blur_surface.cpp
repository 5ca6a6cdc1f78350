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
  texture_a_.reset();
  texture_b_.reset();
}

void VRN_BlurSurface::Restore() {
  if (baseWidth == 0 || baseHeight == 0) return;
  Lose();
  size_ = ComputeBlurSize(baseWidth, baseHeight, amount_);
  texture_a_ = CreateRenderTargetTexture(device_, size_.width, size_.height);
  texture_b_ = CreateRenderTargetTexture(device_, size_.width, size_.height);
}

void VRN_BlurSurface::SetBlurAmount(uint32_t amount) {
  amount = std::min(amount, 100u);
  if (amount == amount_) return;
  amount_ = amount;
  Restore();
}

void VRN_BlurSurface::BeginDraw(DS_ABRender& backdrop) {
  saved_target_ = device_.GetRenderTarget();
  saved_depth_ = device_.GetDepthStencilSurface();
  if (texture_a_) device_.SetRenderTarget(texture_a_);
  device_.SetDepthStencilSurface(nullptr);
  backdrop.PushTarget(size_.width, size_.height, PlacementMode::WholeTarget);
  if (texture_a_) device_.Clear(kClearTarget | kClearZBuffer, 0x00000000, 1, 0);
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
  if (program_ && texture_a_ && texture_b_) {
    program_->SetFloat("TexW", static_cast<float>(size_.width));
    program_->SetFloat("TexH", static_cast<float>(size_.height));
    Pass(backdrop, "GaussianBlurVFirst", texture_a_, texture_b_);
    Pass(backdrop, "GaussianBlurH", texture_b_, texture_a_);
    for (uint32_t i = 0; i < iterations; ++i) {
      Pass(backdrop, "GaussianBlurV", texture_a_, texture_b_);
      Pass(backdrop, "GaussianBlurH", texture_b_, texture_a_);
    }
    // The source must not stay bound where the next draw reads.
    program_->SetTexture("Texture", nullptr);
  }
  if (saved_target_) device_.SetRenderTarget(std::move(saved_target_));
  device_.SetDepthStencilSurface(std::move(saved_depth_));
  saved_target_.reset();
  saved_depth_.reset();
  backdrop.PopTarget();
  return texture_a_;
}

}  // namespace lumi
