// The records of the splashes, sprays, streams, the
// vortex, the rain on glass and the rays of light.
#include <algorithm>
#include <cstdint>

#include "archive/registry.h"
#include "params/param_archive.h"
#include "particles/rain_on_glass.h"
#include "particles/ray_of_light.h"
#include "particles/splash_systems.h"
#include "particles/stream_systems.h"
#include "particles/vortex_system.h"

namespace lumi {

static const RegisterClass<VRN_SplashPtclSys> kRegisterSplash(Family::General);
static const RegisterClass<VRN_SprayPtclSys> kRegisterSpray(Family::General);
static const RegisterClass<DS_PtclFog> kRegisterFog(Family::General);
static const RegisterClass<DS_PtclSmoke3> kRegisterSmoke3(Family::General);
static const RegisterClass<DS_BokehLights> kRegisterBokehLights(Family::General);
static const RegisterClass<DS_StreamPtclSys> kRegisterStream(Family::General);
static const RegisterClass<DS_PtclSmoke2> kRegisterSmoke2(Family::General);
static const RegisterClass<VRN_VortexPtclSys> kRegisterVortex(Family::General);
static const RegisterClass<DS_RainOnGlass> kRegisterRainOnGlass(Family::General);
static const RegisterClass<DS_RayOfLight> kRegisterRayOfLight(Family::General);

// Splashes and sprays.

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

// Streams.

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

// The vortex, the rain on glass and the rays of light.

void VRN_VortexPtclSys::Describe(Archive& ar) {
  SliderField(ar, "counter_rate", counter.rate, Apply::Set);
  VectorField(ar, "point", emitter.point, Apply::Set);
  SliderField(ar, "launch_speed", launch_speed, Apply::Set);
  SliderField(ar, "swirl", swirl, Apply::Set);
  IntField(ar, "swirl_reverse", swirl_reverse, Apply::Set);
  UIntField(ar, "launch_angle", launch, Apply::Set);
  UIntField(ar, "launch_spread", launch.spread, Apply::Set);
  UIntField(ar, "arms", arms, Apply::Set);
  SliderField(ar, "arm_speed", arm_speed, Apply::Set);
  IntField(ar, "arm_direction", arm_direction, Apply::Set);
  UIntField(ar, "range", range, Apply::Set);
  BaseRecordOf<VRN_ParticleSystemCtrl>(ar, this);
}

void DS_RainOnGlass::Describe(Archive& ar) {
  SliderField(ar, "counter_rate", counter.rate, Apply::Set);
  QuadField(ar, "area", area);
  SliderField(ar, "slide_acceleration", slide_acceleration, Apply::Set);
  UIntField(ar, "slide_direction", slide_direction, Apply::Set);
  BaseRecordOf<VRN_ParticleSystemCtrl>(ar, this);
}

namespace {

// A nominal value and its jitter percentage.
void JitterField(Archive& ar, const char* field, const char* jitter_field, VRN_JitterParam& param) {
  SliderField(ar, field, param, Apply::Set);
  SliderField(ar, jitter_field, param.jitter, Apply::Set);
}

}  // namespace

void DS_RayOfLight::Describe(Archive& ar) {
  QuadField(ar, "area", area);
  UIntField(ar, "count", count, Apply::Set);
  JitterField(ar, "ray_lifetime", "ray_lifetime_jitter", ray_lifetime);
  JitterField(ar, "ray_width", "ray_width_jitter", ray_width);
  JitterField(ar, "drift", "drift_jitter", drift);
  SliderField(ar, "end_width", end_width, Apply::Set);
  SliderField(ar, "start_fade", start_fade, Apply::Set);
  SliderField(ar, "end_fade", end_fade, Apply::Set);
  SliderField(ar, "edge_fade", edge_fade, Apply::Set);
  UnnamedFields(ar).Int(unused);
  BaseRecordOf<VRN_ParticleSystemCtrl>(ar, this);
}

}  // namespace lumi
