// The clock of animated objects. A stalled frame timer must never make an
// object jump: each step is limited to 0.2 s before the object's speed
// applies, and a time earlier than the last one seen restarts from there.
#pragma once

namespace lumi {

inline constexpr float kMaxClockStep = 0.2f;

// The unscaled step from `last_time` to `t`, limited to kMaxClockStep;
// `last_time` becomes t.
// Times are doubles: after a day of play a float no longer tells one
// frame's time from the next.
inline float ClampedStep(double& last_time, double t) {
  if (last_time > t) last_time = t;
  const double step = t - last_time;
  last_time = t;
  return step > kMaxClockStep ? kMaxClockStep : static_cast<float>(step);
}

struct ClampedClock {
  double last_time = 0;
  double total = 0;  // the object's own time

  // Moves to global time t at `speed`; returns the scaled step taken.
  float Advance(double t, float speed) {
    const float step = ClampedStep(last_time, t) * speed;
    total += step;
    return step;
  }
};

}  // namespace lumi
