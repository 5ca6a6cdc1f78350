#include "particles/particle.h"

#include <cmath>

namespace lumi {
namespace {

bool IsFinite(const Vector3& v) { return std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z); }

}  // namespace

Vector3 Particle::ReferencePoint() const {
  return position + direction * modulators[kForwardModulator] + normal * modulators[kSidewaysModulator];
}

bool Particle::Update(float dt) {
  if (life && !life->Update(dt, *this)) return false;
  modulators.fill(1.0f);
  force = {};
  bool alive = true;
  for (const RoutineHandle& routine : routines) {
    if (!routine->Update(dt, *this)) {
      alive = false;
      break;
    }
  }
  const float speed = Length(velocity);
  direction = speed > 0 ? velocity * (1 / speed) : Vector3{0, 1, 0};
  normal.x = -direction.y;
  normal.y = direction.x;
  return alive && IsFinite(position) && IsFinite(velocity);
}

}  // namespace lumi
