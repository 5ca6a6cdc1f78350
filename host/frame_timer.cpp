#include "host/frame_timer.h"

#include <chrono>

namespace lumi {

FrameTimer::FrameTimer(std::function<std::int64_t()> counter, std::int64_t frequency)
    : counter_(std::move(counter)), frequency_(frequency) {}

FrameTimer::FrameTimer()
    : FrameTimer([] { return std::chrono::steady_clock::now().time_since_epoch().count(); },
                 std::chrono::steady_clock::period::den / std::chrono::steady_clock::period::num) {}

void FrameTimer::Start() {
  const std::int64_t now = counter_();
  // The timer starts stopped at 0, so the first Start makes AppTime count
  // from this moment.
  if (stopped_) total_stopped_time_ += now - stop_time_;
  last_elapsed_time_ = now;
  stop_time_ = 0;
  stopped_ = false;
}

double FrameTimer::Absolute() const { return Seconds(counter_()); }

double FrameTimer::AppTime() const { return Seconds(counter_() - total_stopped_time_); }

double FrameTimer::Elapsed() {
  const std::int64_t now = counter_();
  const double elapsed = Seconds(now - last_elapsed_time_);
  last_elapsed_time_ = now;
  return elapsed;
}

}  // namespace lumi
