// The processes a generator attaches to its particles.
#pragma once

#include <cmath>
#include <memory>

#include "generators/gen_particle.h"

namespace lumi {

template <class Derived>
class PProcessOf : public PProcess {
 public:
  std::unique_ptr<PProcess> Clone() const override {
    return std::make_unique<Derived>(static_cast<const Derived&>(*this));
  }
};

// Life as a fraction counting to 1 at `rate` per second.
class PLifeConst : public PProcessOf<PLifeConst> {
 public:
  explicit PLifeConst(float rate) : rate_(rate) {}
  bool Update(float dt, GenParticle& p) override;

 private:
  float rate_;
};

// Age in seconds, alive while below `lifetime`.
class PAgeConst : public PProcessOf<PAgeConst> {
 public:
  explicit PAgeConst(float lifetime) : lifetime_(lifetime) {}
  bool Update(float dt, GenParticle& p) override;

 private:
  float lifetime_;
};

// Adds `amount` to value `index` linearly over the ages [start, end]; the
// whole amount is applied once the age reaches `end`, so nothing is lost
// to rounding or to a frame that jumps past the end.
class PFade : public PProcessOf<PFade> {
 public:
  PFade(int index, float start, float end, float amount) : index_(index), start_(start), end_(end), amount_(amount) {}
  bool Update(float dt, GenParticle& p) override;

 private:
  int index_;
  float start_, end_, amount_;
};

// Value `index` grows at `rate` per second while the life progress lies
// strictly between the bounds.
class PSteady : public PProcessOf<PSteady> {
 public:
  PSteady(int index, float low, float high, float rate) : index_(index), low_(low), high_(high), rate_(rate) {}
  bool Update(float dt, GenParticle& p) override;

 private:
  int index_;
  float low_, high_, rate_;
};

// Value `index` rests at `base` and now and then flashes up to 1.5 × base
// for 0.2 s; it never falls below the base.
class PTwinkle : public PProcessOf<PTwinkle> {
 public:
  PTwinkle(int index, float base) : index_(index), base_(base) {}
  bool Update(float dt, GenParticle& p) override;

 private:
  int index_;
  float base_;
  float timer_ = 0, interval_ = 0;
};

// Moves the particle with its own velocity and a constant acceleration.
class PKinetic : public PProcessOf<PKinetic> {
 public:
  PKinetic(Vector3 velocity, Vector3 acceleration) : velocity_(velocity), acceleration_(acceleration) {}
  bool Update(float dt, GenParticle& p) override;
  Vector3 velocity() const { return velocity_; }

 private:
  Vector3 velocity_, acceleration_;
};

// Turns the particle at `rate` radians per second.
class PSpin : public PProcessOf<PSpin> {
 public:
  explicit PSpin(float rate) : rate_(rate) {}
  bool Update(float dt, GenParticle& p) override;

 private:
  float rate_;
};

// What a Brownian particle reads from its generator at every update; the
// generator owns it and refreshes it each frame.
struct BrownianField {
  Vector3 low, high;              // the region's corners
  float speed = 1;                // factor on the wander velocity
  float change_interval = 1;      // mean seconds between course changes
  float acceleration_time = 0;    // seconds to take a new velocity; 0 at once
};

// Wanders inside its generator's region with a velocity of its own, and
// steers back towards the centre at 100 px/s when it leaves.
class PBrownian : public PProcessOf<PBrownian> {
 public:
  // Draws the starting velocity (second draw first) and the first change.
  explicit PBrownian(std::shared_ptr<const BrownianField> field);
  bool Update(float dt, GenParticle& p) override;

 private:
  void Aim(Vector3 target);

  std::shared_ptr<const BrownianField> field_;
  Vector3 velocity_, acceleration_;
  float accelerating_ = 0, change_timer_ = 0;
  bool inside_ = true;
};

}  // namespace lumi
