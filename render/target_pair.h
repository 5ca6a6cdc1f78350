// Two render-target textures drawn in alternation: one is drawn into
// while the other, drawn so far, is read.
#pragma once

#include <array>
#include <cstdint>
#include <memory>

#include "render/device.h"

namespace lumi {

class TargetPair {
 public:
  // Fails when either size is 0 or a texture cannot be made; in every
  // failure the pair holds no textures.
  bool Create(GraphicsDevice& device, uint32_t width, uint32_t height);
  // Create, then copies level 0 of the source into the current texture.
  bool CopyFrom(GraphicsDevice& device, Texture* source, uint32_t width, uint32_t height);
  // Makes the current texture the target, with no depth surface.
  void BeginDraw(GraphicsDevice& device);
  // Puts back the target and depth surface saved by BeginDraw.
  void EndDraw(GraphicsDevice& device);
  // Moves to the other texture, makes it the target cleared to opaque
  // black and returns the one drawn so far.
  std::shared_ptr<Texture> Flip(GraphicsDevice& device);
  void Release();

  const std::shared_ptr<Texture>& Current() const { return current_; }
  const std::shared_ptr<Texture>& TextureAt(int index) const { return textures_[index]; }
  int Index() const { return index_; }
  uint32_t Width() const { return width_; }
  uint32_t Height() const { return height_; }

 private:
  std::shared_ptr<Texture> current_;
  std::array<std::shared_ptr<Texture>, 2> textures_;
  std::shared_ptr<Texture> saved_target_;
  std::shared_ptr<DepthStencil> saved_depth_;
  uint32_t width_ = 0, height_ = 0;
  int index_ = 0;
};

}  // namespace lumi
