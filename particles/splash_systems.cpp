// Splashes and sprays: their records, the fog, smoke and bokeh sprays,
// and how they emit and launch their particles.
#include "particles/splash_systems.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

#include "archive/registry.h"
#include "params/param_archive.h"
#include "params/random.h"
#include "particles/particle_routines.h"

namespace lumi {

static const RegisterClass<VRN_SplashPtclSys> kRegisterSplash(Family::General);
static const RegisterClass<VRN_SprayPtclSys> kRegisterSpray(Family::General);
static const RegisterClass<DS_PtclFog> kRegisterFog(Family::General);
static const RegisterClass<DS_PtclSmoke3> kRegisterSmoke3(Family::General);
static const RegisterClass<DS_BokehLights> kRegisterBokehLights(Family::General);

void VRN_SplashPtclSys::Describe(Archive& ar) {
  QuadField(ar, "area", rect_emitter.area);
  VectorField(ar, "point", sector_emitter.point, Apply::Set);
  UIntField(ar, "radius", sector_emitter.radius, Apply::Set);
  UIntField(ar, "sector_angle", sector_emitter.sector, Apply::Set);
  UIntField(ar, "sector_spread", sector_emitter.sector.spread, Apply::Set);
  IntField(ar, "emitter_choice", emitter_choice, Apply::Set);
  UIntField(ar, "count", count, Apply::Set);
  if (ar.version() < 2) {
    DescribeVersion1(ar);
    return;
  }
  SliderField(ar, "lifetime", lifetime, Apply::Set);
  UIntField(ar, "launch_angle", launch, Apply::Set);
  UIntField(ar, "launch_spread", launch.spread, Apply::Set);
  SliderField(ar, "launch_speed", launch_speed, Apply::Set);
  BaseRecordOf<VRN_ParticleSystemCtrl>(ar, this);
}

void VRN_SplashPtclSys::DescribeVersion1(Archive& ar) {
  uint32_t size_jitter = 0, fade_in = 0, steady = 0, fade_out = 0;
  int32_t discarded = 0, size_fades = 0;
  ar.UInt("size_jitter", size_jitter);
  ar.Int("discarded", discarded);
  ar.UInt("fade_in", fade_in);
  ar.UInt("steady", steady);
  ar.UInt("fade_out", fade_out);
  ar.Int("size_fades", size_fades);
  BaseRecordOf<VRN_ParticleSystemCtrl>(ar, this);

  // The look belongs to the base record, so it is converted after it. The
  // sum is taken in 64 bits so that huge durations cannot wrap, and three
  // zero durations (which would divide by zero) keep ramps that change
  // nothing.
  look.size_jitter.Set(size_jitter);
  const uint64_t total = uint64_t{fade_in} + steady + fade_out;
  lifetime.Set(static_cast<uint32_t>(std::min<uint64_t>(total, UINT32_MAX)));
  const unsigned int in_end = total == 0 ? 0 : static_cast<unsigned int>(fade_in * uint64_t{100} / total);
  const unsigned int out_start =
      total == 0 ? 100 : static_cast<unsigned int>((uint64_t{fade_in} + steady) * 100 / total);
  ScaleRamp& faded = size_fades != 0 ? look.size_ramp : look.alpha_ramp;
  ScaleRamp& whole = size_fades != 0 ? look.alpha_ramp : look.size_ramp;
  faded.in_end.Set(in_end);
  faded.out_start.Set(out_start);
  whole.in_end.Set(0);
  whole.out_start.Set(100);
  launch.spread.Set(360);
  launch_speed.Set(0);
}

void VRN_SprayPtclSys::Describe(Archive& ar) {
  RejectVersionsBefore(ar, kVersion);
  SliderField(ar, "counter_rate", counter.rate, Apply::Set);
  BaseRecordOf<VRN_SplashPtclSys>(ar, this);
}

DS_PtclFog::DS_PtclFog() {
  SetScale(launch_speed, 0.01f);
  SetScale(counter.rate, 0.01f);
  SetScale(look.spin_clock, 0.0005f);
}

void DS_PtclFog::Describe(Archive& ar) {
  UnnamedFields(ar).UInt(unused);
  BaseRecordOf<VRN_SprayPtclSys>(ar, this);
}

void DS_PtclSmoke3::Describe(Archive& ar) {
  UnnamedFields(ar).UInt(unused);
  BaseRecordOf<VRN_SprayPtclSys>(ar, this);
}

void DS_BokehLights::Describe(Archive& ar) {
  UnnamedFields(ar).Int(unused);
  BaseRecordOf<VRN_SprayPtclSys>(ar, this);
}

void VRN_SplashPtclSys::ResetPopulation() {
  particles.clear();
  emitted_count = 0;
}

void VRN_SplashPtclSys::Launch(ParticleList& born, int64_t n) {
  n = Room(n);
  const size_t first = particles.size();
  if (emitter_choice.value == kRectangleEmitter) {
    SpawnInRect(particles, n, rect_emitter.area);
  } else {
    SpawnInSector(particles, n, Finite(sector_emitter.point.value), static_cast<float>(sector_emitter.sector.value),
                  static_cast<float>(sector_emitter.sector.spread.value), sector_emitter.radius.value);
  }
  for (size_t i = first; i < particles.size(); ++i) {
    InitParticle(*particles[i]);
    born.push_back(particles[i]);
  }
}

void VRN_SplashPtclSys::Emit(ParticleList& born, float /*dt*/) {
  Launch(born, CycleBirths(timeline_level, count.value, timeline_state, emitted_count));
}

void VRN_SplashPtclSys::InitParticle(Particle& p) const {
  look.InitParticle(p, std::make_shared<IPR_ConstantAge>(lifetime.seconds()));
  p.routines.push_back(IPR_Kinematic::Shared());
  // The whole spread on each side of the angle.
  const auto spread = static_cast<float>(launch.spread.value);
  const float phi = (static_cast<float>(launch.value) + Uniform(-spread, spread)) * kPi / 180;
  p.velocity = Vector3{std::cos(phi), -std::sin(phi), 0} * launch_speed.scaled();
}

void VRN_SprayPtclSys::Emit(ParticleList& born, float dt) {
  Launch(born, counter_state.Count(counter.rate.scaled(), timeline_level * dt));
}

void VRN_SprayPtclSys::ResetPopulation() {
  counter_state.Reset();
  VRN_ParticleSystemCtrl::ResetPopulation();
}

}  // namespace lumi
