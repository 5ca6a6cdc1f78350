// The records of the water and waterfall effects.
#include "effects/water_effects.h"
#include "tests/effects/effect_bytes.h"

namespace lumi {
namespace {

using test::ByteBuilder;

ByteBuilder Water() {
  ByteBuilder b;
  b.Header("DS_WaterFX", 1).U32(21).U32(22).U32(23).U32(24).U32(135).U32(26).U32(27).U32(0x0000FF);
  b.Str(u"ripples.png").I64(1234);
  test::FxBase(b);
  return b;
}

TEST(WaterRecord, EveryFieldInOrder) {
  auto water = test::ReadRecordAs<DS_WaterFX>(Water());
  ASSERT_NE(water, nullptr);
  EXPECT_FLOAT_EQ(water->refraction_factor.scaled(), 0.0021f);
  EXPECT_FLOAT_EQ(water->shimmer_amplitude.scaled(), 0.022f);
  EXPECT_FLOAT_EQ(water->second_flow_speed.scaled(), 23 * 0.00025f);
  EXPECT_FLOAT_EQ(water->first_flow_length.scaled(), 24 * 0.0005f + 0.001f);
  EXPECT_EQ(water->flow_angle.value, 135u);
  EXPECT_FLOAT_EQ(water->shadow_strength.scaled(), 0.26f);
  EXPECT_FLOAT_EQ(water->highlight_height.scaled(), 2.7f);
  EXPECT_EQ(water->tint.value, 0x0000FFu);
  EXPECT_EQ(water->bump_map.key, (ResourceKey{u"ripples.png", 1234}));
  EXPECT_FLOAT_EQ(water->speed.scaled(), 61 * 0.02f);  // the scale water gives its speed
  EXPECT_EQ(water->name, u"Stream brush");
  test::ExpectRewritesExactly(Water(), Family::General);
}

ByteBuilder Waterfall() {
  ByteBuilder b;
  b.Header("DS_WaterfallFX", 1).U32(31).U32(3).U32(33).U32(34).U32(35);
  b.Str(u"noise.png").I64(77).U32(0x00336699).I32(1);
  test::DirectionBase(b);
  return b;
}

TEST(WaterfallRecord, EveryFieldInOrderThroughTheDirectionBase) {
  auto fall = test::ReadRecordAs<DS_WaterfallFX>(Waterfall());
  ASSERT_NE(fall, nullptr);
  EXPECT_FLOAT_EQ(fall->layer_opacity.scaled(), 0.69f);
  EXPECT_EQ(fall->layer_count.value, 3u);
  EXPECT_FLOAT_EQ(fall->noise_amplitude.scaled(), 0.0033f);
  EXPECT_FLOAT_EQ(fall->fourth_parameter.scaled(), 34.0f);
  EXPECT_FLOAT_EQ(fall->threshold.scaled(), 0.965f);
  EXPECT_EQ(fall->noise_map.key, (ResourceKey{u"noise.png", 77}));
  EXPECT_EQ(fall->base_colour.value, 0x00336699u);
  EXPECT_EQ(fall->drawing_off.value, 1);
  // The flow length is the direction base's first parameter, at the
  // waterfall's scale.
  EXPECT_FLOAT_EQ(fall->first_parameter.scaled(), 45 * 0.004f);
  EXPECT_EQ(fall->angle.value, 90u);
  EXPECT_FLOAT_EQ(fall->speed.scaled(), 61 * 0.02f);
  EXPECT_EQ(fall->depth.value, 250u);
  test::ExpectRewritesExactly(Waterfall(), Family::General);
}

}  // namespace
}  // namespace lumi
