#include "generators/processes.h"

#include "params/random.h"

namespace lumi {
namespace {

constexpr float kWander = 100;       // the largest wander speed on each axis
constexpr float kReturnSpeed = 100;  // towards the region's centre

}  // namespace

GenParticle::GenParticle(const GenParticle& other)
    : position(other.position), start_position(other.start_position), values(other.values) {
  processes.reserve(other.processes.size());
  for (const auto& process : other.processes) processes.push_back(process->Clone());
}

GenParticle& GenParticle::operator=(const GenParticle& other) {
  if (this != &other) *this = GenParticle(other);
  return *this;
}

bool GenParticle::Update(float dt) {
  bool alive = true;
  for (const auto& process : processes) alive = process->Update(dt, *this) && alive;
  return alive;
}

bool PLifeConst::Update(float dt, GenParticle& p) {
  p.values[kLifeProgress] += rate_ * dt;
  return p.values[kLifeProgress] < 1;
}

bool PAgeConst::Update(float dt, GenParticle& p) {
  p.values[kAge] += dt;
  return p.values[kAge] < lifetime_;
}

bool PFade::Update(float /*dt*/, GenParticle& p) {
  const float age = p.values[kAge];
  if (amount_ == 0 || age < start_) return true;
  if (age >= end_) {
    p.values[index_] += amount_;
    amount_ = 0;
    return true;
  }
  const float delta = (age - start_) / (end_ - start_) * amount_;
  p.values[index_] += delta;
  amount_ -= delta;
  start_ = age;
  return true;
}

bool PSteady::Update(float dt, GenParticle& p) {
  const float life = p.values[kLifeProgress];
  if (low_ < life && life < high_) p.values[index_] += rate_ * dt;
  return true;
}

bool PTwinkle::Update(float dt, GenParticle& p) {
  timer_ += dt;
  if (timer_ > interval_) {
    if (Rand() % 3 != 0) {
      p.values[index_] = base_;
      interval_ = Uniform(0.2f, 2.5f);
    } else {
      p.values[index_] = base_ * Uniform(1, 1.5f);
      interval_ = 0.2f;
    }
    timer_ = 0;
  }
  return true;
}

bool PKinetic::Update(float dt, GenParticle& p) {
  p.position = p.position + velocity_ * dt + acceleration_ * (dt * dt / 2);
  velocity_ = velocity_ + acceleration_ * dt;
  return true;
}

bool PSpin::Update(float dt, GenParticle& p) {
  p.values[kAngle] += rate_ * dt;
  return true;
}

PBrownian::PBrownian(std::shared_ptr<const BrownianField> field) : field_(std::move(field)) {
  const float first = Uniform(-kWander, kWander);
  const float second = Uniform(-kWander, kWander);
  velocity_ = {second, first, 0};
  change_timer_ = Uniform(1, 5);
}

void PBrownian::Aim(Vector3 target) {
  // An acceleration time of 0 takes the new velocity at once.
  const float l = field_->acceleration_time;
  if (l > 0) {
    acceleration_ = (target - velocity_) * (1 / l);
    accelerating_ = l;
  } else {
    velocity_ = target;
    acceleration_ = {};
    accelerating_ = 0;
  }
}

bool PBrownian::Update(float dt, GenParticle& p) {
  const BrownianField& f = *field_;
  const Vector3& x = p.position;
  const bool outside = x.x < f.low.x || x.x > f.high.x || x.y < f.low.y || x.y > f.high.y;
  if (outside) {
    if (inside_ || acceleration_ == Vector3{}) {
      const Vector3 centre{(f.low.x + f.high.x) / 2, (f.low.y + f.high.y) / 2, 0};
      Aim(Vec3Normalize(centre - x) * kReturnSpeed);
    }
    inside_ = false;
  } else {
    inside_ = true;
  }
  change_timer_ -= dt;
  if (change_timer_ < 0) {
    // An interval of 0 or less never changes course, as the emitters' rate 0.
    const float c = f.change_interval;
    change_timer_ = c > 0 ? Uniform(0.5f * c, 1.5f * c) : INFINITY;
    if (inside_) {
      const float tx = Uniform(-kWander, kWander);
      const float ty = Uniform(-kWander, kWander);
      Aim({tx, ty, 0});
    }
  }
  accelerating_ -= dt;
  if (accelerating_ < 0) {
    acceleration_ = {};
    accelerating_ = 0;
  }
  p.position = p.position + (velocity_ * dt + acceleration_ * (dt * dt / 2)) * f.speed;
  velocity_ = velocity_ + acceleration_ * dt;
  return true;
}

}  // namespace lumi
