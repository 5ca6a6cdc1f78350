// --local-time HH:MM:SS, which render, bench and simulate take so that the
// clock objects show a fixed time and their drawings can be compared.
#pragma once

#include <optional>
#include <string>

namespace lumi::tool {

inline constexpr char kLocalTimeUsage[] =
    "  --local-time HH:MM:SS   the time of day clocks show (default: the computer's)\n";

// Sets the time the clocks show from the option's value, if given; throws
// UsageError for a value that is no time of day.
void ApplyLocalTimeOption(const std::optional<std::string>& value);

}  // namespace lumi::tool
