#include "tools/clock_option.h"

#include "sprites/clock_time.h"
#include "tools/command.h"

namespace lumi::tool {

void ApplyLocalTimeOption(const std::optional<std::string>& value) {
  if (!value) return;
  const std::optional<ClockTime> time = ParseClockTime(*value);
  if (!time) throw UsageError{"--local-time must be HH:MM:SS (00:00:00 to 23:59:59), not \"" + *value + "\""};
  SetClockTimeSource([fixed = *time] { return std::optional<ClockTime>(fixed); });
}

}  // namespace lumi::tool
