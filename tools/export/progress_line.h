// One line on standard error that tells how an export goes: frames done,
// time spent and time left, rewritten in place a few times a second. It is
// written only when standard error is a terminal.
#pragma once

#include <chrono>
#include <cstddef>

namespace lumi::tool {

class ProgressLine {
 public:
  explicit ProgressLine(size_t total);
  void Update(size_t done);
  // Leaves the last line standing.
  void End();

 private:
  using Clock = std::chrono::steady_clock;
  const size_t total_;
  const bool shown_;
  const Clock::time_point start_ = Clock::now();
  Clock::time_point last_{};
  bool written_ = false;
};

}  // namespace lumi::tool
