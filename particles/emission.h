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

// Append n fresh particles to `list`, each at its shape's position.
void SpawnAtPoint(ParticleList& list, int64_t n, Vector3 point);
void SpawnInRect(ParticleList& list, int64_t n, const MediaQuad& area);
void SpawnInCircle(ParticleList& list, int64_t n, Vector3 point, unsigned int diameter);
void SpawnInSector(ParticleList& list, int64_t n, Vector3 point, float angle, float spread, unsigned int radius);

}  // namespace lumi
