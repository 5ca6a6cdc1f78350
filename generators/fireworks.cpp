// The fireworks' bursts.
#include <algorithm>

#include "generators/catalogue.h"
#include "generators/processes.h"
#include "params/directions.h"

namespace lumi {

void DS_FireworkSimple::SourceEnded(const GenSource& rocket) {
  const float life = static_cast<float>(burst.life.value) / 100;  // 0 ends at once
  const float speed = static_cast<float>(burst.speed.value);
  const Vector3 gravity{0, static_cast<float>(burst.gravity.value), 0};
  const size_t room = kMaxParticles - std::min(kMaxParticles, generated.size());
  const size_t n = std::min<size_t>(burst.count.value, room);
  for (size_t i = 0; i < n; ++i) {
    GenParticle& p = generated.emplace_back(rocket.point.position);
    p.values[kLifeProgress] = 0;
    p.values[kSize] = 1;
    p.Attach<PLifeConst>(1 / life);
    p.Attach<PKinetic>(RandomDirection3D(speed, 0, 360), gravity);
    p.Attach<PSteady>(kSize, 0.0f, 1.0f, extra_factor.scaled());
  }
}

}  // namespace lumi
