// A tracer running along its path once a timeline cycle, dropping its
// particles evenly behind it.
#include <algorithm>
#include <cmath>

#include "params/directions.h"
#include "params/random.h"
#include "particles/line_strip.h"
#include "particles/particle_routines.h"
#include "particles/path_systems.h"

namespace lumi {

void VRN_ParticleTrace::Attach() {
  samples = SampleSpline(path, 100, false);
  length = PathLength(samples);
}

void VRN_ParticleTrace::ResetPopulation() {
  tracer = travelled = 0;
  VRN_ParticleSystemCtrl::ResetPopulation();
}

void VRN_ParticleTrace::Emit(ParticleList& /*born*/, float dt) {
  if (timeline_state != VRN_Timing::kOn || !(length > 0) || !(timeline_cycle > 0) || drop_count.value < 2) {
    tracer = travelled = 0;
    return;
  }
  if (tracer == 0 && travelled == 0 && Room(1) > 0) Drop(0);
  travelled += length * dt / timeline_cycle;
  const float interval = length / static_cast<float>(drop_count.value - 1);
  // Counted at once: a tiny cycle would otherwise ask for millions of
  // drops one by one; those beyond the population's cap are skipped.
  const float due = std::floor(travelled / interval);
  if (!(due > 0)) return;
  const int64_t n = Room(static_cast<int64_t>(std::min(due, 1.0e9f)));
  for (int64_t i = 1; i <= n; ++i) Drop(tracer + interval * static_cast<float>(i));
  tracer += interval * due;
  travelled -= interval * due;
}

void VRN_ParticleTrace::Drop(float at) {
  const PathPlace place = PlaceOnPath(samples, at);
  auto p = std::make_shared<Particle>();
  p->position = place.position + RandomDirection2D(static_cast<float>(scatter.value), 0, 360);
  look.InitParticle(*p, std::make_shared<IPR_ConstantAge>(static_cast<float>(lifetime.value) / 100));
  if (look.orientation.value == 1) p->transform = p->transform * MatrixRotationZ(std::atan2(place.direction.y, place.direction.x));
  // The launch turned about the path's direction; a direction of no
  // length is no axis, and the launch stays along x.
  const Vector3 launch{static_cast<float>(drop_speed.value), 0, 0};
  const float turn = Uniform(0, 360) * kPi / 180;
  p->velocity = Length(place.direction) > 0 ? Vec3TransformCoord(launch, MatrixRotationAxis(place.direction, turn)) : launch;
  p->routines.push_back(IPR_Kinematic::Shared());
  particles.push_back(std::move(p));
}

}  // namespace lumi
