// Conditions and actions a routine applies when a particle crosses a line,
// and the routines of rain drops running down a pane.
#pragma once

#include <memory>
#include <vector>

#include "params/quad_rect.h"
#include "particles/particle.h"

namespace lumi {

class RoutineCondition {
 public:
  virtual ~RoutineCondition() = default;
  virtual bool Test(const Particle& p) const = 0;
};

class RoutineAction {
 public:
  virtual ~RoutineAction() = default;
  // False kills p (or, for the merge, stops the search).
  virtual bool Apply(Particle& p, const ParticleHandle& other) = 0;
};

// True when A x + B y + C < 0 at the reference point.
class PRC_CrossLine : public RoutineCondition {
 public:
  // The line from (x0, y0) to (x1, y1).
  PRC_CrossLine(Vector3 from, Vector3 to);
  bool Test(const Particle& p) const override;

 private:
  float a_, b_, c_;
};

class PRC_OR : public RoutineCondition {
 public:
  bool Test(const Particle& p) const override;

 protected:
  std::vector<std::unique_ptr<RoutineCondition>> members_;
};

// True once the reference point has left a rectangle whose corners 0, 2,
// 3, 1 run clockwise on screen.
class PRC_CrossQuad : public PRC_OR {
 public:
  explicit PRC_CrossQuad(const MediaQuad& quad);
};

class PRA_Die : public RoutineAction {
 public:
  bool Apply(Particle& /*p*/, const ParticleHandle& /*other*/) override { return false; }
};

// Drop p starts flowing into drop `other`.
class PRA_RainMerge : public RoutineAction {
 public:
  bool Apply(Particle& p, const ParticleHandle& other) override;
};

class IPR_InteractionRoutine : public InnerParticleRoutine {
 public:
  IPR_InteractionRoutine(std::shared_ptr<const RoutineCondition> condition, std::shared_ptr<RoutineAction> action)
      : condition_(std::move(condition)), action_(std::move(action)) {}
  bool Update(float dt, Particle& p) override;

 private:
  std::shared_ptr<const RoutineCondition> condition_;
  std::shared_ptr<RoutineAction> action_;
};

// Leaves drops alone while they are still falling onto the pane.
class IPR_RainInteractionRoutine : public IPR_InteractionRoutine {
 public:
  using IPR_InteractionRoutine::IPR_InteractionRoutine;
  bool Update(float dt, Particle& p) override;
};

// Bits of Particle::state_flags.
enum RainFlag : uint32_t { kRainMerged = 1, kRainFallingIn = 2, kRainSliding = 4 };

// Flies the drop onto the pane at `target` and fades it in.
class IPR_RainFall : public InnerParticleRoutine {
 public:
  explicit IPR_RainFall(Vector3 target) : target_(target) {}
  bool Update(float dt, Particle& p) override;

 private:
  Vector3 target_;
  float time_ = 0.15f;
};

// Slides a drop down the pane with friction, pausing now and then.
class IPR_RainDynamic : public InnerParticleRoutine {
 public:
  explicit IPR_RainDynamic(Vector3 slide);
  bool Update(float dt, Particle& p) override;

 private:
  void Redraw();

  Vector3 slide_;
  float pause_ = 0, friction_ = 0, clock_ = 0;
};

// Moves an absorbed drop into the drop `target` and gives it its water.
class IPR_RainMerge : public InnerParticleRoutine {
 public:
  explicit IPR_RainMerge(ParticleHandle target) : target_(std::move(target)) {}
  bool Update(float dt, Particle& p) override;

 private:
  ParticleHandle target_;
  float time_ = 0.1f;
};

}  // namespace lumi
