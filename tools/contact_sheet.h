// Frames side by side in one picture, left to right and top to bottom.
#pragma once

#include <vector>

#include "render/device.h"

namespace lumi::tool {

// Frames wider than this are shrunk by a whole factor to fit.
inline constexpr uint32_t kContactCellWidth = 480;
inline constexpr uint32_t kContactGap = 4;

// As a window shows the frame: the back buffer's alpha is not seen.
void MakeOpaque(RgbaImage& frame);

// A grid of about as many columns as rows on a dark grey ground; each cell
// is the size of the first frame after shrinking. Empty for no frames.
RgbaImage MakeContactSheet(const std::vector<RgbaImage>& frames);

}  // namespace lumi::tool
