#include "platform/windows/performance_clock.h"

#include "platform/windows_api.h"
#include <mmsystem.h>

namespace lumi {

TickClock PerformanceCounterClock() {
  LARGE_INTEGER frequency{};
  if (QueryPerformanceFrequency(&frequency) && frequency.QuadPart > 0) {
    return {[] {
              LARGE_INTEGER count{};
              QueryPerformanceCounter(&count);
              return static_cast<std::int64_t>(count.QuadPart);
            },
            frequency.QuadPart};
  }
  // timeGetTime wraps after 49.7 days; the steps between readings never do.
  return {[last = timeGetTime(), total = std::int64_t{0}]() mutable {
            const DWORD now = timeGetTime();
            total += static_cast<DWORD>(now - last);
            last = now;
            return total;
          },
          1000};
}

}  // namespace lumi
