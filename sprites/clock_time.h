// The time of day the clock shows: the computer's local time, or a source
// set in its place (a fixed time, so that drawings of a clock can be
// compared; a failing source in tests).
#pragma once

#include <functional>
#include <optional>
#include <string_view>

namespace lumi {

struct ClockTime {
  int hours = 0, minutes = 0, seconds = 0;
};

// nullopt when the local time cannot be had.
using ClockTimeSource = std::function<std::optional<ClockTime>()>;

std::optional<ClockTime> CurrentClockTime();
// An empty source gives the computer's local time again.
void SetClockTimeSource(ClockTimeSource source);
// "HH:MM:SS" with hours 0 to 23 and minutes and seconds 0 to 59; nullopt
// for anything else.
std::optional<ClockTime> ParseClockTime(std::string_view text);

}  // namespace lumi
