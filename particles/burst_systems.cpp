// The records of the bursts and the fountains.
#include "archive/registry.h"
#include "params/param_archive.h"
#include "particles/burst_systems.h"

namespace lumi {

static const RegisterClass<VRN_BurstPtclSys> kRegisterBurst(Family::General);
static const RegisterClass<VRN_FontainPtclSys> kRegisterFountain(Family::General);
static const RegisterClass<DS_WaterJet> kRegisterWaterJet(Family::General);
static const RegisterClass<DS_LightBeams> kRegisterLightBeams(Family::General);
static const RegisterClass<DS_PtclFireStream> kRegisterFireStream(Family::General);
static const RegisterClass<DS_PtclFire> kRegisterFire(Family::General);
static const RegisterClass<DS_PtclSmoke> kRegisterSmoke(Family::General);

void VRN_BurstPtclSys::DescribeBurst(Archive& ar, int version, OldGravity& old) {
  VectorField(ar, "point", emitter.point, Apply::Set);
  UIntField(ar, "count", count, Apply::Set);
  SliderField(ar, "launch_speed", launch_speed, Apply::Set);
  UIntField(ar, "range", range, Apply::Set);
  IntField(ar, "three_d", three_d, Apply::Set);
  UIntField(ar, "launch_angle", launch, Apply::Set);
  UIntField(ar, "launch_spread", launch.spread, Apply::Set);
  if (version < 4) {
    ar.UInt("gravity", old.gravity);
    ar.Int("gravity_up", old.up);
  }
  if (version >= 2) {
    IntField(ar, "focused", focused, Apply::Set);
    UIntField(ar, "start_radius", start_radius, Apply::Set);
  }
}

void VRN_BurstPtclSys::ConvertOlderLook(int version, const OldGravity& old) {
  if (version < 4) {
    look.gravity.Set(old.gravity);
    look.gravity_mode.Set(old.up != 0 ? ParticleLook::kGravityUp : ParticleLook::kGravityDown);
    look.look_flags |= ParticleLook::kPhysics;
  }
  if (version < 3) {
    look.size_ramp.in_end.Set(0);
    look.size_ramp.out_start.Set(100);
    look.alpha_ramp.in_end.Set(10);
    look.alpha_ramp.out_start.Set(60);
  }
}

void VRN_BurstPtclSys::Describe(Archive& ar) {
  const int v = ar.version();
  OldGravity old;
  DescribeBurst(ar, v, old);
  BaseRecordOf<VRN_ParticleSystemCtrl>(ar, this);
  ConvertOlderLook(v, old);
}

void VRN_FontainPtclSys::Describe(Archive& ar) {
  SliderField(ar, "counter_rate", counter.rate, Apply::Set);
  if (ar.version() >= 2) {
    BaseRecordOf<VRN_BurstPtclSys>(ar, this);
    return;
  }
  // Version 1 stored the burst's settings inline, as a burst of version 1
  // stores them, and no burst record.
  constexpr int kInlineBurstVersion = 1;
  OldGravity old;
  DescribeBurst(ar, kInlineBurstVersion, old);
  BaseRecordOf<VRN_ParticleSystemCtrl>(ar, this);
  ConvertOlderLook(kInlineBurstVersion, old);
}

void DS_WaterJet::Describe(Archive& ar) { BaseRecordOf<VRN_FontainPtclSys>(ar, this); }

void DS_LightBeams::Describe(Archive& ar) { BaseRecordOf<VRN_FontainPtclSys>(ar, this); }

void DS_PtclFireStream::Describe(Archive& ar) {
  UnnamedFields(ar).UInt(unused);
  BaseRecordOf<VRN_FontainPtclSys>(ar, this);
}

void DS_PtclFire::Describe(Archive& ar) {
  UnnamedFields unnamed(ar);
  unnamed.Int(unused_integer);
  unnamed.UInts(unused_raws);
  BaseRecordOf<VRN_FontainPtclSys>(ar, this);
}

void DS_PtclSmoke::Describe(Archive& ar) {
  UnnamedFields(ar).UInt(unused);
  SliderField(ar, "wind", wind, Apply::Set);
  BaseRecordOf<VRN_FontainPtclSys>(ar, this);
}

}  // namespace lumi
