#include "backdrop/picture_copy.h"

#include <algorithm>

#include "render/dxt_decoder.h"
#include "render/resources.h"

namespace lumi {

std::optional<std::vector<uint8_t>> ReducedCopy(const Texture& picture, uint32_t width, uint32_t height) {
  const uint32_t w = picture.Width(), h = picture.Height();
  const TextureFormat format = picture.Format();
  if (picture.IsRenderTarget() || w == 0 || h == 0 || width == 0 || height == 0) return std::nullopt;
  const std::vector<uint8_t>& level = picture.LevelData(0);
  std::vector<uint8_t> decoded;
  const uint8_t* pixels = level.data();
  bool rgba = false;
  if (IsCompressed(format)) {
    std::optional<std::vector<uint8_t>> blocks = DecodeDxtImage(format, w, h, level.data(), level.size());
    if (!blocks) return std::nullopt;
    decoded = std::move(*blocks);
    pixels = decoded.data();
    rgba = true;
  } else if ((format != TextureFormat::A8R8G8B8 && format != TextureFormat::X8R8G8B8) ||
             level.size() < size_t{w} * h * 4) {
    return std::nullopt;
  }
  const bool opaque = format == TextureFormat::X8R8G8B8;
  std::vector<uint8_t> out(size_t{width} * height * 4);
  for (uint32_t oy = 0; oy < height; ++oy) {
    const uint32_t y0 = static_cast<uint32_t>(uint64_t{oy} * h / height);
    const uint32_t y1 = std::max(y0 + 1, static_cast<uint32_t>(uint64_t{oy + 1} * h / height));
    for (uint32_t ox = 0; ox < width; ++ox) {
      const uint32_t x0 = static_cast<uint32_t>(uint64_t{ox} * w / width);
      const uint32_t x1 = std::max(x0 + 1, static_cast<uint32_t>(uint64_t{ox + 1} * w / width));
      uint64_t sum[4] = {};
      for (uint32_t y = y0; y < y1; ++y) {
        for (uint32_t x = x0; x < x1; ++x) {
          const uint8_t* p = pixels + (size_t{y} * w + x) * 4;
          for (int c = 0; c < 4; ++c) sum[c] += p[c];
        }
      }
      const uint64_t count = uint64_t{y1 - y0} * (x1 - x0);
      uint8_t* q = &out[(size_t{oy} * width + ox) * 4];
      for (int c = 0; c < 4; ++c) q[c] = static_cast<uint8_t>(sum[c] / count);
      if (rgba) std::swap(q[0], q[2]);
      if (opaque) q[3] = 255;
    }
  }
  return out;
}

}  // namespace lumi
