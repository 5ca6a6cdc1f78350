// A reduced copy of a picture texture, made from the copy the texture keeps
// in memory, so it needs no render target and survives device resets.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

namespace lumi {

class Texture;

// Level 0 of `picture` averaged down (or spread up) to width x height, as
// A8R8G8B8 memory (B, G, R, A bytes), rows top first. Empty for a texture
// without pixels of its own (a render target, a signed format).
std::optional<std::vector<uint8_t>> ReducedCopy(const Texture& picture, uint32_t width, uint32_t height);

}  // namespace lumi
