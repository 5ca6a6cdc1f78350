// The stream and the rising smoke: their records and how particles cross
// the quad from its first edge to the opposite one.
#include "particles/stream_systems.h"

#include <algorithm>
#include <utility>

#include "archive/registry.h"
#include "params/param_archive.h"
#include "params/random.h"
#include "particles/particle_routines.h"
#include "particles/screen_fit.h"

namespace lumi {

static const RegisterClass<DS_StreamPtclSys> kRegisterStream(Family::General);
static const RegisterClass<DS_PtclSmoke2> kRegisterSmoke2(Family::General);

void DS_StreamPtclSys::Describe(Archive& ar) {
  SliderField(ar, "counter_rate", counter.rate, Apply::Set);
  QuadField(ar, "area", area);
  SliderField(ar, "lifetime", lifetime, Apply::Set);
  SliderField(ar, "stream_speed", stream_speed, Apply::Set);
  UIntField(ar, "min_speed", min_speed, Apply::Set);
  ar.UInt("stream_speed_copy", stream_speed_copy);
  ar.UInt("min_speed_copy", min_speed_copy);
  UIntField(ar, "aim_spread", aim_spread, Apply::Set);
  BaseRecordOf<VRN_ParticleSystemCtrl>(ar, this);
}

void DS_PtclSmoke2::Describe(Archive& ar) {
  UnnamedFields unnamed(ar);
  unnamed.UInts(unused_raws);
  unnamed.Int(unused_integer);
  BaseRecordOf<DS_StreamPtclSys>(ar, this);
}

// Both are stored as whole percentages.
float DS_StreamPtclSys::SlowestShare() const { return std::min(static_cast<float>(min_speed.value) / 100, 1.0f); }

float DS_StreamPtclSys::AimSpread() const { return static_cast<float>(aim_spread.value) / 100; }

void DS_StreamPtclSys::Attach() {
  if (!fixed_layout && HasScreen()) FitToScreen(area, kUnplacedShare);
}

void DS_PtclSmoke2::Attach() {
  DS_StreamPtclSys::Attach();
  if (fixed_layout || !HasScreen()) return;
  std::swap(area.corners[0].value, area.corners[1].value);
  std::swap(area.corners[2].value, area.corners[3].value);
}

void DS_StreamPtclSys::ResetPopulation() {
  counter_state.Reset();
  VRN_ParticleSystemCtrl::ResetPopulation();
}

void DS_StreamPtclSys::Emit(ParticleList& /*born*/, float dt) {
  const int64_t n = Room(counter_state.Count(counter.rate.scaled(), timeline_level * dt));
  const Vector3 c0 = Finite(area.corners[0].value), c1 = Finite(area.corners[1].value);
  const Vector3 c2 = Finite(area.corners[2].value), c3 = Finite(area.corners[3].value);
  const float aim = AimSpread(), slowest = SlowestShare();
  for (int64_t i = 0; i < n; ++i) {
    const float m = Random01();
    const Vector3 start = c2 + (c0 - c2) * m;
    const Vector3 target = c3 + (c1 - c3) * (m + Uniform(-aim, aim));
    // A target on the start gives no direction: the particle stays put.
    const Vector3 towards = target - start;
    const float length = Length(towards);
    const Vector3 direction = length > 0 ? towards * (1 / length) : Vector3{};
    auto p = std::make_shared<Particle>();
    p->position = start;
    look.InitParticle(*p, std::make_shared<IPR_ConstantAge>(lifetime.seconds()));
    p->routines.push_back(IPR_Kinematic::Shared());
    p->velocity = direction * (Uniform(slowest, 1) * stream_speed.scaled());
    particles.push_back(p);
    p->Update(static_cast<float>(i) * dt / static_cast<float>(n));
  }
}

}  // namespace lumi
