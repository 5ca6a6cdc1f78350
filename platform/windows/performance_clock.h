// The frame clock on Windows: the performance counter, or the multimedia
// timer's milliseconds on a system without one.
#pragma once

#include <cstdint>
#include <functional>

namespace lumi {

struct TickClock {
  std::function<std::int64_t()> ticks;  // monotonic
  std::int64_t frequency = 0;           // ticks per second
};

TickClock PerformanceCounterClock();

}  // namespace lumi
