// Numbers given on the command line: seconds, one or a comma list, and
// sizes in pixels.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace lumi::tool {

// Throws UsageError naming `what` when the text is not a whole number.
double ParseNumber(const std::string& text, const std::string& what);
std::vector<double> ParseNumberList(const std::string& list, const std::string& what);
// An unsigned 32-bit whole number; UsageError naming `what` otherwise.
uint32_t WholeNumber(const std::string& text, const char* what);

struct PixelSize {
  uint32_t width = 0, height = 0;
};
// "640x400", each side 1 to 16384; throws UsageError naming `what`.
PixelSize ParsePixelSize(const std::string& text, const std::string& what);

}  // namespace lumi::tool
