// JPEG decoding through TurboJPEG, the fast path for photographs.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace lumi {

// Decodes to R, G, B, A bytes, rows top first. False with the reason in
// error for anything TurboJPEG cannot read.
bool DecodeJpegRgba(const uint8_t* data, size_t size, uint32_t& width, uint32_t& height, std::vector<uint8_t>& rgba,
                    std::string& error);

}  // namespace lumi
