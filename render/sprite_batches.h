// Sprite populations beyond what one 16-bit index buffer reaches: quads in
// batches of up to 16,384 sprites, each a sprite array of its own, written
// in place under one lock per batch.
#pragma once

#include <algorithm>
#include <cstddef>
#include <memory>
#include <vector>

#include "render/geometry.h"

namespace lumi {

class SpriteBatches {
 public:
  static constexpr uint32_t kQuadsPerBatch = 16384;

  // Buffers for `count` sprites, `per_batch` in each; kept while both stay.
  // False when a buffer could not be made (nothing is drawn then).
  bool Resize(GraphicsDevice& device, size_t count, uint32_t per_batch = kQuadsPerBatch);
  size_t Count() const { return count_; }
  void SetTexture(const std::shared_ptr<Texture>& texture);
  // The world transform every batch draws with.
  void SetMatrix(const Matrix& matrix) {
    for (ParticleGeomArray& batch : batches_) batch.matrix = matrix;
  }

  // Rewrites every quad: write(i, out) fills the four vertices of sprite i.
  template <typename Write>
  bool WriteQuads(Write&& write) {
    size_t first = 0;
    for (ParticleGeomArray& batch : batches_) {
      VertexPCT* out = batch.Lock();
      if (out == nullptr) return false;
      for (uint32_t k = 0; k < batch.spriteCount; ++k) write(first + k, out + 4 * k);
      batch.Unlock();
      first += batch.spriteCount;
    }
    return true;
  }

  // Rewrites only the first `count` quads, for populations that use part
  // of what the buffers hold.
  template <typename Write>
  bool WriteFirst(size_t count, Write&& write) {
    size_t first = 0;
    for (ParticleGeomArray& batch : batches_) {
      if (first >= count) break;
      const auto quads = static_cast<uint32_t>(std::min<size_t>(batch.spriteCount, count - first));
      VertexPCT* out = batch.Lock();
      if (out == nullptr) return false;
      for (uint32_t k = 0; k < quads; ++k) write(first + k, out + 4 * k);
      batch.Unlock();
      first += batch.spriteCount;
    }
    return true;
  }

  const std::vector<ParticleGeomArray>& Batches() const { return batches_; }

 private:
  std::vector<ParticleGeomArray> batches_;
  size_t count_ = 0;
  uint32_t per_batch_ = kQuadsPerBatch;
};

}  // namespace lumi
