// The screen saver's icon, drawn at build time: a low sun over dark water.
#pragma once

#include <vector>

namespace lumi::embed {

// An .ico file holding one 32 x 32 picture of 32-bit colour with alpha.
std::vector<unsigned char> SaverIcon();

}  // namespace lumi::embed
