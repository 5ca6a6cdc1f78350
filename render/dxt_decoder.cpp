#include "render/dxt_decoder.h"

#include <algorithm>
#include <cstring>

#include "render/resources.h"

namespace lumi {

namespace {

uint16_t Read16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | (p[1] << 8)); }

void Expand565(uint16_t value, uint8_t* rgb) {
  const int r = (value >> 11) & 0x1f, g = (value >> 5) & 0x3f, b = value & 0x1f;
  rgb[0] = static_cast<uint8_t>((r << 3) | (r >> 2));
  rgb[1] = static_cast<uint8_t>((g << 2) | (g >> 4));
  rgb[2] = static_cast<uint8_t>((b << 3) | (b >> 2));
}

// The colour half of every block. Only DXT1 knows the three-colour mode
// with a transparent fourth entry.
void DecodeColours(const uint8_t* block, bool dxt1, uint8_t rgba[64]) {
  const uint16_t c0 = Read16(block), c1 = Read16(block + 2);
  uint8_t codes[16];
  Expand565(c0, codes);
  Expand565(c1, codes + 4);
  codes[3] = codes[7] = 255;
  const bool threeColour = dxt1 && c0 <= c1;
  for (int i = 0; i < 3; ++i) {
    const int a = codes[i], b = codes[4 + i];
    if (threeColour) {
      codes[8 + i] = static_cast<uint8_t>((a + b) / 2);
      codes[12 + i] = 0;
    } else {
      codes[8 + i] = static_cast<uint8_t>((2 * a + b) / 3);
      codes[12 + i] = static_cast<uint8_t>((a + 2 * b) / 3);
    }
  }
  codes[11] = 255;
  codes[15] = threeColour ? 0 : 255;
  for (int texel = 0; texel < 16; ++texel) {
    const int index = (block[4 + texel / 4] >> (2 * (texel % 4))) & 3;
    std::memcpy(rgba + 4 * texel, codes + 4 * index, 4);
  }
}

void DecodeExplicitAlpha(const uint8_t* block, uint8_t rgba[64]) {
  for (int texel = 0; texel < 16; ++texel) {
    const int nibble = (block[texel / 2] >> (4 * (texel % 2))) & 0xf;
    rgba[4 * texel + 3] = static_cast<uint8_t>(nibble | (nibble << 4));
  }
}

void DecodeInterpolatedAlpha(const uint8_t* block, uint8_t rgba[64]) {
  const int a0 = block[0], a1 = block[1];
  uint8_t codes[8] = {static_cast<uint8_t>(a0), static_cast<uint8_t>(a1)};
  if (a0 > a1) {
    for (int i = 1; i < 7; ++i) codes[1 + i] = static_cast<uint8_t>(((7 - i) * a0 + i * a1) / 7);
  } else {
    for (int i = 1; i < 5; ++i) codes[1 + i] = static_cast<uint8_t>(((5 - i) * a0 + i * a1) / 5);
    codes[6] = 0;
    codes[7] = 255;
  }
  uint64_t bits = 0;
  for (int i = 0; i < 6; ++i) bits |= uint64_t{block[2 + i]} << (8 * i);
  for (int texel = 0; texel < 16; ++texel) rgba[4 * texel + 3] = codes[(bits >> (3 * texel)) & 7];
}

}  // namespace

void DecodeDxtBlock(TextureFormat format, const uint8_t* block, uint8_t rgba[64]) {
  switch (format) {
    case TextureFormat::DXT1:
      DecodeColours(block, true, rgba);
      break;
    case TextureFormat::DXT3:
      DecodeColours(block + 8, false, rgba);
      DecodeExplicitAlpha(block, rgba);
      break;
    case TextureFormat::DXT5:
      DecodeColours(block + 8, false, rgba);
      DecodeInterpolatedAlpha(block, rgba);
      break;
    default:
      std::memset(rgba, 0, 64);
      break;
  }
}

std::optional<std::vector<uint8_t>> DecodeDxtImage(TextureFormat format, uint32_t width, uint32_t height,
                                                   const uint8_t* blocks, size_t size) {
  if (!IsCompressed(format)) return std::nullopt;
  const uint32_t blockBytes = format == TextureFormat::DXT1 ? 8 : 16;
  const uint32_t columns = (width + 3) / 4, rows = (height + 3) / 4;
  if (size < size_t{columns} * rows * blockBytes) return std::nullopt;
  std::vector<uint8_t> rgba(size_t{width} * height * 4);
  uint8_t texels[64];
  for (uint32_t by = 0; by < rows; ++by) {
    for (uint32_t bx = 0; bx < columns; ++bx) {
      DecodeDxtBlock(format, blocks + (size_t{by} * columns + bx) * blockBytes, texels);
      for (uint32_t y = 0; y < 4 && by * 4 + y < height; ++y) {
        const uint32_t visible = std::min(4u, width - bx * 4);
        std::memcpy(&rgba[(size_t{by * 4 + y} * width + bx * 4) * 4], texels + 16 * y, visible * 4);
      }
    }
  }
  return rgba;
}

}  // namespace lumi
