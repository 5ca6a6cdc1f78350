// One particle of an emitter system and the behaviours attached to it. A
// particle has no behaviour of its own: an optional life routine decides
// when it dies, and its routines run in order on every update.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <vector>

#include "params/vector_math.h"

namespace lumi {

struct Particle;

class InnerParticleRoutine {
 public:
  virtual ~InnerParticleRoutine() = default;
  // False ends this update and kills the particle.
  virtual bool Update(float dt, Particle& particle) = 0;
};

// A routine that also reports the lifetime the size and opacity ramps use.
class LifeRoutine : public InnerParticleRoutine {
 public:
  virtual float Lifetime() const = 0;
};

using RoutineHandle = std::shared_ptr<InnerParticleRoutine>;

// Slots of Particle::modulators.
enum Modulator : int { kSizeModulator = 1, kAlphaModulator = 2, kForwardModulator = 4, kSidewaysModulator = 5,
                       kPathSpeedModulator = 6 };

struct Particle {
  Matrix transform;  // orientation of the quad about z
  Vector3 position;
  Vector3 velocity;      // pixels per second
  Vector3 acceleration;  // constant, such as gravity
  Vector3 force;         // this update's extra acceleration
  Vector3 direction;     // unit velocity; (0, 1, 0) at rest
  Vector3 normal;        // (−direction.y, direction.x, 0)
  // The run of floats the increment routines address by index: 0 age,
  // 1 size_random, 2 alpha_random, 3 spin, 6 path_scale.
  std::array<float, 7> values{0, 1, 1, 0, 0, 0, 0};
  std::array<float, 7> modulators{1, 1, 1, 1, 1, 1, 1};
  int32_t path_index = 0;
  float frame_scale_u = 1, frame_scale_v = 1;
  float frame_offset_u = 0, frame_offset_v = 0;
  uint32_t state_flags = 0;  // the rain's: 1 merged, 2 falling in, 4 sliding
  std::vector<RoutineHandle> routines;
  std::shared_ptr<LifeRoutine> life;

  float& age() { return values[0]; }
  float age() const { return values[0]; }
  float& size_random() { return values[1]; }
  float size_random() const { return values[1]; }
  float& alpha_random() { return values[2]; }
  float alpha_random() const { return values[2]; }
  float& spin() { return values[3]; }
  float spin() const { return values[3]; }
  float& path_scale() { return values[6]; }

  // Where the quad is centred and what crossing tests look at: the position
  // displaced along the direction and the normal by modulators 4 and 5.
  Vector3 ReferencePoint() const;
  // One update; false when the particle dies. A particle whose position or
  // velocity stops being finite dies too.
  bool Update(float dt);
};

using ParticleHandle = std::shared_ptr<Particle>;
// Kept in emission order.
using ParticleList = std::vector<ParticleHandle>;

}  // namespace lumi
