// The two ways sprite textures animate: frames of a sprite sheet at a
// frame rate, and pictures of an image sequence each with its duration.
#pragma once

#include <cstdint>
#include <functional>
#include <vector>

namespace lumi {

class SpriteSheetAnimation {
 public:
  // Moves to the frame nextFrame supplies once the clock has gone more
  // than one frame time past the last switch; at most one frame per call,
  // so a long pause never skips frames. A clock that went back restarts
  // the switch time. True when the frame changed.
  bool Step(float clock, float framesPerSecond, const std::function<uint32_t()>& nextFrame);
  uint32_t Frame() const { return frame_; }
  float SwitchTime() const { return switch_time_; }
  // The u range of the current frame among count frames.
  void URange(uint32_t count, bool flipHorizontal, float& ua, float& ub) const;

 private:
  uint32_t frame_ = 0;
  float switch_time_ = 0;
};

class ImageSequenceAnimation {
 public:
  // Starts again at the first frame.
  void SetDurations(std::vector<float> seconds);
  const std::vector<float>& Durations() const { return durations_; }
  // Advances to the next frame (cyclically) once the current frame's
  // duration has passed since the last change. True when it changed.
  bool Step(float clock);
  uint32_t Frame() const { return frame_; }

 private:
  std::vector<float> durations_;
  uint32_t frame_ = 0;
  float last_change_ = 0;
};

}  // namespace lumi
