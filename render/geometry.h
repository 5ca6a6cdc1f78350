// The geometry chain everything the scene draws is built from: a frame
// with its matrix, a mesh of vertices in a device buffer, an indexed mesh,
// a sprite array of quads, and the grid of the image effects.
#pragma once

#include <cstring>
#include <memory>
#include <span>
#include <vector>

#include "render/device.h"
#include "render/sprite_quads.h"
#include "render/texture_animation.h"

namespace lumi {

struct VRN_Frame {
  Matrix matrix;
  std::vector<std::shared_ptr<VRN_Frame>> attached;
};

struct DS_Frame : VRN_Frame {
  std::shared_ptr<VertexBuffer> vertexBuffer;
  void* locked = nullptr;  // only between Lock and Unlock
  uint32_t vertexCount = 0;
  PrimitiveType primitiveType = PrimitiveType::TriangleStrip;
  uint32_t primitiveCount = 0;
  std::shared_ptr<Texture> texture;
};

template <typename Vertex>
struct DS_SimpleMesh : DS_Frame {
  // A managed, write-only buffer of count vertices; kept when the count
  // does not change.
  bool CreateVertices(GraphicsDevice& device, uint32_t count) {
    if (vertexBuffer && vertexCount == count) return true;
    vertexBuffer = device.CreateVertexBuffer(count * sizeof(Vertex), kBufferWriteOnly, Pool::Managed);
    vertexCount = vertexBuffer ? count : 0;
    return vertexBuffer != nullptr;
  }
  Vertex* Lock() {
    if (!vertexBuffer || locked) return nullptr;
    locked = vertexBuffer->Lock(0, 0, kLockDiscard);
    return static_cast<Vertex*>(locked);
  }
  void Unlock() {
    if (locked) vertexBuffer->Unlock();
    locked = nullptr;
  }
  bool Write(std::span<const Vertex> vertices) {
    Vertex* out = Lock();
    if (!out) return false;
    std::memcpy(out, vertices.data(), std::min<size_t>(vertices.size(), vertexCount) * sizeof(Vertex));
    Unlock();
    return true;
  }
};

template <typename Vertex>
struct DS_IndexedMesh : DS_SimpleMesh<Vertex> {
  DS_IndexedMesh() { this->primitiveType = PrimitiveType::TriangleList; }
  bool CreateIndices(GraphicsDevice& device, std::span<const uint16_t> indices) {
    if (!indexBuffer || indexCount != indices.size()) {
      indexBuffer = device.CreateIndexBuffer(static_cast<uint32_t>(indices.size()), kBufferWriteOnly, Pool::Managed);
      indexCount = indexBuffer ? static_cast<uint32_t>(indices.size()) : 0;
    }
    if (!indexBuffer) return false;
    void* out = indexBuffer->Lock(0, 0);
    if (!out) return false;
    std::memcpy(out, indices.data(), indices.size() * sizeof(uint16_t));
    indexBuffer->Unlock();
    this->primitiveCount = indexCount / 3;
    return true;
  }
  std::shared_ptr<IndexBuffer> indexBuffer;
  uint32_t indexCount = 0;
};

template <typename Vertex>
struct DS_SpriteArrayT : DS_IndexedMesh<Vertex> {
  // Buffers for count sprites, made again only when the count changes.
  bool CreateSprites(GraphicsDevice& device, uint32_t count) {
    if (count == 0 || count > 16384) return false;  // 16-bit indices
    if (spriteCount == count && this->vertexBuffer && this->indexBuffer) return true;
    if (!this->CreateVertices(device, count * 4)) return false;
    const std::vector<uint16_t> indices = SpriteIndices(count);
    if (!this->CreateIndices(device, indices)) return false;
    spriteCount = count;
    return true;
  }
  uint32_t spriteCount = 0;
};

// What a particle constructor tells the sprite geometry.
class SpriteSource {
 public:
  virtual ~SpriteSource() = default;
  virtual size_t ParticleCount() const = 0;
  virtual uint32_t ColorOf(uint32_t colorIndex) const = 0;
  virtual bool FlipVertical() const = 0;
  virtual bool FlipHorizontal() const = 0;
  // Sheet animation: frame count (0 for none), frames per second, the
  // constructor's clock and the frame that follows the current one.
  virtual uint32_t SheetFrames() const { return 0; }
  virtual float SheetFramesPerSecond() const { return 0; }
  virtual float Clock() const { return 0; }
  virtual uint32_t NextSheetFrame(uint32_t current) const { return SheetFrames() ? (current + 1) % SheetFrames() : 0; }
};

struct ParticleGeomArray : DS_SpriteArrayT<VertexPCT> {
  // Steps the sheet animation; true when the frame changed.
  bool StepSheet(const SpriteSource& source);
  // Rewrites every quad under one lock, when there is one record per
  // particle of the source.
  bool BuildSprites(const SpriteSource& source);

  std::vector<SpriteRecord> records;
  SpriteSheetAnimation sheet;
  // Animated image files: the used part of the frame texture.
  bool imageFrames = false;
  float frameUScale = 1, frameVScale = 1;
};

template <typename Base>
struct AnimatedTexture : Base {
  std::vector<std::shared_ptr<Texture>> frames;
  ImageSequenceAnimation sequence;
  // Moves the image sequence on; the frame texture follows.
  bool StepFrames(float clock) {
    const bool changed = sequence.Step(clock);
    if (!frames.empty()) this->texture = frames[sequence.Frame() % frames.size()];
    return changed;
  }
};

// The rectangle mesh of the image effects.
struct GridMesh : DS_IndexedMesh<VertexPT> {
  bool Create(GraphicsDevice& device, uint32_t columns, uint32_t rows);
  bool SetCorners(const GridCorner& c0, const GridCorner& c1, const GridCorner& c2, const GridCorner& c3);
  uint32_t columns = 0, rows = 0;
};

}  // namespace lumi
