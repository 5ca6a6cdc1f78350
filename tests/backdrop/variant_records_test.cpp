// The records of the backdrop variants: each variant's own fields, then the
// plain backdrop's record, and the conversions of their older versions.
#include "backdrop/variants.h"
#include "tests/effects/effect_bytes.h"

namespace lumi {
namespace {

using test::ByteBuilder;

// The plain backdrop's record, ending every variant.
ByteBuilder& PlainBackdrop(ByteBuilder& b) {
  b.Header("DS_2D_Light", 3).Str(u"C:\\a\\lake.jpg").I64(1234);
  return b.Header("DSM_Camera", 3).I32(2).U32(512).U32(320).I32(0).U32(150).U32(25).Str(u"common_res.dll").I64(6);
}

// The picture at the end of the chain came through.
void ExpectPlainBackdrop(const DS_2D_Light& light) {
  EXPECT_EQ(light.picture.key, (ResourceKey{u"C:\\a\\lake.jpg", 1234}));
  EXPECT_EQ(light.camera.mode.value, 2);
}

ByteBuilder Underwater(int version) {
  ByteBuilder b;
  b.Header("FakeUndervater", version);
  if (version >= 2) {
    b.Header("DS_UnderwaterFX", 1).U32(10).U32(20);
    test::FxBase(b);
  } else {
    b.U32(101);
  }
  return PlainBackdrop(b);
}

TEST(UnderwaterBackdropRecord, EmbedsTheWholeEffectRecord) {
  auto light = test::ReadRecordAs<FakeUndervater>(Underwater(2), Family::Backdrop);
  ASSERT_NE(light, nullptr);
  EXPECT_FLOAT_EQ(light->underwater.amplitude.scaled(), 0.00125f);
  EXPECT_EQ(light->underwater.speed.value, 61u);
  EXPECT_EQ(light->underwater.name, u"Stream brush");
  ExpectPlainBackdrop(*light);
  test::ExpectRewritesExactly(Underwater(2), Family::Backdrop);
}

TEST(UnderwaterBackdropRecord, VersionOneHalvesTheSpeed) {
  auto light = test::ReadRecordAs<FakeUndervater>(Underwater(1), Family::Backdrop);
  ASSERT_NE(light, nullptr);
  EXPECT_EQ(light->underwater.speed.value, 50u);
  EXPECT_FLOAT_EQ(light->underwater.amplitude.scaled(), 50 * 0.000125f);
  ExpectPlainBackdrop(*light);
}

ByteBuilder Flame(int version) {
  ByteBuilder b;
  b.Header("DS_FlameLight", version).I32(0).I32(2).U32(20);
  if (version < 2) b.U32(77);
  b.Str(u"bump.png").I64(3).Str(u"shimmer.fx").I64(4).U32(60).U32(30).U32(10);
  if (version >= 2) {
    b.Header("DS_FireFX", 3).U32(0x0000A0FF).U32(0x0000FFFF).I32(-4).Str(u"flame.png").I64(17);
    b.Str(u"noise.png").I64(18).U32(150).U32(40).U32(60);
    test::FxBase(b);
  } else {
    b.Str(u"old1.png").I64(5).Str(u"old2.png").I64(6);
  }
  return PlainBackdrop(b);
}

TEST(FlameBackdropRecord, EveryFieldAndTheEmbeddedFire) {
  auto light = test::ReadRecordAs<DS_FlameLight>(Flame(2), Family::Backdrop);
  ASSERT_NE(light, nullptr);
  EXPECT_EQ(light->fire_on.value, 0);
  EXPECT_EQ(light->shimmer_on.value, 2);
  EXPECT_EQ(light->band_position.value, 20u);
  EXPECT_EQ(light->bump_image.key, (ResourceKey{u"bump.png", 3}));
  EXPECT_EQ(light->program.key, (ResourceKey{u"shimmer.fx", 4}));
  EXPECT_FLOAT_EQ(light->shimmer_speed.scaled(), 0.06f);
  EXPECT_FLOAT_EQ(light->shimmer_strength.scaled(), 0.06f);
  EXPECT_FLOAT_EQ(light->bump_size.scaled(), 0.91f);
  EXPECT_EQ(light->fire.pattern_image.key, (ResourceKey{u"flame.png", 17}));
  EXPECT_FLOAT_EQ(light->fire.brightness.scaled(), 0.8f);
  EXPECT_EQ(light->fire.depth.value, 250u);
  ExpectPlainBackdrop(*light);
  test::ExpectRewritesExactly(Flame(2), Family::Backdrop);
}

TEST(FlameBackdropRecord, VersionOneGivesTheFireItsSpeedAndDropsTheOldLinks) {
  auto light = test::ReadRecordAs<DS_FlameLight>(Flame(1), Family::Backdrop);
  ASSERT_NE(light, nullptr);
  EXPECT_EQ(light->fire.speed.value, 77u);
  EXPECT_FLOAT_EQ(light->fire.speed.scaled(), 1.54f);
  // The fire keeps the pictures the flame backdrop gives it.
  EXPECT_EQ(light->fire.pattern_image.key, (ResourceKey{u"common_res.dll", 7}));
  EXPECT_EQ(light->fire.noise_image.key, (ResourceKey{u"common_res.dll", 8}));
  EXPECT_FLOAT_EQ(light->bump_size.scaled(), 0.91f);
  ExpectPlainBackdrop(*light);
}

ByteBuilder Lake(int version) {
  ByteBuilder b;
  b.Header("FakeLake2D", version);
  if (version >= 2) b.U32(110).U32(60).U32(40).U32(90).U32(30).U32(50).U32(21).U32(9).I32(2).U32(0x00102030);
  b.Str(test::kBrushGuid).Str(u"lake bump").U8(3);
  return PlainBackdrop(b);
}

TEST(LakeBackdropRecord, EveryFieldInOrder) {
  auto lake = test::ReadRecordAs<FakeLake2D>(Lake(2), Family::Backdrop);
  ASSERT_NE(lake, nullptr);
  EXPECT_FLOAT_EQ(lake->ripple_extent.scaled(), 1.1f);
  EXPECT_FLOAT_EQ(lake->speed.scaled(), 1.2f);
  EXPECT_FLOAT_EQ(lake->lake_height.scaled(), 0.3f);
  EXPECT_FLOAT_EQ(lake->bump_flattening.scaled(), 0.9f);
  EXPECT_FLOAT_EQ(lake->haze_opacity.scaled(), 0.24f);
  EXPECT_FLOAT_EQ(lake->haze_fade.scaled(), 0.5f);
  EXPECT_EQ(lake->normal_amplitude.value, 21u);
  EXPECT_EQ(lake->feather_height.value, 9u);
  EXPECT_EQ(lake->reflection_size_exponent.value, 2);
  EXPECT_EQ(lake->haze_colour.value, 0x00102030u);
  EXPECT_EQ(lake->bump_id.data1, 0x0B18E5F6u);
  EXPECT_EQ(lake->bump_label, u"lake bump");
  EXPECT_EQ(lake->bump_flag, 3);
  ExpectPlainBackdrop(*lake);
  test::ExpectRewritesExactly(Lake(2), Family::Backdrop);
}

TEST(LakeBackdropRecord, VersionOneKeepsTheDefaults) {
  auto lake = test::ReadRecordAs<FakeLake2D>(Lake(1), Family::Backdrop);
  ASSERT_NE(lake, nullptr);
  EXPECT_FLOAT_EQ(lake->lake_height.scaled(), 0.375f);
  EXPECT_FLOAT_EQ(lake->speed.scaled(), 1.0f);
  EXPECT_EQ(lake->haze_colour.value, 0x408000u);
  EXPECT_EQ(lake->reflection_size_exponent.value, 1);
  EXPECT_EQ(lake->bump_label, u"lake bump");
  ExpectPlainBackdrop(*lake);
}

ByteBuilder WaterRing(int version) {
  ByteBuilder b;
  b.Header("DS_WaterRingLight", version);
  if (version >= 2) b.U32(1).U32(2).U32(3).U32(4).U32(5).U32(6).U32(120).U32(80).U32(25);
  b.I32(1);
  return PlainBackdrop(b);
}

TEST(WaterRingBackdropRecord, EveryFieldAndTheOlderLayout) {
  auto ring = test::ReadRecordAs<DS_WaterRingLight>(WaterRing(2), Family::Backdrop);
  ASSERT_NE(ring, nullptr);
  EXPECT_EQ(ring->wave_speed.value, 1u);
  EXPECT_EQ(ring->column_density.value, 3u);
  EXPECT_EQ(ring->refraction_depth.value, 6u);
  EXPECT_FLOAT_EQ(ring->drop_rate.scaled(), 2.0f);
  EXPECT_FLOAT_EQ(ring->specular_level.scaled(), 0.8f);
  EXPECT_FLOAT_EQ(ring->specular_power.scaled(), 20.0f);
  EXPECT_EQ(ring->scene_mode.value, 1);
  ExpectPlainBackdrop(*ring);
  test::ExpectRewritesExactly(WaterRing(2), Family::Backdrop);

  auto old = test::ReadRecordAs<DS_WaterRingLight>(WaterRing(1), Family::Backdrop);
  ASSERT_NE(old, nullptr);
  EXPECT_EQ(old->drop_depth.value, 50u);
  EXPECT_FLOAT_EQ(old->drop_rate.scaled(), 0.5f);
  EXPECT_EQ(old->scene_mode.value, 1);
  ExpectPlainBackdrop(*old);
}

ByteBuilder MatrixCode(int version) {
  ByteBuilder b;
  b.Header("DS_MatrixCodeLight", version).U32(24).U32(35).U32(12).I32(3).I32(1).I32(0);
  b.U32(0x0000FF00).U32(0x00FFFFFF).U32(25);
  if (version >= 2) b.Str(u"glyphs.png").I64(40);
  return PlainBackdrop(b);
}

TEST(MatrixCodeBackdropRecord, EveryFieldAndTheOlderLayout) {
  auto code = test::ReadRecordAs<DS_MatrixCodeLight>(MatrixCode(2), Family::Backdrop);
  ASSERT_NE(code, nullptr);
  EXPECT_EQ(code->cell_size.value, 24u);
  EXPECT_EQ(code->spinner_count.value, 12u);
  EXPECT_EQ(code->mutation.value, 3);
  EXPECT_EQ(code->picture_mode.value, 1);
  EXPECT_EQ(code->insert_mode.value, 0);
  EXPECT_EQ(code->highlight_colour.value, 0x00FFFFFFu);
  EXPECT_FLOAT_EQ(code->brightness.scaled(), 0.75f);
  EXPECT_EQ(code->glyph_image.key, (ResourceKey{u"glyphs.png", 40}));
  ExpectPlainBackdrop(*code);
  test::ExpectRewritesExactly(MatrixCode(2), Family::Backdrop);

  auto old = test::ReadRecordAs<DS_MatrixCodeLight>(MatrixCode(1), Family::Backdrop);
  ASSERT_NE(old, nullptr);
  EXPECT_EQ(old->glyph_image.key, (ResourceKey{u"common_res.dll", 40}));
  ExpectPlainBackdrop(*old);
}

ByteBuilder GlassBall(int version, uint32_t speed) {
  ByteBuilder b;
  b.Header("DS_GlassBallLight", version);
  b.Str(u"h1.png").I64(1).Str(u"h2.png").I64(2).Str(u"stand.png").I64(3).Str(u"bg.png").I64(4);
  b.U32(speed).I32(-15).I32(25).U32(80).U32(40).I32(0).I32(7).I32(1).I32(5).I32(2);
  b.U32(0x00112233).U32(0x00445566);
  return PlainBackdrop(b);
}

TEST(GlassBallBackdropRecord, EveryFieldInOrder) {
  auto ball = test::ReadRecordAs<DS_GlassBallLight>(GlassBall(2, 50), Family::Backdrop);
  ASSERT_NE(ball, nullptr);
  EXPECT_EQ(ball->stand_image.key, (ResourceKey{u"stand.png", 3}));
  EXPECT_EQ(ball->background_image.key.number, 4);
  EXPECT_FLOAT_EQ(ball->speed.scaled(), 1.5f);
  EXPECT_EQ(ball->ball_offset.value, (IntPoint{-15, 25}));
  EXPECT_EQ(ball->ball_size.value, 80u);
  EXPECT_EQ(ball->sway_width.value, 40u);
  EXPECT_EQ(ball->highlight_1_on.value, 0);
  EXPECT_EQ(ball->highlight_2_on.value, 7);
  EXPECT_EQ(ball->background_flag.value, 5);
  EXPECT_EQ(ball->motion_mode.value, 2);
  EXPECT_EQ(ball->bottom_colour.value, 0x00445566u);
  ExpectPlainBackdrop(*ball);
  test::ExpectRewritesExactly(GlassBall(2, 50), Family::Backdrop);
}

TEST(GlassBallBackdropRecord, VersionOneSpeedIsMappedOntoTodaysScale) {
  auto ball = test::ReadRecordAs<DS_GlassBallLight>(GlassBall(1, 60), Family::Backdrop);
  ASSERT_NE(ball, nullptr);
  EXPECT_EQ(ball->speed.value, 73u);
  EXPECT_EQ(ball->top_colour.value, 0x00112233u);
  ExpectPlainBackdrop(*ball);
}

}  // namespace
}  // namespace lumi
