// Routines that move particles or change their velocity.
#include <algorithm>
#include <cmath>

#include "params/random.h"
#include "params/directions.h"
#include "particles/particle_routines.h"

namespace lumi {
namespace {

// Speeds the wandering routine picks, pixels per second.
constexpr float kWanderLow = 75, kWanderHigh = 100;
// The speed it returns to its region with.
constexpr float kReturnSpeed = 100;

}  // namespace

bool IPR_Kinematic::Update(float dt, Particle& p) {
  const Vector3 a = p.acceleration + p.force;
  p.position = p.position + p.velocity * dt + a * (dt * dt / 2);
  p.velocity = p.velocity + a * dt;
  return true;
}

const RoutineHandle& IPR_Kinematic::Shared() {
  static const RoutineHandle shared = std::make_shared<IPR_Kinematic>();
  return shared;
}

float DragShare(float k, float dt) {
  // A pull of k × dt above 1 would carry the velocity past zero: it may at
  // most stop it.
  return dt > 0 ? std::min(k, 1 / dt) : k;
}

bool IPR_AirResist::Update(float dt, Particle& p) {
  p.force = p.force - p.velocity * DragShare(k_, dt);
  return true;
}

bool IPR_Wind::Update(float dt, Particle& p) {
  p.force = p.force + (wind_ - p.velocity) * DragShare(k_, dt);
  return true;
}

bool IPR_VortexVel::Update(float /*dt*/, Particle& p) {
  const Vector3 d = p.position - centre_.value;
  const float distance = Length(d);
  if (distance == 0) return true;
  Vector3 turn{-d.y, d.x, 0};
  if (reverse_) turn = turn * -1.0f;
  p.velocity = d * (radial_.Get() / distance) + turn * angular_.Get();
  return true;
}

IPR_Brownian::IPR_Brownian(const MediaQuad& region, LiveFloat speed, LiveFloat change_rate,
                           LiveFloat acceleration_time)
    : region_(region), speed_(speed), change_rate_(change_rate), acceleration_time_(acceleration_time) {
  own_velocity_ = RandomDirection2D(Uniform(kWanderLow, kWanderHigh), 0, 360);
  next_change_ = NextChangeTime();
}

float IPR_Brownian::NextChangeTime() const {
  // A rate of 0 never changes course.
  const float f = change_rate_.Get();
  return f > 0 ? Uniform(0.5f / f, 1.5f / f) : INFINITY;
}

bool IPR_Brownian::Update(float dt, Particle& p) {
  const Vector3 low = region_.corners[0].value, high = region_.corners[3].value;
  const float l = acceleration_time_.Get();
  // An acceleration time of 0 takes the new velocity at once.
  const auto aim = [&](Vector3 target) {
    if (l > 0) {
      own_acceleration_ = (target - own_velocity_) * (1 / l);
      accelerating_ = l;
    } else {
      own_velocity_ = target;
      own_acceleration_ = {};
      accelerating_ = 0;
    }
  };
  const Vector3& x = p.position;
  const bool outside = x.x < low.x || x.x > high.x || x.y < low.y || x.y > high.y;
  if (outside) {
    const bool still = own_acceleration_ == Vector3{};
    if (inside_ || still) {
      const Vector3 centre{(low.x + high.x) / 2, (low.y + high.y) / 2, 0};
      aim(Vec3Normalize(centre - x) * kReturnSpeed);
    }
    inside_ = false;
  } else {
    inside_ = true;
  }
  next_change_ -= dt;
  if (next_change_ < 0) {
    next_change_ = NextChangeTime();
    if (inside_) aim(RandomDirection2D(Uniform(kWanderLow, kWanderHigh), 0, 360));
  }
  accelerating_ -= dt;
  if (accelerating_ < 0) {
    own_acceleration_ = {};
    accelerating_ = 0;
  }
  p.position = p.position + (own_velocity_ * dt + own_acceleration_ * (dt * dt / 2)) * speed_.Get();
  own_velocity_ = own_velocity_ + own_acceleration_ * dt;
  return true;
}

}  // namespace lumi
