#include "tools/number_lists.h"

#include <cerrno>
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

}  // namespace lumi::tool
