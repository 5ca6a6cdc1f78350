// Pictures moving along a path, evenly spaced, wrapping round at its end.
#include <algorithm>
#include <cmath>

#include "generators/catalogue.h"

namespace lumi {

void DS_PathAnimtion::PlaceWalkers() {
  samples_ = SampleSpline(path, kResolution, false);
  length_ = 0;
  for (size_t i = 0; i + 1 < samples_.size(); ++i) length_ += samples_[i].distance_to_next;
  generated.clear();
  if (samples_.empty()) return;
  if (!std::isfinite(length_)) length_ = 0;  // a damaged point: the sprite stays at the start
  const auto n = static_cast<size_t>(std::clamp(std::floor(length_ / kSpacing), 1.0f, float{kMaxParticles}));
  for (size_t i = 0; i < n; ++i) generated.emplace_back(samples_.front().position);
}

Vector3 DS_PathAnimtion::PointAt(float distance) const {
  for (size_t i = 0; i + 1 < samples_.size(); ++i) {
    const float step = samples_[i].distance_to_next;
    if (distance <= step) {
      const float f = step > 0 ? distance / step : 0;
      return samples_[i].position + (samples_[i + 1].position - samples_[i].position) * f;
    }
    distance -= step;
  }
  return samples_.empty() ? Vector3{} : samples_.back().position;
}

void DS_PathAnimtion::Advance(double time) {
  DS_ParticleGenerator::Advance(time);
  move_clock.Advance(time, 1);
  frame_clock.Advance(time, 1);
  sequence.Step(frame_clock.total, frame_durations);
  if (generated.empty() || !(length_ > 0)) return;
  const float travelled = std::fmod(move_clock.total * static_cast<float>(speed.value), length_);
  const float gap = length_ / static_cast<float>(generated.size());
  for (size_t i = 0; i < generated.size(); ++i) {
    generated[i].position = PointAt(std::fmod(travelled + gap * static_cast<float>(i), length_));
  }
}

}  // namespace lumi
