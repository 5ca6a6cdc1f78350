#include "render/sprite_batches.h"

namespace lumi {

bool SpriteBatches::Resize(GraphicsDevice& device, size_t count) {
  if (count == count_ && !batches_.empty()) return true;
  const size_t needed = (count + kQuadsPerBatch - 1) / kQuadsPerBatch;
  batches_.resize(needed);
  count_ = 0;
  size_t left = count;
  for (ParticleGeomArray& batch : batches_) {
    const auto quads = static_cast<uint32_t>(std::min<size_t>(left, kQuadsPerBatch));
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
