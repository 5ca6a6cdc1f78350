// Decoding of DXT1, DXT3 and DXT5 blocks to R, G, B, A bytes, for devices
// that cannot sample compressed textures and for copies out of them.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

#include "render/device_types.h"

namespace lumi {

// One 4 x 4 block to 64 bytes of RGBA, rows top first.
void DecodeDxtBlock(TextureFormat format, const uint8_t* block, uint8_t rgba[64]);

// A whole level of width x height pixels; empty when the data is shorter
// than the level needs.
std::optional<std::vector<uint8_t>> DecodeDxtImage(TextureFormat format, uint32_t width, uint32_t height,
                                                   const uint8_t* blocks, size_t size);

}  // namespace lumi
