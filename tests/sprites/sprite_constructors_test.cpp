// The records of the sprite constructors: every class read from hand-built
// bytes with a distinct value in every field, written back unchanged, the
// older layouts converted, and the layouts this player does not know
// refused.
#include <gtest/gtest.h>

#include "sprites/sprite_constructors.h"
#include "tests/sprites/sprite_records.h"

namespace lumi {
namespace {

using test::ByteBuilder;
using test::ExpectRejected;
using test::ExpectSpriteProperties;
using test::ReadAndRewrite;
using test::ReadRecordAs;
using test::SpritePropRecord;
using test::StatBaseFxRecord;

ByteBuilder& FishRecord(ByteBuilder& b) {
  b.Header("DS_FishConstructor", 1).F32(3.5f).F32(4.5f);
  return SpritePropRecord(b);
}

ByteBuilder& BoundRecord(ByteBuilder& b, int mode, uint32_t first) {
  return b.Header("DS_BoundControl", 1).I32(mode).U32(first).U32(first + 1).U32(first + 2).U32(first + 3);
}

ByteBuilder& FlowRecord(ByteBuilder& b) {
  b.Header("DS_FlowConstructor", 4).U32(40).U32(41).U32(42).F32(43.5f).I32(2);
  BoundRecord(b, 0, 100);
  BoundRecord(b, 1, 200);
  BoundRecord(b, 2, 300);
  BoundRecord(b, 1, 400);
  return SpritePropRecord(b);
}

ByteBuilder& StatObjRecord(ByteBuilder& b) {
  b.Header("DS_StatObjConstructor", 2).I32(-10).I32(10).I32(-20).I32(20).I32(320).I32(240).U32(15);
  return SpritePropRecord(b);
}

TEST(SpriteRecords, FishAndTheClassesBuiltOnIt) {
  {
    ByteBuilder b;
    FishRecord(b);
    auto fish = ReadAndRewrite<DS_FishConstructor>(b);
    ASSERT_NE(fish, nullptr);
    EXPECT_EQ(fish->max_speed_x.value, 3.5f);
    EXPECT_EQ(fish->max_speed_y.value, 4.5f);
    ExpectSpriteProperties(*fish);
  }
  for (auto [name, version] : {std::pair{"DS_GhostConstructor", 2}, std::pair{"DS_BirdConstructor", 1}}) {
    SCOPED_TRACE(name);
    ByteBuilder b;
    b.Header(name, version);
    FishRecord(b);
    auto fish = ReadAndRewrite<DS_FishConstructor>(b);
    ASSERT_NE(fish, nullptr);
    EXPECT_EQ(fish->ClassName(), name);
    EXPECT_EQ(fish->max_speed_y.value, 4.5f);
    ExpectSpriteProperties(*fish);
  }
}

TEST(SpriteRecords, GodRaySparkleFogLightningAndGrass) {
  {
    ByteBuilder b;
    b.Header("DS_GodRayConstructor", 1).U32(35);
    auto ray = ReadAndRewrite<DS_GodRayConstructor>(SpritePropRecord(b));
    ASSERT_NE(ray, nullptr);
    EXPECT_EQ(ray->ray_angle.value, 35u);
    ExpectSpriteProperties(*ray);
  }
  {
    ByteBuilder b;
    b.Header("DS_SparkleConstructor", 1);
    auto sparkle = ReadAndRewrite<DS_SparkleConstructor>(SpritePropRecord(b));
    ASSERT_NE(sparkle, nullptr);
    ExpectSpriteProperties(*sparkle);
  }
  {
    ByteBuilder b;
    b.Header("DS_FogConstructor", 1).F32(12.5f).F32(13.5f);
    auto fog = ReadAndRewrite<DS_FogConstructor>(SpritePropRecord(b));
    ASSERT_NE(fog, nullptr);
    EXPECT_EQ(fog->max_speed_x.value, 12.5f);
    EXPECT_EQ(fog->max_speed_y.value, 13.5f);
    ExpectSpriteProperties(*fog);
  }
  {
    ByteBuilder b;
    b.Header("DS_LightingConstructor", 2).U32(50).U32(150);
    auto lightning = ReadAndRewrite<DS_LightingConstructor>(SpritePropRecord(b));
    ASSERT_NE(lightning, nullptr);
    EXPECT_EQ(lightning->pause_min.value, 50u);
    EXPECT_EQ(lightning->pause_max.value, 150u);
    ExpectSpriteProperties(*lightning);
  }
  {
    ByteBuilder b;
    b.Header("DS_GrassConstructor", 1).F32(7.5f);
    auto grass = ReadAndRewrite<DS_GrassConstructor>(SpritePropRecord(b));
    ASSERT_NE(grass, nullptr);
    EXPECT_EQ(grass->sway_amplitude.value, 7.5f);
    ExpectSpriteProperties(*grass);
  }
}

TEST(SpriteRecords, FlowAndRainWithTheirFourBounds) {
  for (bool rain : {false, true}) {
    SCOPED_TRACE(rain ? "rain" : "flow");
    ByteBuilder b;
    if (rain) b.Header("DS_RainConstructor", 1);
    auto flow = ReadAndRewrite<DS_FlowConstructor>(FlowRecord(b));
    ASSERT_NE(flow, nullptr);
    EXPECT_EQ(flow->ClassName(), rain ? "DS_RainConstructor" : "DS_FlowConstructor");
    EXPECT_EQ(flow->flow_angle.value, 40u);
    EXPECT_FLOAT_EQ(flow->wobble.scaled(), 41 * 3.0f);
    EXPECT_FLOAT_EQ(flow->wobble_rate.scaled(), 42 * 0.25f);
    EXPECT_EQ(flow->flow_speed.value, 43.5f);
    EXPECT_EQ(flow->facing.value, 2);
    // Stored top, bottom, left, right; each knows its edge.
    for (int edge = 0; edge < 4; ++edge) {
      const DS_BoundControl& bound = flow->bounds[edge];
      EXPECT_EQ(bound.edge, edge);
      EXPECT_EQ(bound.fade_out_ms.value, 100u * (edge + 1));
      EXPECT_EQ(bound.pause_max_ms.value, 100u * (edge + 1) + 3);
    }
    EXPECT_EQ(flow->bounds[DS_BoundControl::kLeft].bound_mode.value, DS_BoundControl::kLeaveAndReturn);
    EXPECT_EQ(flow->bounds[DS_BoundControl::kTop].fade_in_ms.value, 101u);
    EXPECT_EQ(flow->bounds[DS_BoundControl::kTop].pause_min_ms.value, 102u);
    ExpectSpriteProperties(*flow);
  }
}

TEST(SpriteRecords, StaticObjectsFlowerAndDischarge) {
  {
    ByteBuilder b;
    auto object = ReadAndRewrite<DS_StatObjConstructor>(StatObjRecord(b));
    ASSERT_NE(object, nullptr);
    EXPECT_EQ(object->centre.left.value, -10);
    EXPECT_EQ(object->centre.x.value, 320);
    EXPECT_EQ(object->centre.y.value, 240);
    EXPECT_EQ(object->rotation.value, 15u);
    ExpectSpriteProperties(*object);
  }
  {
    ByteBuilder b;
    b.Header("DS_FlowerConstructor", 1).F32(9.5f);
    auto flower = ReadAndRewrite<DS_FlowerConstructor>(StatObjRecord(b));
    ASSERT_NE(flower, nullptr);
    EXPECT_EQ(flower->sway_amplitude.value, 9.5f);
    EXPECT_EQ(flower->rotation.value, 15u);
    ExpectSpriteProperties(*flower);
  }
  {
    ByteBuilder b;
    b.Header("DS_DischargeConstructor", 1);
    auto discharge = ReadAndRewrite<DS_DischargeConstructor>(StatObjRecord(b));
    ASSERT_NE(discharge, nullptr);
    EXPECT_EQ(discharge->centre.top.value, -20);
    ExpectSpriteProperties(*discharge);
  }
}

TEST(SpriteRecords, ExplosionDownTheWholeEffectChain) {
  ByteBuilder b;
  b.Header("DS_ExplosionConstructor", 3).U32(61).U32(62).U32(63).U32(90).U32(64).U32(65).I32(0).I32(0x00445566);
  auto explosion = ReadAndRewrite<DS_ExplosionConstructor>(StatBaseFxRecord(b));
  ASSERT_NE(explosion, nullptr);
  EXPECT_EQ(explosion->noise[0].value, 61u);
  EXPECT_EQ(explosion->noise[2].value, 63u);
  // The drift direction follows its stored angle.
  EXPECT_NEAR(explosion->drift.direction()[0], 0.0f, 1e-6f);
  EXPECT_NEAR(explosion->drift.direction()[1], 1.0f, 1e-6f);
  EXPECT_EQ(explosion->first_raw.value, 64u);
  EXPECT_EQ(explosion->noise_seed.value, 65u);
  EXPECT_EQ(explosion->free_noise.value, 0);
  EXPECT_EQ(explosion->second_colour.value, 0x00445566u);
  test::ExpectEffectSprite(*explosion);
}

// The still object's fields, then the whole glow record.
TEST(SpriteRecords, GlowingDischargeKeepsTheStillFieldsBeforeTheGlowRecord) {
  ByteBuilder b;
  b.Header("DS_DischargeFXConstructor", 1).I32(-10).I32(10).I32(-20).I32(20).I32(320).I32(240).U32(15);
  b.Header("DS_GlowEffectCtrl", 1).I32(1).U32(70);
  b.Header("DS_FXParticleSystemCtrl", 1).Str(u"glow.fx").I64(71);
  SpritePropRecord(b);
  auto glow = ReadAndRewrite<DS_DischargeFXConstructor>(b);
  ASSERT_NE(glow, nullptr);
  EXPECT_EQ(glow->centre.top.value, -20);
  EXPECT_EQ(glow->centre.x.value, 320);
  EXPECT_EQ(glow->rotation.value, 15u);
  EXPECT_EQ(glow->glow_mode.value, 1);
  EXPECT_EQ(glow->glow_brightness.value, 70u);
  EXPECT_EQ(glow->effect.key, (ResourceKey{u"glow.fx", 71}));
  ExpectSpriteProperties(*glow);
}

TEST(SpriteRecords, DefaultsTheClassesGiveTheirBases) {
  const DS_FogConstructor fog;
  EXPECT_EQ(fog.glow_min.value, 0.2f);
  EXPECT_EQ(fog.glow_max.value, 1.0f);
  EXPECT_EQ(fog.max_speed_x.value, 40.0f);
  const DS_GodRayConstructor ray;
  EXPECT_EQ(ray.ray_angle.value, 80u);
  EXPECT_EQ(ray.glow_max.value, 1.0f);
  EXPECT_EQ(ray.scale_min.value, 1.0f);
  EXPECT_FLOAT_EQ(ray.motion_speed.scaled(), 1.0f);  // raw 50 is real speed
  EXPECT_EQ(ray.transparency.scaled(), 255);         // opaque
}

// Version 1 views and version 2 sprite properties kept the motion speed in
// the properties; versions before 7 lack one more sheet setting each.
TEST(SpriteRecords, OlderSpritePropertiesKeepTheirDefaults) {
  for (int version = 2; version <= 6; ++version) {
    SCOPED_TRACE(version);
    ByteBuilder b;
    b.Header("DS_SparkleConstructor", 1);
    SpritePropRecord(b, version);
    auto sparkle = ReadRecordAs<DS_SparkleConstructor>(b);
    ASSERT_NE(sparkle, nullptr);
    test::ExpectView(*sparkle);
    EXPECT_EQ(sparkle->motion_speed.value, version < 3 ? 60u : 75u);
    EXPECT_FLOAT_EQ(sparkle->motion_speed.scaled(), version < 3 ? 1.2f : 1.5f);
    EXPECT_EQ(sparkle->sprite_size.value, 22u);
    EXPECT_EQ(sparkle->sheet_flag, 3);
    EXPECT_EQ(sparkle->sheet_mode.value, version >= 4 ? 2 : 0);
    EXPECT_EQ(sparkle->flip_u.value, version >= 5 ? 31 : 0);
    EXPECT_EQ(sparkle->rebuild_always.value, version >= 6 ? 32 : 0);
    EXPECT_EQ(sparkle->animation_speed.value, 1u);
    // Written back in the current layout, which reads the same.
    ByteBuilder current;
    current.Bytes(test::WriteRecord(*sparkle));
    auto again = ReadRecordAs<DS_SparkleConstructor>(current);
    ASSERT_NE(again, nullptr);
    EXPECT_EQ(again->motion_speed.value, sparkle->motion_speed.value);
    EXPECT_EQ(again->flip_u.value, sparkle->flip_u.value);
  }
}

TEST(SpriteRecords, LayoutsNotKnownAreRefusedWithClassVersionAndOffset) {
  {  // sprite properties 1: another image list after the scale range
    ByteBuilder b;
    b.Header("DS_SparkleConstructor", 1).Header("DS_BaseSpriteProp", 1);
    test::ViewRecord(b, 1);
    b.U32(21).U32(60).U32(22).U32(50).I32(23).I32(0x00332211);
    b.F32(0.5f).F32(0.25f).F32(0.9f).F32(0.75f).F32(1.5f);
    const size_t offset = b.size();
    b.I32(1).Str(u"old list");
    ExpectRejected(b, "DS_BaseSpriteProp", 1, offset);
  }
  struct Older {
    const char* name;
    int version;
  };
  for (const Older& c : {Older{"DS_GhostConstructor", 1}, Older{"DS_FlowConstructor", 1},
                         Older{"DS_FlowConstructor", 3}, Older{"DS_LightingConstructor", 1},
                         Older{"DS_StatObjConstructor", 1}, Older{"DS_ExplosionConstructor", 1},
                         Older{"DS_ExplosionConstructor", 2}}) {
    SCOPED_TRACE(std::string(c.name) + " " + std::to_string(c.version));
    ByteBuilder b;
    b.Header(c.name, c.version);
    const size_t offset = b.size();
    FishRecord(b);
    ExpectRejected(b, c.name, c.version, offset);
  }
  {  // the effect sprite's base in version 1
    ByteBuilder b;
    b.Header("DS_ExplosionConstructor", 3).U32(61).U32(62).U32(63).U32(90).U32(64).U32(65).I32(0).I32(0);
    b.Header("DS_StatBaseFXCtrl", 1);
    const size_t offset = b.size();
    b.F32(1).F32(2).F32(3).U32(4).U32(5);
    ExpectRejected(b, "DS_StatBaseFXCtrl", 1, offset);
  }
}

}  // namespace
}  // namespace lumi
