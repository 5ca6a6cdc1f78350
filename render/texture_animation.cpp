#include "render/texture_animation.h"

#include <utility>

namespace lumi {

bool SpriteSheetAnimation::Step(float clock, float framesPerSecond, const std::function<uint32_t()>& nextFrame) {
  if (clock < switch_time_) {
    switch_time_ = 0;
    return false;
  }
  if (framesPerSecond <= 0 || clock - switch_time_ <= 1 / framesPerSecond) return false;
  frame_ = nextFrame();
  switch_time_ = clock;
  return true;
}

void SpriteSheetAnimation::URange(uint32_t count, bool flipHorizontal, float& ua, float& ub) const {
  const float n = count ? static_cast<float>(count) : 1;
  ua = static_cast<float>(frame_) / n;
  ub = static_cast<float>(frame_ + 1) / n;
  if (flipHorizontal) std::swap(ua, ub);
}

void ImageSequenceAnimation::SetDurations(std::vector<float> seconds) {
  durations_ = std::move(seconds);
  frame_ = 0;
  last_change_ = 0;
}

bool ImageSequenceAnimation::Step(float clock) {
  if (durations_.empty() || durations_[frame_] > clock - last_change_) return false;
  frame_ = (frame_ + 1) % durations_.size();
  last_change_ = clock;
  return true;
}

}  // namespace lumi
