#include "particles/interaction_routines.h"

#include <algorithm>
#include <cmath>

#include "params/random.h"

namespace lumi {
namespace {

// The largest drop a merge makes.
constexpr float kLargestDrop = 1.3f;
// Drops smaller than this lose no water while they move.
constexpr float kSmallDrop = 0.7f;
// The smallest size the friction divides by.
constexpr float kLeastDropSize = 0.05f;

}  // namespace

PRC_CrossLine::PRC_CrossLine(Vector3 from, Vector3 to)
    : a_(from.y - to.y), b_(to.x - from.x), c_(from.x * to.y - to.x * from.y) {}

bool PRC_CrossLine::Test(const Particle& p) const {
  const Vector3 r = p.ReferencePoint();
  return a_ * r.x + b_ * r.y + c_ < 0;
}

bool PRC_OR::Test(const Particle& p) const {
  return std::any_of(members_.begin(), members_.end(), [&](const auto& c) { return c->Test(p); });
}

PRC_CrossQuad::PRC_CrossQuad(const MediaQuad& quad) {
  const auto corner = [&](size_t i) { return quad.corners[i].value; };
  for (const auto& [from, to] : {std::pair{0, 2}, {2, 3}, {3, 1}, {1, 0}}) {
    members_.push_back(std::make_unique<PRC_CrossLine>(corner(static_cast<size_t>(from)), corner(static_cast<size_t>(to))));
  }
}

bool IPR_InteractionRoutine::Update(float /*dt*/, Particle& p) {
  if (!condition_->Test(p)) return true;
  // The action may keep a handle to the particle; it is given none here.
  return action_->Apply(p, nullptr);
}

bool IPR_RainInteractionRoutine::Update(float dt, Particle& p) {
  if ((p.state_flags & kRainFallingIn) != 0) return true;
  return IPR_InteractionRoutine::Update(dt, p);
}

bool PRA_RainMerge::Apply(Particle& p, const ParticleHandle& other) {
  if ((p.state_flags & (kRainMerged | kRainFallingIn)) != 0) return false;
  if (!other || (other->state_flags & (kRainMerged | kRainFallingIn)) != 0) return true;
  p.routines.push_back(std::make_shared<IPR_RainMerge>(other));
  p.state_flags |= kRainMerged;
  p.velocity = {};
  p.acceleration = {};
  return false;
}

bool IPR_RainFall::Update(float dt, Particle& p) {
  if (time_ > dt) {
    const float x = 1 - dt / time_;
    time_ -= dt;
    p.position = target_ - (target_ - p.position) * x;
    p.alpha_random() = 1 - (1 - p.alpha_random()) * x;
    return true;
  }
  time_ = 0;
  p.state_flags &= ~static_cast<uint32_t>(kRainFallingIn);
  if ((p.state_flags & kRainMerged) == 0) p.alpha_random() = 1;
  return true;
}

IPR_RainDynamic::IPR_RainDynamic(Vector3 slide) : slide_(slide) { Redraw(); }

void IPR_RainDynamic::Redraw() {
  pause_ = Uniform(0.1f, 1.0f);
  friction_ = Uniform(1, 20);
}

bool IPR_RainDynamic::Update(float dt, Particle& p) {
  if ((p.state_flags & kRainSliding) == 0 || (p.state_flags & (kRainMerged | kRainFallingIn)) != 0) return true;
  float& size = p.size_random();
  if (size > 1) {
    p.acceleration = slide_;
  } else if (Dot(p.velocity, slide_) >= 0) {
    const float s = std::max(size, kLeastDropSize);
    p.acceleration = slide_ - p.velocity * (friction_ / (s * s * s));
  } else {
    p.acceleration = {};
    p.velocity = {};
  }
  if (size > kSmallDrop) size -= Length(p.velocity) * dt * 0.001f;
  if (clock_ > pause_) {
    Redraw();
    clock_ = 0;
  } else {
    clock_ += dt;
  }
  return true;
}

bool IPR_RainMerge::Update(float dt, Particle& p) {
  Particle& q = *target_;
  if (dt > time_) {
    const float a = p.size_random(), b = q.size_random();
    q.size_random() = std::min(std::cbrt(a * a * a + b * b * b), kLargestDrop);
    if ((q.state_flags & kRainSliding) != 0) return false;
    q.state_flags |= kRainSliding;
    q.frame_scale_u = q.frame_scale_v = 0.5f;
    q.frame_offset_u = q.frame_offset_v = 0;
    q.transform = Matrix::Identity();
    return false;
  }
  const float x = 1 - dt / time_;
  time_ -= dt;
  p.alpha_random() *= x;
  p.position = q.position - (q.position - p.position) * x;
  return true;
}

}  // namespace lumi

