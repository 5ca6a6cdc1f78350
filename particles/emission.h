// How many particles a system creates each frame and where they start.
#pragma once

#include <cstdint>

#include "params/quad_rect.h"
#include "particles/particle.h"

namespace lumi {

// An even stream: `rate` particles a second, the fractions carried over.
class EvenCounter {
 public:
  int64_t Count(float rate, float dt);
  void Reset() { pending_ = 0; }

 private:
  double pending_ = 0;
};

// One particle each time a random interval in [min, max] seconds passes.
class RandomCounter {
 public:
  int64_t Count(float min_interval, float max_interval, float dt);

 private:
  double clock_ = 0, next_at_ = 0;
};

// Seconds a particle launched at `speed` takes to travel `range` pixels;
// speeds below 1 pixel a second count as 1, so that a speed of 0 never
// makes a particle immortal.
float TravelTime(unsigned int range, float speed);

// A stored point with its non-finite coordinates taken as 0.
Vector3 Finite(Vector3 v);

// Births of a system that emits `count` particles per timeline cycle as
// the level rises: count × level less those already emitted this cycle;
// timeline state 1 starts a new cycle. `emitted` counts them.
int64_t CycleBirths(float level, unsigned int count, int state, int64_t& emitted);

// Append n fresh particles to `list`, each at its shape's position.
void SpawnAtPoint(ParticleList& list, int64_t n, Vector3 point);
void SpawnInRect(ParticleList& list, int64_t n, const MediaQuad& area);
void SpawnInCircle(ParticleList& list, int64_t n, Vector3 point, unsigned int diameter);
void SpawnInSector(ParticleList& list, int64_t n, Vector3 point, float angle, float spread, unsigned int radius);

}  // namespace lumi
