// Textures from the bytes of image files, keeping the source's size.
#pragma once

#include <memory>
#include <span>
#include <string>
#include <vector>

#include "render/device.h"

namespace lumi {

struct LoadedPicture {
  // One texture per frame; empty when the picture did not decode.
  std::vector<std::shared_ptr<Texture>> frames;
  std::vector<uint32_t> delaysMs;  // per frame, for animated pictures
  uint32_t width = 0, height = 0;  // of the source picture
  bool Empty() const { return frames.empty(); }
};

struct PictureOptions {
  Pool pool = Pool::Managed;
  // 1 keeps only the picture; 0 adds the full chain of smaller levels
  // (files that carry their own levels keep those).
  uint32_t mipLevels = 1;
};

// On failure the result is empty and message says what was wrong.
LoadedPicture LoadPicture(GraphicsDevice& device, std::span<const uint8_t> bytes, const PictureOptions& options,
                          std::string& message);

}  // namespace lumi
