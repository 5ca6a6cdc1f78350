// The records of the generator effects and their place in the registry.
#include <array>

#include "archive/registry.h"
#include "generators/catalogue.h"
#include "params/param_archive.h"
#include "particles/particle_fields.h"

namespace lumi {
namespace {

const RegisterClass<DS_Bling> kRegisterBling(Family::General);
const RegisterClass<DS_CustomAirBrush> kRegisterCustomAirBrush(Family::General);
const RegisterClass<DS_TwinklingStars> kRegisterTwinklingStars(Family::General);
const RegisterClass<DS_Aurora> kRegisterAurora(Family::General);
const RegisterClass<DS_AnimatedFont> kRegisterAnimatedFont(Family::General);
const RegisterClass<DS_RadialRays> kRegisterRadialRays(Family::General);
const RegisterClass<DS_Plant> kRegisterPlant(Family::General);
const RegisterClass<DS_StaticAnimation> kRegisterStaticAnimation(Family::General);
const RegisterClass<DS_FallingStars> kRegisterFallingStars(Family::General);
const RegisterClass<DS_BrownAnimation> kRegisterBrownAnimation(Family::General);
const RegisterClass<DS_Firework> kRegisterFirework(Family::General);
const RegisterClass<DS_FireworkSimple> kRegisterFireworkSimple(Family::General);
const RegisterClass<DS_Smoke> kRegisterSmoke(Family::General);
const RegisterClass<DS_LightningGN> kRegisterLightning(Family::General);
const RegisterClass<DS_PathAnimtion> kRegisterPathAnimation(Family::General);
const RegisterClass<VRN_BrownAnimation> kRegisterSwarm(Family::General);
const RegisterClass<VRN_Firefly> kRegisterFirefly(Family::General);

void Durations(Archive& ar, std::vector<uint32_t>& durations) {
  ListOf(ar, "frame_durations", durations, [&](uint32_t& d) { ar.UInt(nullptr, d); });
}

}  // namespace

void DS_Bling::Describe(Archive& ar) {
  ar.UnsettledFields(unread, DS_AirBrush::kClassName, [&] {
    UIntField(ar, "sparkle_size", sparkle_size, Apply::Set);
    UIntField(ar, "period", period, Apply::Set);
    UIntField(ar, "turn_speed", turn_speed, Apply::Set);
  });
  BaseRecordOf<DS_AirBrush>(ar, this);
}

void DS_CustomAirBrush::Describe(Archive& ar) {
  ar.UnsettledFields(unread, DS_AirBrush::kClassName, [&] {
    UIntField(ar, "speed", speed, Apply::Set);
    Durations(ar, frame_durations);
  });
  BaseRecordOf<DS_AirBrush>(ar, this);
}

void DS_TwinklingStars::Describe(Archive& ar) {
  ar.UnsettledFields(unread, DS_AirBrush::kClassName, [&] {
    UIntField(ar, "star_size", star_size, Apply::Set);
  });
  BaseRecordOf<DS_AirBrush>(ar, this);
}

void DS_Aurora::Describe(Archive& ar) {
  ar.UnsettledFields(unread, DS_AirBrush::kClassName, [&] {
    UIntField(ar, "wave_speed", wave_speed, Apply::Set);
    UIntField(ar, "drift_speed", drift_speed, Apply::Set);
    UIntField(ar, "shimmer_speed", shimmer_speed, Apply::Set);
    UIntField(ar, "band_height", band_height, Apply::Set);
  });
  BaseRecordOf<DS_AirBrush>(ar, this);
}

void DS_AnimatedFont::Describe(Archive& ar) {
  ar.UnsettledFields(unread, DS_StaticGenerator::kClassName, [&] {
    StringField(ar, "text", text, Apply::Set);
    UIntField(ar, "speed", speed, Apply::Set);
  });
  BaseRecordOf<DS_StaticGenerator>(ar, this);
}

void DS_RadialRays::Describe(Archive& ar) {
  ar.UnsettledFields(unread, DS_StaticGenerator::kClassName, [&] {
    LongField(ar, "mode", mode, Apply::Set);
    UIntField(ar, "speed", speed, Apply::Set);
    UIntField(ar, "swing", swing, Apply::Set);
    UIntField(ar, "ray_count", ray_count, Apply::Set);
    LongField(ar, "fixed_pattern", fixed_pattern, Apply::Set);
    UIntField(ar, "seed", seed, Apply::Set);
  });
  BaseRecordOf<DS_StaticGenerator>(ar, this);
}

void DS_Plant::Describe(Archive& ar) {
  ar.UnsettledFields(unread, DS_SingleRectGN::kClassName, [&] {
    UIntField(ar, "frequency", frequency, Apply::Set);
    UIntField(ar, "wind", wind, Apply::Set);
    UIntField(ar, "bending", bending, Apply::Set);
    LongField(ar, "fade_with_timeline", fade_with_timeline, Apply::Set);
  });
  BaseRecordOf<DS_SingleRectGN>(ar, this);
}

void DS_StaticAnimation::Describe(Archive& ar) {
  ar.UnsettledFields(unread, DS_SingleRectGN::kClassName, [&] {
    UIntField(ar, "opacity", opacity, Apply::Set);
  });
  BaseRecordOf<DS_SingleRectGN>(ar, this);
}

void DS_FallingStars::Describe(Archive& ar) {
  ar.UnsettledFields(unread, DS_ParticleRctRgnGenerator::kClassName, [&] {
    SliderField(ar, "star_rate", star_rate, Apply::Set);
    UIntField(ar, "fade_in", fade_in, Apply::Set);
    UIntField(ar, "hold", hold, Apply::Set);
    UIntField(ar, "fade_out", fade_out, Apply::Set);
    UIntField(ar, "direction", direction, Apply::Set);
    UIntField(ar, "fall_speed", fall_speed, Apply::Set);
    UIntField(ar, "spin", spin, Apply::Set);
  });
  BaseRecordOf<DS_ParticleRctRgnGenerator>(ar, this);
}

void DS_BrownAnimation::Describe(Archive& ar) {
  ar.UnsettledFields(unread, DS_ParticleRctRgnGenerator::kClassName, [&] {
    UIntField(ar, "count", count, Apply::Set);
    UIntField(ar, "wander_speed", wander_speed, Apply::Set);
    UIntField(ar, "change_interval", change_interval, Apply::Set);
    UIntField(ar, "acceleration_time", acceleration_time, Apply::Set);
    Durations(ar, frame_durations);
  });
  BaseRecordOf<DS_ParticleRctRgnGenerator>(ar, this);
}

void FireworkBurst::Describe(Archive& ar) {
  UIntField(ar, "burst_count", count, Apply::Set);
  UIntField(ar, "burst_speed", speed, Apply::Set);
  LongField(ar, "gravity", gravity, Apply::Set);
  UIntField(ar, "burst_life", life, Apply::Set);
}

void DS_Firework::Describe(Archive& ar) {
  ar.UnsettledFields(unread, DS_ParticleOriginGenerator::kClassName, [&] { burst.Describe(ar); });
  BaseRecordOf<DS_ParticleOriginGenerator>(ar, this);
}

void DS_FireworkSimple::Describe(Archive& ar) {
  ar.UnsettledFields(unread, DS_ParticleOriginGenerator::kClassName, [&] { burst.Describe(ar); });
  BaseRecordOf<DS_ParticleOriginGenerator>(ar, this);
}

void DS_Smoke::Describe(Archive& ar) {
  ar.UnsettledFields(unread, DS_ParticleOriginGenerator::kClassName, [&] {
    UIntField(ar, "puff_size", puff_size, Apply::Set);
    UIntField(ar, "opacity", opacity, Apply::Set);
  });
  BaseRecordOf<DS_ParticleOriginGenerator>(ar, this);
}

void DS_LightningGN::Describe(Archive& ar) {
  ar.UnsettledFields(unread, DS_StringGenerator::kClassName, [&] {
    UIntField(ar, "seed", seed, Apply::Set);
    LongField(ar, "random_shape", random_shape, Apply::Set);
    UIntField(ar, "bolt_time", bolt_time, Apply::Set);
    if (ar.version() < 2) {
      UnnamedFields dropped(ar);
      std::array<int32_t, 7> ints{};
      for (int32_t& i : ints) dropped.Int(i);
    }
  });
  BaseRecordOf<DS_StringGenerator>(ar, this);
}

void DS_PathAnimtion::Describe(Archive& ar) {
  ar.UnsettledFields(unread, DS_PathGenerator::kClassName, [&] {
    UIntField(ar, "speed", speed, Apply::Set);
    Durations(ar, frame_durations);
  });
  BaseRecordOf<DS_PathGenerator>(ar, this);
}

void VRN_BrownAnimation::Describe(Archive& ar) {
  ar.UnsettledFields(unread, VRN_ParticleSystemCtrl::kClassName, [&] {
    QuadField(ar, "region", region);
    UIntField(ar, "count", count, Apply::Set);
    UIntField(ar, "wander_speed", wander_speed, Apply::Set);
    UIntField(ar, "change_rate", change_rate, Apply::Set);
    UIntField(ar, "acceleration_time", acceleration_time, Apply::Set);
  });
  BaseRecordOf<VRN_ParticleSystemCtrl>(ar, this);
}

void VRN_Firefly::Describe(Archive& ar) {
  ar.UnsettledFields(light_unread, VRN_BrownAnimation::kClassName, [&] {
    UIntField(ar, "light_lifetime", light_lifetime, Apply::Set);
    UIntField(ar, "light_spread", light_spread, Apply::Set);
  });
  BaseRecordOf<VRN_BrownAnimation>(ar, this);
}

}  // namespace lumi
