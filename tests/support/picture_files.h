// Small picture files of every kind the player reads, made in memory.
#pragma once

#include <stb_image_write.h>

#include <array>
#include <cstdint>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "render/device.h"

namespace lumi::test {

using Bytes = std::vector<uint8_t>;

// An image of the given size whose pixels come from a function of (x, y)
// returning 0xAARRGGBB.
inline RgbaImage MakeImage(uint32_t width, uint32_t height, const std::function<uint32_t(uint32_t, uint32_t)>& pixel) {
  RgbaImage image{width, height, std::vector<uint8_t>(size_t{width} * height * 4)};
  for (uint32_t y = 0; y < height; ++y) {
    for (uint32_t x = 0; x < width; ++x) {
      const uint32_t argb = pixel(x, y);
      uint8_t* p = &image.pixels[(size_t{y} * width + x) * 4];
      p[0] = static_cast<uint8_t>(argb >> 16);
      p[1] = static_cast<uint8_t>(argb >> 8);
      p[2] = static_cast<uint8_t>(argb);
      p[3] = static_cast<uint8_t>(argb >> 24);
    }
  }
  return image;
}

// A 16 x 8 picture: a gradient with a transparent corner.
inline RgbaImage GradientPicture() {
  return MakeImage(16, 8, [](uint32_t x, uint32_t y) {
    const uint32_t alpha = x < 4 && y < 4 ? 0x40 : 0xff;
    return alpha << 24 | (x * 16) << 16 | (y * 32) << 8 | 0x80;
  });
}

inline Bytes Encode(const RgbaImage& image, const char* kind) {
  Bytes out;
  const auto append = [](void* context, void* data, int size) {
    auto* bytes = static_cast<Bytes*>(context);
    bytes->insert(bytes->end(), static_cast<uint8_t*>(data), static_cast<uint8_t*>(data) + size);
  };
  const int w = static_cast<int>(image.width), h = static_cast<int>(image.height);
  const std::string k = kind;
  if (k == "png") stbi_write_png_to_func(append, &out, w, h, 4, image.pixels.data(), w * 4);
  if (k == "bmp") stbi_write_bmp_to_func(append, &out, w, h, 4, image.pixels.data());
  if (k == "tga") stbi_write_tga_to_func(append, &out, w, h, 4, image.pixels.data());
  if (k == "jpg") stbi_write_jpg_to_func(append, &out, w, h, 4, image.pixels.data(), 95);
  return out;
}

inline void Put32(Bytes& bytes, size_t at, uint32_t value) { std::memcpy(&bytes[at], &value, 4); }

inline Bytes DdsHeader(uint32_t width, uint32_t height, uint32_t mips, uint32_t pixelFlags, const char* fourCc,
                uint32_t bits = 0, std::array<uint32_t, 4> masks = {}) {
  Bytes header(128, 0);
  std::memcpy(header.data(), "DDS ", 4);
  Put32(header, 4, 124);
  Put32(header, 8, 0x1007 | (mips > 1 ? 0x20000 : 0));
  Put32(header, 12, height);
  Put32(header, 16, width);
  Put32(header, 28, mips);
  Put32(header, 76, 32);
  Put32(header, 80, pixelFlags);
  if (fourCc) std::memcpy(&header[84], fourCc, 4);
  Put32(header, 88, bits);
  for (int i = 0; i < 4; ++i) Put32(header, 92 + 4 * i, masks[i]);
  return header;
}

// A GIF with one frame per entry of colours, each with its delay in
// hundredths of a second. The image data sends a clear code before every
// pixel, so the code size never grows.
inline Bytes Gif(const std::vector<uint8_t>& frameColours, const std::vector<uint16_t>& delays) {
  // 2 x 2 with a 4-colour table (red, green, blue, white), in one list:
  // GCC 12 misreads a copy onto the 13 header bytes as out of bounds.
  Bytes gif = {'G', 'I', 'F', '8', '9', 'a', 2, 0, 2, 0, 0xF1, 0, 0,
               255, 0,   0,   0,   255, 0,   0, 0, 255, 255, 255, 255};
  for (size_t f = 0; f < frameColours.size(); ++f) {
    const Bytes control = {0x21, 0xF9, 4, 0, static_cast<uint8_t>(delays[f]), static_cast<uint8_t>(delays[f] >> 8),
                           0,    0};
    gif.insert(gif.end(), control.begin(), control.end());
    const Bytes descriptor = {0x2C, 0, 0, 0, 0, 2, 0, 2, 0, 0, 2};
    gif.insert(gif.end(), descriptor.begin(), descriptor.end());
    uint32_t bits = 0, count = 0;
    Bytes data;
    const auto emit = [&](uint32_t code) {
      bits |= code << count;
      count += 3;
      while (count >= 8) {
        data.push_back(static_cast<uint8_t>(bits));
        bits >>= 8;
        count -= 8;
      }
    };
    for (int pixel = 0; pixel < 4; ++pixel) {
      emit(4);
      emit(frameColours[f]);
    }
    emit(5);
    if (count) data.push_back(static_cast<uint8_t>(bits));
    gif.push_back(static_cast<uint8_t>(data.size()));
    gif.insert(gif.end(), data.begin(), data.end());
    gif.push_back(0);
  }
  gif.push_back(0x3B);
  return gif;
}

}  // namespace lumi::test
