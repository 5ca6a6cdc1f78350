// An image sequence stepped through per-frame durations by a clock, as the
// custom air brush, the Brownian animation and the path animation show
// their pictures.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace lumi {

struct FrameSequence {
  // At the clock's total, in seconds, with durations in hundredths: once
  // the current frame has lasted longer than its duration the next one
  // shows (one step a frame at most); a total before the last change
  // starts counting from it.
  void Step(float total, const std::vector<uint32_t>& durations) {
    if (total < last_change) last_change = total;
    if (durations.empty()) {
      index = 0;
      return;
    }
    index %= durations.size();
    if (total - last_change > static_cast<float>(durations[index]) / 100) {
      last_change = total;
      index = (index + 1) % durations.size();
    }
  }

  float last_change = 0;
  size_t index = 0;
};

}  // namespace lumi
