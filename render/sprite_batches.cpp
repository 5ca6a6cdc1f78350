#include "render/sprite_batches.h"

#include <array>

namespace lumi {

std::shared_ptr<Texture> WhiteSpriteTexture(GraphicsDevice& device) {
  std::shared_ptr<Texture> texture = device.CreateTexture({1, 1});
  const std::array<uint8_t, 4> white{0xFF, 0xFF, 0xFF, 0xFF};
  if (texture) texture->WriteLevel(0, white.data(), white.size());
  return texture;
}

bool SpriteBatches::Resize(GraphicsDevice& device, size_t count, uint32_t per_batch) {
  per_batch = std::clamp<uint32_t>(per_batch, 1, kQuadsPerBatch);
  if (count == count_ && per_batch == per_batch_ && !batches_.empty()) return true;
  per_batch_ = per_batch;
  const size_t needed = (count + per_batch - 1) / per_batch;
  batches_.resize(needed);
  count_ = 0;
  size_t left = count;
  for (ParticleGeomArray& batch : batches_) {
    const auto quads = static_cast<uint32_t>(std::min<size_t>(left, per_batch));
    if (!batch.CreateSprites(device, quads)) {
      batches_.clear();
      return false;
    }
    left -= quads;
  }
  count_ = count;
  return true;
}

void SpriteBatches::SetTexture(const std::shared_ptr<Texture>& texture) {
  for (ParticleGeomArray& batch : batches_) batch.texture = texture;
}

}  // namespace lumi
