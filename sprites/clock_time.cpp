#include "sprites/clock_time.h"

#include <ctime>

namespace lumi {
namespace {

std::optional<ClockTime> ComputerLocalTime() {
  const std::time_t now = std::time(nullptr);
  if (now == static_cast<std::time_t>(-1)) return std::nullopt;
  // The saver has one thread of its own, so the library's shared result
  // is not raced.
  const std::tm* local = std::localtime(&now);
  if (local == nullptr) return std::nullopt;
  return ClockTime{local->tm_hour, local->tm_min, local->tm_sec};
}

ClockTimeSource& Source() {
  static ClockTimeSource source;
  return source;
}

}  // namespace

std::optional<ClockTime> CurrentClockTime() { return Source() ? Source()() : ComputerLocalTime(); }

void SetClockTimeSource(ClockTimeSource source) { Source() = std::move(source); }

std::optional<ClockTime> ParseClockTime(std::string_view text) {
  if (text.size() != 8 || text[2] != ':' || text[5] != ':') return std::nullopt;
  int parts[3] = {};
  for (int i = 0; i < 3; ++i) {
    const char tens = text[i * 3], units = text[i * 3 + 1];
    if (tens < '0' || tens > '9' || units < '0' || units > '9') return std::nullopt;
    parts[i] = (tens - '0') * 10 + (units - '0');
  }
  if (parts[0] > 23 || parts[1] > 59 || parts[2] > 59) return std::nullopt;
  return ClockTime{parts[0], parts[1], parts[2]};
}

}  // namespace lumi
