// Numbers given on the command line, as seconds: one, or a comma list.
#pragma once

#include <string>
#include <vector>

namespace lumi::tool {

// Throws UsageError naming `what` when the text is not a whole number.
double ParseNumber(const std::string& text, const std::string& what);
std::vector<double> ParseNumberList(const std::string& list, const std::string& what);

}  // namespace lumi::tool
