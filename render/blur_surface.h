// A separable Gaussian blur of whatever is drawn into it: two textures,
// shrunk as the blur grows, between which the blur program runs its
// vertical and horizontal passes.
#pragma once

#include <memory>

#include "render/backdrop_services.h"
#include "render/device.h"
#include "render/effect.h"
#include "render/losable.h"

namespace lumi {

struct BlurSize {
  uint32_t width, height;
  bool operator==(const BlurSize&) const = default;
};

// The blur amount is limited to 80, so the textures are at least a fifth
// of the base size; a side below 2 becomes 1.
BlurSize ComputeBlurSize(uint32_t baseWidth, uint32_t baseHeight, uint32_t amount);

class VRN_BlurSurface : public VRN_LosableObj {
 public:
  explicit VRN_BlurSurface(GraphicsDevice& device) : device_(device) {}

  void Lose() override;
  void Restore() override;

  // A new amount (0 to 100) makes the textures again at their new size.
  void SetBlurAmount(uint32_t amount);
  uint32_t BlurAmount() const { return amount_; }
  void SetProgram(std::shared_ptr<Effect> program) { program_ = std::move(program); }

  // Draws into texture A with the picture mapped onto all of it.
  void BeginDraw(DS_ABRender& backdrop);
  // Runs the blur passes, returns to the previous target and returns
  // texture A, which holds the result.
  std::shared_ptr<Texture> EndBlur(DS_ABRender& backdrop, uint32_t iterations);

  uint32_t baseWidth = 0, baseHeight = 0;
  BlurSize Size() const { return size_; }
  const std::shared_ptr<Texture>& TextureA() const { return texture_a_; }
  const std::shared_ptr<Texture>& TextureB() const { return texture_b_; }

 private:
  void Pass(DS_ABRender& backdrop, const char* technique, const std::shared_ptr<Texture>& from,
            const std::shared_ptr<Texture>& to);

  GraphicsDevice& device_;
  uint32_t amount_ = 0;
  std::shared_ptr<Effect> program_;
  BlurSize size_{0, 0};
  std::shared_ptr<Texture> texture_a_, texture_b_;
  std::shared_ptr<Texture> saved_target_;
  std::shared_ptr<DepthStencil> saved_depth_;
};

}  // namespace lumi
