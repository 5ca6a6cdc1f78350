#include "render/resources.h"

#include <algorithm>
#include <cstring>

namespace lumi {

bool IsCompressed(TextureFormat format) {
  return format == TextureFormat::DXT1 || format == TextureFormat::DXT3 || format == TextureFormat::DXT5;
}

uint32_t RowPitch(TextureFormat format, uint32_t width) {
  switch (format) {
    case TextureFormat::A8R8G8B8:
    case TextureFormat::X8R8G8B8:
    case TextureFormat::V16U16:
      return width * 4;
    case TextureFormat::V8U8:
      return width * 2;
    case TextureFormat::DXT1:
      return std::max(1u, (width + 3) / 4) * 8;
    case TextureFormat::DXT3:
    case TextureFormat::DXT5:
      return std::max(1u, (width + 3) / 4) * 16;
  }
  return width * 4;
}

uint32_t RowCount(TextureFormat format, uint32_t height) {
  return IsCompressed(format) ? std::max(1u, (height + 3) / 4) : height;
}

const char* FormatName(TextureFormat format) {
  switch (format) {
    case TextureFormat::A8R8G8B8:
      return "A8R8G8B8";
    case TextureFormat::X8R8G8B8:
      return "X8R8G8B8";
    case TextureFormat::V8U8:
      return "V8U8";
    case TextureFormat::DXT1:
      return "DXT1";
    case TextureFormat::DXT3:
      return "DXT3";
    case TextureFormat::DXT5:
      return "DXT5";
    case TextureFormat::V16U16:
      return "V16U16";
  }
  return "?";
}

uint32_t FullChainLevels(uint32_t width, uint32_t height) {
  uint32_t levels = 1;
  for (uint32_t size = std::max(width, height); size > 1; size /= 2) ++levels;
  return levels;
}

Texture::Texture(const TextureDesc& desc) : DeviceResource(desc.pool), desc_(desc) {
  const uint32_t full = FullChainLevels(desc.width, desc.height);
  if (desc_.levels == 0 || desc_.levels > full) desc_.levels = full;
  if (IsRenderTarget()) desc_.levels = 1;
  levels_.resize(desc_.levels);
  if (IsRenderTarget()) return;
  for (uint32_t level = 0; level < desc_.levels; ++level) {
    levels_[level].assign(size_t{RowPitch(desc_.format, Width(level))} * RowCount(desc_.format, Height(level)), 0);
  }
}

uint32_t Texture::Width(uint32_t level) const { return std::max(1u, desc_.width >> level); }
uint32_t Texture::Height(uint32_t level) const { return std::max(1u, desc_.height >> level); }

LockedRect Texture::LockRect(uint32_t level, uint32_t) {
  if (IsRenderTarget() || IsLost() || level >= desc_.levels || locked_level_ >= 0) return {};
  locked_level_ = static_cast<int>(level);
  return {levels_[level].data(), RowPitch(desc_.format, Width(level))};
}

bool Texture::UnlockRect(uint32_t level) {
  if (locked_level_ != static_cast<int>(level)) return false;
  locked_level_ = -1;
  UploadLevel(level);
  return true;
}

bool Texture::WriteLevel(uint32_t level, const void* data, size_t size) {
  const LockedRect rect = LockRect(level);
  if (!rect.bits) return false;
  std::memcpy(rect.bits, data, std::min(size, levels_[level].size()));
  return UnlockRect(level);
}

bool Texture::WriteLevel(uint32_t level, std::vector<uint8_t>&& pixels) {
  if (level >= desc_.levels || pixels.size() != levels_[level].size()) {
    return WriteLevel(level, pixels.data(), pixels.size());
  }
  if (!LockRect(level).bits) return false;
  levels_[level] = std::move(pixels);
  return UnlockRect(level);
}

Buffer::Buffer(uint32_t size, uint32_t usage, Pool pool) : DeviceResource(pool), data_(size, 0), usage_(usage) {}

void* Buffer::Lock(uint32_t offset, uint32_t size, uint32_t) {
  if (locked_ || IsLost() || offset > data_.size()) return nullptr;
  if (size == 0) size = Size() - offset;
  if (size > Size() - offset) return nullptr;
  locked_ = true;
  lock_offset_ = offset;
  lock_size_ = size;
  return data_.data() + offset;
}

bool Buffer::Unlock() {
  if (!locked_) return false;
  locked_ = false;
  Upload(lock_offset_, lock_size_);
  return true;
}

uint32_t ComponentCount(ConstantType type) {
  switch (type) {
    case ConstantType::Float:
      return 1;
    case ConstantType::Float2:
      return 2;
    case ConstantType::Float3:
      return 3;
    case ConstantType::Float4:
      return 4;
    case ConstantType::Float2x2:
      return 4;
    case ConstantType::Float4x4:
      return 16;
  }
  return 1;
}

PixelProgram::PixelProgram(PixelProgramSource source) : DeviceResource(Pool::Managed), source_(std::move(source)) {
  for (const ProgramConstant& constant : source_.constants) {
    values_.emplace_back(ComponentCount(constant.type), 0.0f);
  }
}

void PixelProgram::SetConstant(size_t index, const float* values, size_t count) {
  if (index >= values_.size()) return;
  std::vector<float>& target = values_[index];
  count = std::min(count, target.size());
  if (std::equal(values, values + count, target.begin())) return;
  std::copy(values, values + count, target.begin());
  ++version_;
}

}  // namespace lumi
