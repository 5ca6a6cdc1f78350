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

// A one-texel white texture: sprites without a picture draw their vertex
// colour alone, never another object's texture.
std::shared_ptr<Texture> WhiteSpriteTexture(GraphicsDevice& device);

class SpriteBatches {
 public:
  static constexpr uint32_t kQuadsPerBatch = 16384;

  // Buffers for `count` sprites, `per_batch` in each; kept while both stay.
  // False when a buffer could not be made (nothing is drawn then).
  bool Resize(GraphicsDevice& device, size_t count, uint32_t per_batch = kQuadsPerBatch);
  // Room for at least `count` sprites, grown in steps of kQuadGrowth so a
  // growing population does not make its buffers again every frame.
  static constexpr size_t kQuadGrowth = 256;
  bool Reserve(GraphicsDevice& device, size_t count) {
    return count <= count_ || Resize(device, (count + kQuadGrowth - 1) / kQuadGrowth * kQuadGrowth);
  }
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
