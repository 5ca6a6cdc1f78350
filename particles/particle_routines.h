// The behaviours a system attaches to its particles at birth: life
// routines, motion, paths, value changes and oscillations. Settings a
// routine reads live (a speed, a centre) are read from the system's
// parameter at every update, so that a change reaches particles in flight.
#pragma once

#include <memory>
#include <span>
#include <vector>

#include "params/paths.h"
#include "params/quad_rect.h"
#include "params/typed_param.h"
#include "particles/particle.h"
#include "particles/value_noise.h"

namespace lumi {

// A system's float setting read live, or a fixed value.
class LiveFloat {
 public:
  LiveFloat(float constant) : constant_(constant) {}  // NOLINT: a fixed value reads as one
  LiveFloat(const UINTSclaleTo<float>& param) : param_(&param) {}  // NOLINT
  float Get() const { return param_ != nullptr ? param_->scaled() : constant_; }

 private:
  const UINTSclaleTo<float>* param_ = nullptr;
  float constant_ = 0;
};

// Samples of a path, shared by the system and its particles' routines.
using SharedPath = std::shared_ptr<const std::vector<SplineSample>>;

// Life routines.

class IPR_ConstantAge : public LifeRoutine {
 public:
  explicit IPR_ConstantAge(float lifetime) : lifetime_(lifetime) {}
  bool Update(float dt, Particle& p) override;
  float Lifetime() const override { return lifetime_; }

 protected:
  float lifetime_;
};

// Ages like IPR_ConstantAge but never dies of it.
class IPR_HeadAge : public IPR_ConstantAge {
 public:
  using IPR_ConstantAge::IPR_ConstantAge;
  bool Update(float dt, Particle& p) override;
};

// The age is the distance travelled at a live speed.
class IPR_ConstDistance : public LifeRoutine {
 public:
  IPR_ConstDistance(float distance, LiveFloat speed) : distance_(distance), speed_(speed) {}
  bool Update(float dt, Particle& p) override;
  float Lifetime() const override { return distance_; }

 protected:
  float distance_;
  LiveFloat speed_;
};

// As IPR_ConstDistance over the whole length of a path.
class IPR_ConstPath : public IPR_ConstDistance {
 public:
  IPR_ConstPath(SharedPath path, LiveFloat speed) : IPR_ConstDistance(0, speed), path_(std::move(path)) {}
  float Lifetime() const override;

 private:
  SharedPath path_;
};

// Total length of a sampled path; 0 below two samples.
float PathLength(std::span<const SplineSample> path);

// Walks a path at a live speed times its own factor in [1, 2 − k] and dies
// at the path's end.
class IPR_PathTracker : public LifeRoutine {
 public:
  IPR_PathTracker(SharedPath path, LiveFloat speed, unsigned int width, float min_speed_factor);
  bool Update(float dt, Particle& p) override;
  float Lifetime() const override { return PathLength(*path_); }

 private:
  SharedPath path_;
  LiveFloat speed_;
  float width_;
  float factor_;
  size_t segment_ = 0;
  float offset_ = 0;  // distance into the segment
};

// Motion routines.

// Moves by velocity and acceleration plus force.
class IPR_Kinematic : public InnerParticleRoutine {
 public:
  bool Update(float dt, Particle& p) override;
  // It keeps no state, so every particle can hold the same one: one
  // allocation and one cache miss less per particle.
  static const RoutineHandle& Shared();
};

// The largest share of the velocity one step of drag may take: more would
// reverse it.
float DragShare(float k, float dt);

class IPR_AirResist : public InnerParticleRoutine {
 public:
  explicit IPR_AirResist(float k) : k_(k) {}
  bool Update(float dt, Particle& p) override;

 private:
  float k_;
};

class IPR_Wind : public InnerParticleRoutine {
 public:
  IPR_Wind(Vector3 wind, float k) : wind_(wind), k_(k) {}
  bool Update(float dt, Particle& p) override;

 private:
  Vector3 wind_;
  float k_;
};

// Turns the velocity into a rigid rotation about a live centre plus a
// radial drift; it moves nothing itself.
class IPR_VortexVel : public InnerParticleRoutine {
 public:
  IPR_VortexVel(const MediaParamTB<Vector3>& centre, LiveFloat radial, LiveFloat angular, bool reverse)
      : centre_(centre), radial_(radial), angular_(angular), reverse_(reverse) {}
  bool Update(float dt, Particle& p) override;

 private:
  const MediaParamTB<Vector3>& centre_;
  LiveFloat radial_, angular_;
  bool reverse_;
};

// Wanders with its own velocity inside a rectangle, turning back towards
// its centre when it leaves.
class IPR_Brownian : public InnerParticleRoutine {
 public:
  // Draws the starting velocity and the time to the first change.
  IPR_Brownian(const MediaQuad& region, LiveFloat speed, LiveFloat change_rate, LiveFloat acceleration_time);
  bool Update(float dt, Particle& p) override;

 private:
  float NextChangeTime() const;

  const MediaQuad& region_;
  LiveFloat speed_, change_rate_, acceleration_time_;
  Vector3 own_velocity_, own_acceleration_;
  float accelerating_ = 0, next_change_ = 0;
  bool inside_ = true;
};

// Path routines.

// Places the particle at distance age along the path.
class IPR_PathPoint : public InnerParticleRoutine {
 public:
  IPR_PathPoint(SharedPath path, unsigned int width) : path_(std::move(path)), width_(static_cast<float>(width)) {}
  bool Update(float dt, Particle& p) override;

 private:
  SharedPath path_;
  float width_;
};

// Places the particle on sample path_index.
class IPR_IndexedPathPoint : public InnerParticleRoutine {
 public:
  IPR_IndexedPathPoint(SharedPath path, unsigned int width)
      : path_(std::move(path)), width_(static_cast<float>(width)) {}
  bool Update(float dt, Particle& p) override;

 private:
  SharedPath path_;
  float width_;
};

// Value routines.

// Changes value k of the particle at rate q per second of age until a
// total of `budget` has been applied.
class IPR_Increment : public InnerParticleRoutine {
 public:
  IPR_Increment(int index, float start_age, float budget, float rate)
      : index_(index), last_age_(start_age), budget_(budget), rate_(rate) {}
  bool Update(float dt, Particle& p) override;

 private:
  int index_;
  float last_age_, budget_, rate_;
};

// Multiplies modulator k by a value ramped from a to b over ages t0..t1.
class IPR_IncrementM : public InnerParticleRoutine {
 public:
  IPR_IncrementM(int index, float from, float to, float start_age, float end_age)
      : index_(index), from_(from), to_(to), start_(start_age), end_(end_age) {}
  bool Update(float dt, Particle& p) override;

 private:
  int index_;
  float from_, to_, start_, end_;
};

// Multiplies modulator k by cos(age × f + φ) × c + β.
class IPR_Harmonic : public InnerParticleRoutine {
 public:
  IPR_Harmonic(int index, float phase, float base, float frequency, float amplitude)
      : index_(index), phase_(phase), base_(base), frequency_(frequency), amplitude_(amplitude) {}
  bool Update(float dt, Particle& p) override;

 private:
  int index_;
  float phase_, base_, frequency_, amplitude_;
};

// Multiplies modulator k by N(τ) × A + β over its own clock τ.
class IPR_Perlin : public InnerParticleRoutine {
 public:
  // Draws the noise's seed (one rand()).
  IPR_Perlin(int index, float base, float frequency, float amplitude);
  bool Update(float dt, Particle& p) override;

 private:
  int index_;
  float base_, amplitude_;
  ValueNoise noise_;
  double clock_ = 0;
};

}  // namespace lumi
