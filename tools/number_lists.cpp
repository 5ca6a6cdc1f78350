#include "tools/number_lists.h"

#include <cerrno>
#include <charconv>
#include <cstdlib>

#include "tools/command.h"

namespace lumi::tool {

double ParseNumber(const std::string& text, const std::string& what) {
  const char* begin = text.c_str();
  char* end = nullptr;
  errno = 0;
  const double value = std::strtod(begin, &end);
  if (text.empty() || end != begin + text.size() || errno == ERANGE) {
    throw UsageError{what + " is not a number: '" + text + "'"};
  }
  return value;
}

std::vector<double> ParseNumberList(const std::string& list, const std::string& what) {
  std::vector<double> numbers;
  size_t start = 0;
  while (true) {
    const size_t comma = list.find(',', start);
    numbers.push_back(ParseNumber(list.substr(start, comma - start), what));
    if (comma == std::string::npos) break;
    start = comma + 1;
  }
  return numbers;
}

uint32_t WholeNumber(const std::string& text, const char* what) {
  uint32_t value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc() || end != text.data() + text.size()) throw UsageError{std::string(what) + ": not a number: " + text};
  return value;
}

PixelSize ParsePixelSize(const std::string& text, const std::string& what) {
  const size_t cross = text.find('x');
  const auto side = [&](const std::string& digits) {
    uint32_t value = 0;
    const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), value);
    if (digits.empty() || error != std::errc() || end != digits.data() + digits.size() || value == 0 ||
        value > 16384) {
      throw UsageError{what + " must look like 640x400, each side 1 to 16384, not '" + text + "'"};
    }
    return value;
  };
  if (cross == std::string::npos) side("");
  return {side(text.substr(0, cross)), side(text.substr(cross + 1))};
}

}  // namespace lumi::tool
