#include <bit>
#include <cstring>

#include "render/decoded_picture.h"
#include "render/resources.h"

namespace lumi {

namespace {

constexpr uint32_t kHeaderSize = 128;  // magic and header
constexpr uint32_t kFlagMipMapCount = 0x20000;
constexpr uint32_t kPixelAlpha = 0x1, kPixelFourCc = 0x4, kPixelRgb = 0x40, kPixelLuminance = 0x20000,
                   kPixelBumpDuDv = 0x80000;
constexpr uint32_t kCaps2CubeMap = 0x200, kCaps2Volume = 0x200000;
constexpr uint32_t kMaxSize = 16384;

uint32_t Read32(std::span<const uint8_t> bytes, size_t at) {
  uint32_t value;
  std::memcpy(&value, bytes.data() + at, 4);
  return value;
}

constexpr uint32_t FourCc(const char (&code)[5]) {
  return uint32_t(uint8_t(code[0])) | uint32_t(uint8_t(code[1])) << 8 | uint32_t(uint8_t(code[2])) << 16 |
         uint32_t(uint8_t(code[3])) << 24;
}

// Extracts the channel under mask from a pixel and scales it to 8 bits.
uint8_t Channel(uint32_t pixel, uint32_t mask) {
  if (mask == 0) return 0;
  const int shift = std::countr_zero(mask);
  const int bits = std::popcount(mask);
  const uint32_t value = (pixel & mask) >> shift;
  const uint32_t maximum = bits >= 32 ? 0xffffffffu : (1u << bits) - 1;
  return static_cast<uint8_t>((uint64_t{value} * 255 + maximum / 2) / maximum);
}

struct MaskedFormat {
  uint32_t bytesPerPixel;
  uint32_t r, g, b, a;
  bool luminance;
};

std::vector<uint8_t> ConvertMasked(const uint8_t* data, uint32_t width, uint32_t height, const MaskedFormat& f) {
  std::vector<uint8_t> bgra(size_t{width} * height * 4);
  for (size_t i = 0; i < size_t{width} * height; ++i) {
    uint32_t pixel = 0;
    std::memcpy(&pixel, data + i * f.bytesPerPixel, f.bytesPerPixel);
    uint8_t* out = &bgra[i * 4];
    if (f.luminance) {
      out[0] = out[1] = out[2] = Channel(pixel, f.r);
    } else {
      out[0] = Channel(pixel, f.b);
      out[1] = Channel(pixel, f.g);
      out[2] = Channel(pixel, f.r);
    }
    out[3] = f.a ? Channel(pixel, f.a) : 255;
  }
  return bgra;
}

}  // namespace

std::optional<DecodedPicture> ReadDds(std::span<const uint8_t> bytes, std::string& error) {
  if (bytes.size() < kHeaderSize || std::memcmp(bytes.data(), "DDS ", 4) != 0) {
    error = "DDS file shorter than its header";
    return std::nullopt;
  }
  if (Read32(bytes, 4) != 124 || Read32(bytes, 76) != 32) {
    error = "DDS header has wrong structure sizes";
    return std::nullopt;
  }
  const uint32_t flags = Read32(bytes, 8), height = Read32(bytes, 12), width = Read32(bytes, 16);
  const uint32_t mipCount = Read32(bytes, 28);
  const uint32_t pixelFlags = Read32(bytes, 80), fourCc = Read32(bytes, 84), bitCount = Read32(bytes, 88);
  const uint32_t masks[4] = {Read32(bytes, 92), Read32(bytes, 96), Read32(bytes, 100), Read32(bytes, 104)};
  const uint32_t caps2 = Read32(bytes, 112);
  if (width == 0 || height == 0 || width > kMaxSize || height > kMaxSize) {
    error = "DDS size " + std::to_string(width) + " x " + std::to_string(height) + " is out of range";
    return std::nullopt;
  }
  if (caps2 & (kCaps2CubeMap | kCaps2Volume)) {
    error = "DDS cube maps and volume textures are not supported";
    return std::nullopt;
  }
  DecodedPicture picture;
  picture.width = width;
  picture.height = height;
  std::optional<MaskedFormat> masked;
  if (pixelFlags & kPixelFourCc) {
    if (fourCc == FourCc("DXT1")) {
      picture.format = TextureFormat::DXT1;
    } else if (fourCc == FourCc("DXT2") || fourCc == FourCc("DXT3")) {
      picture.format = TextureFormat::DXT3;
    } else if (fourCc == FourCc("DXT4") || fourCc == FourCc("DXT5")) {
      picture.format = TextureFormat::DXT5;
    } else {
      char code[5] = {};
      std::memcpy(code, &fourCc, 4);
      for (char& c : code) c = (c >= 32 && c < 127) ? c : (c ? '?' : 0);
      error = std::string("DDS compression \"") + code + "\" is not supported";
      return std::nullopt;
    }
  } else if ((pixelFlags & kPixelBumpDuDv) && bitCount == 16 && masks[0] == 0xff && masks[1] == 0xff00) {
    picture.format = TextureFormat::V8U8;
  } else if ((pixelFlags & (kPixelRgb | kPixelLuminance)) &&
             (bitCount == 8 || bitCount == 16 || bitCount == 24 || bitCount == 32)) {
    masked = MaskedFormat{bitCount / 8,
                          masks[0],
                          masks[1],
                          masks[2],
                          (pixelFlags & kPixelAlpha) ? masks[3] : 0,
                          (pixelFlags & kPixelLuminance) != 0};
  } else {
    error = "DDS pixel format (flags 0x" + std::to_string(pixelFlags) + ", " + std::to_string(bitCount) +
            " bits) is not supported";
    return std::nullopt;
  }
  uint32_t levels = (flags & kFlagMipMapCount) && mipCount > 0 ? mipCount : 1;
  levels = std::min(levels, FullChainLevels(width, height));
  DecodedFrame frame;
  size_t at = kHeaderSize;
  for (uint32_t level = 0; level < levels; ++level) {
    const uint32_t w = std::max(1u, width >> level), h = std::max(1u, height >> level);
    const size_t size = masked ? size_t{w} * h * masked->bytesPerPixel
                               : size_t{RowPitch(picture.format, w)} * RowCount(picture.format, h);
    if (bytes.size() - at < size) {
      if (level == 0) {
        error = "DDS file is truncated: its first level needs " + std::to_string(size) + " bytes, " +
                std::to_string(bytes.size() - at) + " remain";
        return std::nullopt;
      }
      break;  // keep the levels that are complete
    }
    const uint8_t* data = bytes.data() + at;
    frame.levels.push_back(masked ? ConvertMasked(data, w, h, *masked) : std::vector<uint8_t>(data, data + size));
    at += size;
  }
  picture.frames.push_back(std::move(frame));
  return picture;
}

}  // namespace lumi
