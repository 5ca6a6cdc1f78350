// The process's frame timer: seconds since the loop started, less the time
// it was stopped, and the time between frames. Counts stay 64-bit and
// results are doubles, so a saver left on for days steps as evenly as in
// its first minute.
#pragma once

#include <cstdint>
#include <functional>

namespace lumi {

class FrameTimer {
 public:
  // `counter` reads a monotonic count of `frequency` ticks per second.
  FrameTimer(std::function<std::int64_t()> counter, std::int64_t frequency);
  // Over the steady clock.
  FrameTimer();

  void Start();
  double Absolute() const;
  // Time that ran while not stopped.
  double AppTime() const;
  // Time since the previous Elapsed or Start.
  double Elapsed();

 private:
  double Seconds(std::int64_t ticks) const { return static_cast<double>(ticks) / static_cast<double>(frequency_); }

  std::function<std::int64_t()> counter_;
  std::int64_t frequency_;
  bool stopped_ = true;
  std::int64_t stop_time_ = 0;
  std::int64_t total_stopped_time_ = 0;
  std::int64_t last_elapsed_time_ = 0;
};

}  // namespace lumi
