// A picture decoded from the bytes of an image file, in texture memory
// layout, ready to become one texture per frame.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "render/device_types.h"

namespace lumi {

struct DecodedFrame {
  std::vector<std::vector<uint8_t>> levels;  // level 0 first
  uint32_t delayMs = 0;                      // animated pictures only
};

struct DecodedPicture {
  TextureFormat format = TextureFormat::A8R8G8B8;
  uint32_t width = 0, height = 0;
  std::vector<DecodedFrame> frames;
};

// JPEG, PNG, BMP, TGA, GIF (every frame) and DDS. Empty with the reason in
// error when the bytes are no picture this player reads.
std::optional<DecodedPicture> DecodePicture(std::span<const uint8_t> bytes, std::string& error);

// DDS files: DXT1, DXT3, DXT5, V8U8 and uncompressed RGB(A) or luminance.
std::optional<DecodedPicture> ReadDds(std::span<const uint8_t> bytes, std::string& error);

}  // namespace lumi
