// The recipe that makes a lake's bump texture when its document carries
// none: the program's grey height noise, flattened towards the horizon,
// as a normal map in signed offsets. The player leaves such a lake without
// ripples; `lumisave-tool pack --lake-bumps` stores the recipe's result
// under the lake's bump identifier, so the documents it packs ripple.
#pragma once

#include <cstdint>
#include <vector>

namespace lumi {

class FakeLake2D;

constexpr uint32_t kLakeBumpSide = 512;

// A DDS file of one V8U8 level, kLakeBumpSide square: U and V hold the
// normal's x and y; the top row (the horizon) is `flattening` of the way
// to flat, the bottom row not at all.
std::vector<uint8_t> LakeBumpRecipe(float flattening, uint32_t amplitude);
std::vector<uint8_t> LakeBumpRecipe(const FakeLake2D& lake);

}  // namespace lumi
