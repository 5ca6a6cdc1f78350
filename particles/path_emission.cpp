// Particles that follow a path from its start, waving sideways with a
// taper at both ends.
#include "params/random.h"
#include "particles/particle_routines.h"
#include "particles/path_systems.h"

namespace lumi {

void VRN_ParticlePath::Attach() {
  samples = std::make_shared<std::vector<SplineSample>>(SampleSpline(path, 100, false));
}

void VRN_ParticlePath::Emit(ParticleList& born, float dt) {
  if (path.points.size() < 2 || samples->size() < 2) return;
  const int64_t n = Room(counter_state.Count(static_cast<float>(first_raws[0]) * 0.2f, timeline_level * dt));
  // The tracker's age is the distance run, so the taper runs over pixels.
  const float taper = first_raws[2] > 0 ? static_cast<float>(first_raws[2]) : PathLength(*samples);
  const float f1 = static_cast<float>(last_raws[2]) / 100, f2 = static_cast<float>(last_raws[3]) / 100;
  const float ends = f1 < f2 ? static_cast<float>(last_raws[4]) / 100 : 0.0f;
  const float frequency = static_cast<float>(last_raws[0]) / 100;
  for (int64_t i = 0; i < n; ++i) {
    auto p = std::make_shared<Particle>();
    p->position = samples->front().position;
    if (integer != 0) {
      p->path_scale() = 1;
      p->routines.push_back(std::make_shared<IPR_Perlin>(kPathSpeedModulator, 0, frequency, 0.5f));
    } else {
      p->path_scale() = Random01() - 0.5f;
      const float signed_frequency = Rand() % 2 == 1 ? -frequency : frequency;
      p->routines.push_back(
          std::make_shared<IPR_Harmonic>(kPathSpeedModulator, Random01() * 6.2831855f, 0, signed_frequency, 1));
    }
    p->routines.push_back(std::make_shared<IPR_IncrementM>(kPathSpeedModulator, ends, 1, 0, f1 * taper));
    p->routines.push_back(std::make_shared<IPR_IncrementM>(kPathSpeedModulator, 1, ends, f2 * taper, taper));
    look.InitParticle(*p, std::make_shared<IPR_PathTracker>(samples, static_cast<float>(first_raws[1]), first_raws[3],
                                                            static_cast<float>(last_raws[1]) / 100));
    born.push_back(p);
    particles.push_back(std::move(p));
  }
}

}  // namespace lumi
