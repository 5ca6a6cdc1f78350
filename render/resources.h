// Device resources: textures, vertex and index buffers, depth surfaces and
// pixel programs. Lockable resources keep their contents in system memory,
// so managed ones can be put back after the device is lost.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "render/device_types.h"

namespace lumi {

class ResourceTracker;

class DeviceResource {
 public:
  explicit DeviceResource(Pool pool) : pool_(pool) {}
  virtual ~DeviceResource() = default;
  DeviceResource(const DeviceResource&) = delete;
  DeviceResource& operator=(const DeviceResource&) = delete;

  Pool GetPool() const { return pool_; }
  // True for a default-pool resource whose device was lost: it holds
  // nothing any more and every use of it fails.
  bool IsLost() const { return lost_; }

 protected:
  // Drops the device-side objects; managed resources get them back through
  // RestoreDeviceObjects after the device is reset.
  virtual void ReleaseDeviceObjects() {}
  virtual void RestoreDeviceObjects() {}

 private:
  friend class ResourceTracker;
  Pool pool_;
  bool lost_ = false;
};

struct TextureDesc {
  uint32_t width = 0;
  uint32_t height = 0;
  uint32_t levels = 1;  // 0 asks for the full chain down to 1 x 1
  TextureFormat format = TextureFormat::A8R8G8B8;
  uint32_t usage = kUsageNone;
  Pool pool = Pool::Managed;
};

struct LockedRect {
  uint8_t* bits = nullptr;  // null when the lock failed
  uint32_t pitch = 0;
};

uint32_t FullChainLevels(uint32_t width, uint32_t height);

class Texture : public DeviceResource {
 public:
  explicit Texture(const TextureDesc& desc);

  const TextureDesc& Desc() const { return desc_; }
  uint32_t Width(uint32_t level = 0) const;
  uint32_t Height(uint32_t level = 0) const;
  uint32_t Levels() const { return desc_.levels; }
  TextureFormat Format() const { return desc_.format; }
  bool IsRenderTarget() const { return (desc_.usage & kUsageRenderTarget) != 0; }

  // Pixels of one level, rows top first, in the format's memory layout
  // (A8R8G8B8 is B, G, R, A bytes). Render targets cannot be locked.
  LockedRect LockRect(uint32_t level, uint32_t flags = kLockNone);
  bool UnlockRect(uint32_t level);
  // The system-memory copy of a level (empty for render targets).
  const std::vector<uint8_t>& LevelData(uint32_t level) const { return levels_.at(level); }
  // Replaces a whole level at once: the same as lock, copy and unlock.
  bool WriteLevel(uint32_t level, const void* data, size_t size);
  // The same for pixels of exactly the level's size, taken rather than
  // copied: a decoded picture is as large as the texture it fills.
  bool WriteLevel(uint32_t level, std::vector<uint8_t>&& pixels);

 protected:
  virtual void UploadLevel(uint32_t) {}

 private:
  TextureDesc desc_;
  std::vector<std::vector<uint8_t>> levels_;
  int locked_level_ = -1;
};

class Buffer : public DeviceResource {
 public:
  Buffer(uint32_t size, uint32_t usage, Pool pool);
  uint32_t Size() const { return static_cast<uint32_t>(data_.size()); }
  uint32_t Usage() const { return usage_; }
  // size 0 locks to the end. Fails when out of range, lost or locked.
  void* Lock(uint32_t offset, uint32_t size, uint32_t flags = kLockNone);
  bool Unlock();
  const std::vector<uint8_t>& Data() const { return data_; }

 protected:
  virtual void Upload(uint32_t, uint32_t) {}

 private:
  std::vector<uint8_t> data_;
  uint32_t usage_;
  bool locked_ = false;
  uint32_t lock_offset_ = 0, lock_size_ = 0;
};

class VertexBuffer : public Buffer {
 public:
  using Buffer::Buffer;
};

// 16-bit indices.
class IndexBuffer : public Buffer {
 public:
  IndexBuffer(uint32_t count, uint32_t usage, Pool pool) : Buffer(count * 2, usage, pool) {}
  uint32_t Count() const { return Size() / 2; }
};

class DepthStencil : public DeviceResource {
 public:
  DepthStencil(uint32_t width, uint32_t height) : DeviceResource(Pool::Default), width_(width), height_(height) {}
  uint32_t Width() const { return width_; }
  uint32_t Height() const { return height_; }

 private:
  uint32_t width_, height_;
};

enum class ConstantType { Float, Float2, Float3, Float4, Float2x2, Float4x4 };
uint32_t ComponentCount(ConstantType type);

struct ProgramConstant {
  std::string name;
  ConstantType type = ConstantType::Float;
};

// A fragment program (and optionally a vertex program) with its declared
// constants and samplers; sampler i reads texture stage i. The line numbers
// say where each text starts in its source, for compiler messages.
struct PixelProgramSource {
  std::string name;
  std::vector<ProgramConstant> constants;
  std::vector<std::string> samplers;
  std::string fragment;
  int fragmentFirstLine = 1;
  std::string vertex;
  int vertexFirstLine = 1;
};

class PixelProgram : public DeviceResource {
 public:
  explicit PixelProgram(PixelProgramSource source);
  const PixelProgramSource& Source() const { return source_; }
  // Copies up to the constant's component count; the rest keeps its value.
  void SetConstant(size_t index, const float* values, size_t count);
  const std::vector<float>& Constant(size_t index) const { return values_.at(index); }
  // Changes whenever a constant changes, so uploads can be skipped.
  uint64_t Version() const { return version_; }

 private:
  PixelProgramSource source_;
  std::vector<std::vector<float>> values_;
  uint64_t version_ = 1;
};

}  // namespace lumi
