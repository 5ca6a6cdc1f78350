// JPEG decoding through TurboJPEG, the fast path for photographs.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace lumi {

// Decodes to B, G, R, A bytes, rows top first: the byte order of the
// textures' A8R8G8B8, so the pixels go to the device as they come. False
// with the reason in error for anything TurboJPEG cannot read.
bool DecodeJpegBgra(const uint8_t* data, size_t size, uint32_t& width, uint32_t& height, std::vector<uint8_t>& bgra,
                    std::string& error);

}  // namespace lumi
