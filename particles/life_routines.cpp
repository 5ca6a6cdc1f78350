// Life routines and the routines that walk or sit on a sampled path.
#include <algorithm>

#include "params/random.h"
#include "particles/particle_routines.h"

namespace lumi {
namespace {

// A sample moved sideways from the curve by o.
Vector3 Offset(const SplineSample& s, float o) {
  return {s.position.x + s.tangent.y * o, s.position.y - s.tangent.x * o, s.position.z};
}

float LateralOffset(const Particle& p, float width) {
  return p.modulators[kPathSpeedModulator] * p.values[6] * width;
}

// Places p at distance f into the segment that starts at sample i; a
// segment of no length places it at its start.
void PlaceOnSegment(Particle& p, std::span<const SplineSample> path, size_t i, float f, float width) {
  const float o = LateralOffset(p, width);
  const Vector3 a = Offset(path[i], o), b = Offset(path[i + 1], o);
  const float length = path[i].distance_to_next;
  const float share = length > 0 ? f / length : 0.0f;
  p.position = a + (b - a) * share;
  p.position.z = 0;
  p.velocity = {b.x - a.x, b.y - a.y, 0};
}

}  // namespace

bool IPR_ConstantAge::Update(float dt, Particle& p) {
  p.age() += dt;
  return p.age() <= lifetime_;
}

bool IPR_HeadAge::Update(float dt, Particle& p) {
  p.age() += dt;
  return true;
}

bool IPR_ConstDistance::Update(float dt, Particle& p) {
  p.age() += speed_.Get() * dt;
  return p.age() <= Lifetime();
}

float IPR_ConstPath::Lifetime() const { return PathLength(*path_); }

float PathLength(std::span<const SplineSample> path) {
  if (path.size() < 2) return 0;
  return path[path.size() - 2].length_to_next;
}

IPR_PathTracker::IPR_PathTracker(SharedPath path, LiveFloat speed, unsigned int width, float min_speed_factor)
    : path_(std::move(path)), speed_(speed), width_(static_cast<float>(width)),
      factor_(2 - Uniform(min_speed_factor, 1)) {}

bool IPR_PathTracker::Update(float dt, Particle& p) {
  const std::vector<SplineSample>& path = *path_;
  if (path.size() < 2) return false;
  const float step = factor_ * dt * speed_.Get();
  p.age() += step;
  offset_ += step;
  const size_t last = path.size() - 2;
  while (segment_ <= last && offset_ > path[segment_].distance_to_next) {
    offset_ -= path[segment_].distance_to_next;
    ++segment_;
  }
  if (segment_ > last) {
    segment_ = last;
    offset_ = path[last].distance_to_next;
    PlaceOnSegment(p, path, segment_, offset_, width_);
    return false;
  }
  PlaceOnSegment(p, path, segment_, offset_, width_);
  return true;
}

bool IPR_PathPoint::Update(float /*dt*/, Particle& p) {
  const std::vector<SplineSample>& path = *path_;
  if (path.size() < 2 || p.age() < 0) return false;
  const size_t last = path.size() - 2;
  // The first segment whose end lies at or beyond the age.
  const auto end = std::lower_bound(path.begin(), path.begin() + static_cast<std::ptrdiff_t>(last) + 1, p.age(),
                                    [](const SplineSample& s, float age) { return s.length_to_next < age; });
  const bool beyond = end == path.begin() + static_cast<std::ptrdiff_t>(last) + 1;
  const size_t i = beyond ? last : static_cast<size_t>(end - path.begin());
  const float start = path[i].length_to_next - path[i].distance_to_next;
  const float f = beyond ? path[i].distance_to_next : p.age() - start;
  p.path_index = static_cast<int32_t>(i);
  PlaceOnSegment(p, path, i, f, width_);
  return !beyond;
}

bool IPR_IndexedPathPoint::Update(float /*dt*/, Particle& p) {
  const std::vector<SplineSample>& path = *path_;
  if (path.size() < 2) return false;
  const auto i = static_cast<size_t>(std::clamp<int32_t>(p.path_index, 0, static_cast<int32_t>(path.size() - 1)));
  p.position = Offset(path[i], LateralOffset(p, width_));
  p.position.z = 0;
  p.velocity = path[i].tangent;
  return true;
}

}  // namespace lumi
