#include "particles/emission.h"

#include <algorithm>
#include <cmath>

#include "params/random.h"
#include "params/directions.h"

namespace lumi {

int64_t EvenCounter::Count(float rate, float dt) {
  if (!(rate > 0)) return 0;
  pending_ += dt;
  // Whole counts in 64 bits: a huge rate must not wrap.
  const double n = std::floor(pending_ * rate);
  pending_ -= n / rate;
  return static_cast<int64_t>(std::fmin(n, 9.0e18));
}

int64_t RandomCounter::Count(float min_interval, float max_interval, float dt) {
  clock_ += dt;
  if (min_interval == 0 && max_interval == 0) return clock_ > next_at_ ? 1 : 0;
  int64_t n = 0;
  while (clock_ > next_at_) {
    const float interval = Uniform(min_interval, max_interval);
    ++n;
    // An interval of no length would never pass the clock.
    if (!(interval > 0)) break;
    next_at_ += interval;
  }
  return n;
}

float TravelTime(unsigned int range, float speed) {
  return static_cast<float>(range) / std::max(speed, 1.0f);
}

Vector3 Finite(Vector3 v) {
  const auto fix = [](float x) { return std::isfinite(x) ? x : 0.0f; };
  return {fix(v.x), fix(v.y), fix(v.z)};
}

int64_t CycleBirths(float level, unsigned int count, int state, int64_t& emitted) {
  if (state == 1) emitted = 0;
  const float wanted = std::floor(level * static_cast<float>(count) - static_cast<float>(emitted));
  if (!(wanted > 0)) return 0;
  const auto n = static_cast<int64_t>(std::min(wanted, 9.0e18f));
  emitted += n;
  return n;
}

namespace {

template <typename Position>
void Spawn(ParticleList& list, int64_t n, Position&& position) {
  for (int64_t i = 0; i < n; ++i) {
    auto p = std::make_shared<Particle>();
    p->position = position();
    list.push_back(std::move(p));
  }
}

}  // namespace

void SpawnAtPoint(ParticleList& list, int64_t n, Vector3 point) {
  Spawn(list, n, [&] { return point; });
}

void SpawnInRect(ParticleList& list, int64_t n, const MediaQuad& area) {
  const Vector3 a = area.corners[0].value, b = area.corners[3].value;
  Spawn(list, n, [&] {
    const float y = Uniform(a.y, b.y);
    return Vector3{Uniform(a.x, b.x), y, 0};
  });
}

void SpawnInCircle(ParticleList& list, int64_t n, Vector3 point, unsigned int diameter) {
  Spawn(list, n, [&] {
    const float r = Uniform(0, static_cast<float>(diameter) / 2);
    return point + RandomDirection2D(r, 0, 360);
  });
}

void SpawnInSector(ParticleList& list, int64_t n, Vector3 point, float angle, float spread, unsigned int radius) {
  Spawn(list, n, [&] {
    const float r = Uniform(0, static_cast<float>(radius));
    return point + RandomDirection2D(r, angle - spread / 2, angle + spread / 2);
  });
}

}  // namespace lumi
