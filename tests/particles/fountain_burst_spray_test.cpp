// The records of the bursts, fountains, splashes, sprays, streams, the
// vortex, the rain on glass and the rays of light, and the conversions of
// their older versions.
#include <gtest/gtest.h>

#include <functional>

#include "particles/burst_systems.h"
#include "particles/rain_on_glass.h"
#include "particles/ray_of_light.h"
#include "particles/splash_systems.h"
#include "particles/stream_systems.h"
#include "particles/vortex_system.h"
#include "tests/particles/particle_records.h"

namespace lumi {
namespace {

using test::ByteBuilder;

// The burst's own fields of version 4: point, count 40, launch speed raw
// 50, range 60, 3-D 70, launch angle 80 and spread 90, focused 100, start
// radius 110.
ByteBuilder& BurstFields(ByteBuilder& b) {
  return b.F32(10).F32(20).F32(30).U32(40).U32(50).U32(60).I32(70).U32(80).U32(90).I32(100).U32(110);
}

ByteBuilder& BurstRecord(ByteBuilder& b) {
  BurstFields(b.Header("VRN_BurstPtclSys", 4));
  return test::SystemBytes(b);
}

ByteBuilder& FountainRecord(ByteBuilder& b) {
  b.Header("VRN_FontainPtclSys", 2).U32(120);
  return BurstRecord(b);
}

// The splash's own fields of version 2.
ByteBuilder& SplashFields(ByteBuilder& b) {
  Quad(b, 1).F32(13).F32(14).F32(15).U32(16).U32(17).U32(18).I32(19).U32(20);
  return b.U32(21).U32(22).U32(23).U32(24);  // lifetime, launch angle, spread, speed
}

ByteBuilder& SprayRecord(ByteBuilder& b) {
  b.Header("VRN_SprayPtclSys", 2).U32(130).Header("VRN_SplashPtclSys", 2);
  SplashFields(b);
  return test::SystemBytes(b);
}

ByteBuilder& StreamRecord(ByteBuilder& b) {
  b.Header("DS_StreamPtclSys", 1).U32(140);
  Quad(b, 1).U32(141).U32(142).U32(143).U32(144).U32(145).U32(146);  // the second pair differs
  return test::SystemBytes(b);
}

TEST(EmitterSystemRecords, EveryClassIsConsumedExactlyAndWrittenBackAsRead) {
  const test::SystemCase cases[] = {
      {"VRN_BurstPtclSys", [](ByteBuilder& b) { BurstRecord(b); }},
      {"VRN_FontainPtclSys", [](ByteBuilder& b) { FountainRecord(b); }},
      {"DS_WaterJet", [](ByteBuilder& b) { FountainRecord(b.Header("DS_WaterJet", 0)); }},
      {"DS_LightBeams", [](ByteBuilder& b) { FountainRecord(b.Header("DS_LightBeams", 1)); }},
      {"DS_PtclFireStream", [](ByteBuilder& b) { FountainRecord(b.Header("DS_PtclFireStream", 1).U32(7)); }},
      {"DS_PtclFire", [](ByteBuilder& b) { FountainRecord(b.Header("DS_PtclFire", 1).I32(-7).U32(8).U32(9).U32(10)); }},
      {"DS_PtclSmoke", [](ByteBuilder& b) { FountainRecord(b.Header("DS_PtclSmoke", 1).U32(7).U32(75)); }},
      {"VRN_SplashPtclSys", [](ByteBuilder& b) { test::SystemBytes(SplashFields(b.Header("VRN_SplashPtclSys", 2))); }},
      {"VRN_SprayPtclSys", [](ByteBuilder& b) { SprayRecord(b); }},
      {"DS_PtclFog", [](ByteBuilder& b) { SprayRecord(b.Header("DS_PtclFog", 1).U32(7)); }},
      {"DS_PtclSmoke3", [](ByteBuilder& b) { SprayRecord(b.Header("DS_PtclSmoke3", 1).U32(7)); }},
      {"DS_BokehLights", [](ByteBuilder& b) { SprayRecord(b.Header("DS_BokehLights", 1).I32(-7)); }},
      {"DS_StreamPtclSys", [](ByteBuilder& b) { StreamRecord(b); }},
      {"DS_PtclSmoke2", [](ByteBuilder& b) { StreamRecord(b.Header("DS_PtclSmoke2", 1).U32(7).U32(8).I32(-9)); }},
      {"VRN_VortexPtclSys",
       [](ByteBuilder& b) {
         b.Header("VRN_VortexPtclSys", 1).U32(150).F32(1).F32(2).F32(3).U32(151).U32(152).I32(153);
         test::SystemBytes(b.U32(154).U32(155).U32(156).U32(157).I32(158).U32(159));
       }},
      {"DS_RainOnGlass",
       [](ByteBuilder& b) { test::SystemBytes(Quad(b.Header("DS_RainOnGlass", 1).U32(160), 1).U32(161).U32(162)); }},
      {"DS_RayOfLight",
       [](ByteBuilder& b) {
         Quad(b.Header("DS_RayOfLight", 1), 1).U32(170);
         b.U32(171).U32(172).U32(173).U32(174).U32(175).U32(176);  // the three jitter pairs
         test::SystemBytes(b.U32(177).U32(178).U32(179).U32(180).I32(-181));
       }},
  };
  for (const test::SystemCase& c : cases) test::ExpectSystemRecord(c);
}

TEST(EmitterSystemRecords, FieldsLandInPlaceWithTheirScales) {
  ByteBuilder fountain_bytes;
  FountainRecord(fountain_bytes.Header("DS_PtclSmoke", 1).U32(7).U32(75));
  auto smoke = test::ReadRecordAs<DS_PtclSmoke>(fountain_bytes);
  ASSERT_NE(smoke, nullptr);
  EXPECT_FLOAT_EQ(smoke->wind.scaled(), 250.0f);
  EXPECT_FLOAT_EQ(smoke->counter.rate.scaled(), 24.0f);
  EXPECT_EQ(smoke->emitter.point.value, (Vector3{10, 20, 30}));
  EXPECT_FLOAT_EQ(smoke->launch_speed.scaled(), 200.0f);
  EXPECT_EQ(smoke->three_d.value, 70);
  EXPECT_EQ(smoke->launch.value, 80u);
  EXPECT_EQ(smoke->launch.spread.value, 90u);
  EXPECT_EQ(smoke->start_radius.value, 110u);

  ByteBuilder fog_bytes;
  SprayRecord(fog_bytes.Header("DS_PtclFog", 1).U32(7));
  auto fog = test::ReadRecordAs<DS_PtclFog>(fog_bytes);
  ASSERT_NE(fog, nullptr);
  EXPECT_EQ(fog->rect_emitter.area.corners[3].value, (Vector3{10, 11, 12}));
  EXPECT_EQ(fog->sector_emitter.point.value, (Vector3{13, 14, 15}));
  EXPECT_EQ(fog->sector_emitter.sector.spread.value, 18u);
  EXPECT_EQ(fog->emitter_choice.value, 19);
  EXPECT_FLOAT_EQ(fog->lifetime.seconds(), 0.21f);
  // The fog's own scales for the speeds and spin it inherits.
  EXPECT_FLOAT_EQ(fog->launch_speed.scaled(), 0.24f);
  EXPECT_FLOAT_EQ(fog->counter.rate.scaled(), 1.3f);
  EXPECT_FLOAT_EQ(fog->look.spin_clock.scaled(), 1016 * 0.0005f);

  ByteBuilder ray_bytes;
  Quad(ray_bytes.Header("DS_RayOfLight", 1), 1).U32(170).U32(171).U32(25).U32(172).U32(173).U32(174).U32(175);
  test::SystemBytes(ray_bytes.U32(20).U32(178).U32(179).U32(180).I32(-181));
  auto ray = test::ReadRecordAs<DS_RayOfLight>(ray_bytes);
  ASSERT_NE(ray, nullptr);
  EXPECT_FLOAT_EQ(ray->ray_lifetime.scaled(), 17.1f);
  EXPECT_FLOAT_EQ(ray->ray_lifetime.jitter.scaled(), 0.75f);
  EXPECT_FLOAT_EQ(ray->drift.scaled(), 174 * 0.0002f);
  EXPECT_FLOAT_EQ(ray->end_width.scaled(), 2.0f);
  EXPECT_FLOAT_EQ(ray->edge_fade.scaled(), 0.9f);
  EXPECT_EQ(ray->unused, -181);
}

TEST(EmitterSystemRecords, InheritedDefaults) {
  VRN_FontainPtclSys fountain;
  EXPECT_FLOAT_EQ(fountain.counter.rate.scaled(), 20.0f);
  DS_PtclSmoke smoke;
  EXPECT_FLOAT_EQ(smoke.wind.scaled(), 0.0f);
  DS_PtclFog fog;
  EXPECT_FLOAT_EQ(fog.counter.rate.scaled(), 1.0f);  // raw 100 at the fog's scale
  EXPECT_FLOAT_EQ(fog.launch_speed.factor(), 0.01f);
  EXPECT_FLOAT_EQ(fog.look.spin_clock.factor(), 0.0005f);
  VRN_SprayPtclSys spray;
  EXPECT_FLOAT_EQ(spray.counter.rate.scaled(), 20.0f);
  EXPECT_FLOAT_EQ(spray.look.spin_clock.factor(), 0.05f);
}

TEST(EmitterSystemRecords, TheStreamKeepsItsSecondSpeedPairAsStored) {
  ByteBuilder b;
  StreamRecord(b);
  auto stream = test::ReadRecordAs<DS_StreamPtclSys>(b);
  ASSERT_NE(stream, nullptr);
  EXPECT_FLOAT_EQ(stream->stream_speed.scaled(), 284.0f);
  EXPECT_EQ(stream->min_speed.value, 143u);
  EXPECT_EQ(stream->stream_speed_copy, 144u);
  EXPECT_EQ(stream->min_speed_copy, 145u);
  EXPECT_EQ(stream->aim_spread.value, 146u);
}

// Older bursts: gravity beside the burst's settings (before version 4), no
// ramps (before 3), no focus (before 2).
TEST(EmitterSystemConversions, OlderBurstsMoveGravityAndRampsIntoTheLook) {
  for (int version = 1; version <= 3; ++version) {
    SCOPED_TRACE(version);
    ByteBuilder b;
    b.Header("VRN_BurstPtclSys", version).F32(10).F32(20).F32(30).U32(40).U32(50).U32(60).I32(70).U32(80).U32(90);
    b.U32(33).I32(version == 3 ? 1 : 0);
    if (version >= 2) b.I32(100).U32(110);
    test::SystemBytes(b);
    auto burst = test::ReadRecordAs<VRN_BurstPtclSys>(b);
    ASSERT_NE(burst, nullptr);
    const ParticleLook& look = burst->look;
    EXPECT_EQ(look.gravity.value, 33u);  // over the look's own 1038
    EXPECT_EQ(look.gravity_mode.value, version == 3 ? ParticleLook::kGravityUp : ParticleLook::kGravityDown);
    EXPECT_EQ(look.look_flags, 1036 | ParticleLook::kPhysics);
    EXPECT_EQ(burst->start_radius.value, version >= 2 ? 110u : 0u);
    EXPECT_EQ(look.size_ramp.in_end.value, version < 3 ? 0u : 1009u);
    EXPECT_EQ(look.size_ramp.out_start.value, version < 3 ? 100u : 1010u);
    EXPECT_EQ(look.alpha_ramp.in_end.value, version < 3 ? 10u : 1011u);
    EXPECT_EQ(look.alpha_ramp.out_start.value, version < 3 ? 60u : 1012u);
    test::ExpectSystemBase(*burst);
  }
}

TEST(EmitterSystemConversions, FountainVersion1CarriesTheBurstInline) {
  ByteBuilder b;
  b.Header("VRN_FontainPtclSys", 1).U32(120);
  b.F32(10).F32(20).F32(30).U32(40).U32(50).U32(60).I32(70).U32(80).U32(90).U32(33).I32(1);
  test::SystemBytes(b);
  auto fountain = test::ReadRecordAs<VRN_FontainPtclSys>(b);
  ASSERT_NE(fountain, nullptr);
  EXPECT_FLOAT_EQ(fountain->counter.rate.scaled(), 24.0f);
  EXPECT_EQ(fountain->launch.spread.value, 90u);
  EXPECT_EQ(fountain->focused.value, 0);
  EXPECT_EQ(fountain->look.gravity.value, 33u);
  EXPECT_EQ(fountain->look.gravity_mode.value, ParticleLook::kGravityUp);
  EXPECT_EQ(fountain->look.alpha_ramp.out_start.value, 60u);
  test::ExpectSystemBase(*fountain);
}

// Splash version 1: fade durations in hundredths become the lifetime and
// one of the two ramps; the other ramp is cleared.
TEST(EmitterSystemConversions, SplashVersion1TurnsFadeDurationsIntoLifetimeAndRamps) {
  struct Expect {
    uint32_t fade_in, steady, fade_out;
    int32_t size_fades;
    unsigned size_in, size_out, alpha_in, alpha_out, lifetime;
  };
  for (const Expect& e : {Expect{50, 100, 50, 1, 25, 75, 0, 100, 200}, Expect{10, 20, 0, 0, 0, 100, 33, 100, 30},
                          Expect{0, 0, 0, 1, 0, 100, 0, 100, 0}}) {
    SCOPED_TRACE(e.lifetime);
    ByteBuilder b;
    Quad(b.Header("VRN_SplashPtclSys", 1), 1).F32(13).F32(14).F32(15).U32(16).U32(17).U32(18).I32(19).U32(20);
    b.U32(44).I32(-5).U32(e.fade_in).U32(e.steady).U32(e.fade_out).I32(e.size_fades);
    test::SystemBytes(b);
    auto splash = test::ReadRecordAs<VRN_SplashPtclSys>(b);
    ASSERT_NE(splash, nullptr);
    const ParticleLook& look = splash->look;
    EXPECT_EQ(look.size_jitter.value, 44u);
    EXPECT_EQ(splash->lifetime.value, e.lifetime);
    EXPECT_EQ(look.size_ramp.in_end.value, e.size_in);
    EXPECT_EQ(look.size_ramp.out_start.value, e.size_out);
    EXPECT_EQ(look.alpha_ramp.in_end.value, e.alpha_in);
    EXPECT_EQ(look.alpha_ramp.out_start.value, e.alpha_out);
    EXPECT_EQ(splash->launch.spread.value, 360u);
    EXPECT_EQ(splash->launch_speed.value, 0u);
    EXPECT_EQ(splash->count.value, 20u);
    test::ExpectSystemBase(*splash);
  }
}

TEST(EmitterSystemConversions, AnOlderSprayFailsNamingClassVersionAndOffset) {
  ByteBuilder b;
  b.Header("VRN_SprayPtclSys", 1);
  const size_t offset = b.size();
  b.U32(130);
  const std::string error = test::RecordError(b);
  EXPECT_NE(error.find("VRN_SprayPtclSys"), std::string::npos) << error;
  EXPECT_NE(error.find("version 1 "), std::string::npos) << error;
  EXPECT_NE(error.find("offset " + std::to_string(offset)), std::string::npos) << error;
}

}  // namespace
}  // namespace lumi
