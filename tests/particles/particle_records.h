// Hand-built records of the particle systems: the look and the records
// every system ends with, each field holding a value of its own.
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>

#include "particles/particle_system.h"
#include "tests/support/byte_builder.h"
#include "tests/support/record_io.h"

namespace lumi::test {

// A look of `version` whose whole numbers count up from 1001 in stored
// order (1001 textures' first value ... ), so a field read out of place
// shows at once.
inline ByteBuilder& LookBytes(ByteBuilder& b, int version = ParticleLook::kVersion) {
  b.I32(version).Str(u"Sparks");
  // textures: name, one image link, selector 2, the two values, the key
  b.Str(u"set").I32(1).Str(u"a.png").I64(7).U32(2).U32(1001).U32(1002).Str(u"b.png").I64(8);
  b.Str(u"fx.fxo").I64(9);                       // effect
  b.U32(1003).I32(1004).I32(1005).I32(1006);      // texture clock, reverse, flip v, flip u
  b.U32(1007).U32(0x00112233).U32(1008);          // size, colour, transparency
  b.U32(1009).U32(1010).U32(1011).U32(1012);      // size ramp in/out, alpha ramp in/out
  b.U32(1013).U32(1014);                          // size and alpha jitter
  b.I32(1015).U32(1016).U32(1017).I32(1018);      // spin direction, clock, jitter, blend mode
  b.U32(1019).U32(1020).U32(1021).U32(1022);      // size ramp start/end, alpha start twice
  b.I32(1023).U32(1024).U32(1025);                // orientation, start angle and jitter
  b.I32(1026).U32(1027).U32(0x00445566).U32(1028).I32(1029);  // glow
  b.Str(u"old.fxo").I64(10);                      // the effect link not used
  if (version >= 8) b.U32(1030).U32(1031).I32(1032).U32(1033).U32(1034).I32(1035);
  if (version >= 9) b.I32(1036).I32(1037).U32(1038).U32(1039);
  if (version >= 10) b.U32(1040).U32(1041).I32(1042).U32(1043).U32(1044).I32(1045);
  return b;
}

// A quad's four corners as stored: twelve floats counting up from `first`.
inline ByteBuilder& Quad(ByteBuilder& b, float first) {
  for (int i = 0; i < 12; ++i) b.F32(first + static_cast<float>(i));
  return b;
}

// The constructor record with its data and timing records.
inline ByteBuilder& ConstructorBytes(ByteBuilder& b) {
  b.Header("DS_ABObj_Constructor", 4).Str(u"Particles").U32(150);
  b.Header("VRN_RenderObjData", 1).Str(u"{0B18E5F6-C061-474D-A2C7-93A80D502FE8}");
  return b.Header("VRN_SmartTiming", 1).I32(0).I32(0).I32(0).Header("VRN_ContinuesTimeLine", 1).Header("VRN_Timing", 1);
}

// The particle-system record: its look, speed raw 250, the constructor.
inline ByteBuilder& SystemBytes(ByteBuilder& b) {
  b.Header("VRN_ParticleSystemCtrl", 5);
  LookBytes(b).U32(250);
  return ConstructorBytes(b);
}

// Checks that the base records were read in place.
inline void ExpectSystemBase(const VRN_ParticleSystemCtrl& system) {
  EXPECT_EQ(system.look.value, u"Sparks");
  EXPECT_EQ(system.look.wobble_sideways.mode.value, 1045);
  EXPECT_FLOAT_EQ(system.speed.scaled(), 2.5f);
  EXPECT_EQ(system.depth.value, 150u);
  EXPECT_EQ(system.name, u"Particles");
  EXPECT_EQ(system.identity.data1, 0x0B18E5F6u);
}

// A system's record, named by its class, that must read with the shared
// base records in place and write back as read, directly and through JSON.
struct SystemCase {
  const char* name;
  std::function<void(ByteBuilder&)> record;
};

inline void ExpectSystemRecord(const SystemCase& c) {
  SCOPED_TRACE(c.name);
  ByteBuilder b;
  c.record(b);
  std::unique_ptr<VRN_ParticleSystemCtrl> system = ReadAndRewrite<VRN_ParticleSystemCtrl>(b);
  ASSERT_NE(system, nullptr);
  EXPECT_EQ(system->ClassName(), c.name);
  ExpectSystemBase(*system);
}

}  // namespace lumi::test
