// The records of the effect framework: the effect constructor in each of
// its versions and the three bases of a frame of reference, read through
// concrete effects that end with them.
#include <numbers>

#include "effects/catalogue_effects.h"
#include "effects/water_effects.h"
#include "tests/effects/effect_bytes.h"

namespace lumi {
namespace {

using test::ByteBuilder;

// Heat distortion stores three sliders over the framework record.
ByteBuilder HeatDistortion(int fx_version) {
  ByteBuilder b;
  b.Header("DS_HeatDistortion", 1).U32(12).U32(13).U32(14);
  test::FxBase(b, fx_version);
  return b;
}

TEST(FxConstructorRecord, CurrentVersionFillsEveryField) {
  auto fx = test::ReadRecordAs<DS_HeatDistortion>(HeatDistortion(4));
  ASSERT_NE(fx, nullptr);
  EXPECT_EQ(fx->speed.value, 61u);
  EXPECT_EQ(fx->uses_background.value, 1);
  EXPECT_EQ(fx->brush_id.data1, 0x0B18E5F6u);
  EXPECT_EQ(fx->brush_label, u"brush label");
  EXPECT_EQ(fx->brush_flag, 2);  // kept as stored, not turned into 1
  EXPECT_EQ(fx->program.key, (ResourceKey{u"common_res.dll", 105}));
  EXPECT_FLOAT_EQ(fx->pattern_scale.scaled(), 0.7f);
  EXPECT_EQ(fx->rectangle.corners[0].value, (Vector3{100, 101, 102}));
  EXPECT_EQ(fx->rectangle.corners[3].value, (Vector3{109, 110, 111}));
  EXPECT_EQ(fx->oscillation_mode.value, 3);
  EXPECT_FLOAT_EQ(fx->phase_offset.scaled(), std::numbers::pi_v<float> / 2);
  // The end of the chain: the constructor and its render data.
  EXPECT_EQ(fx->name, u"Stream brush");
  EXPECT_EQ(fx->depth.value, 250u);
  EXPECT_EQ(fx->identity.data1, 0x11111111u);
  test::ExpectRewritesExactly(HeatDistortion(4), Family::General);
}

TEST(FxConstructorRecord, OlderVersionsKeepTheDefaultsOfLaterFields) {
  for (int version : {1, 2, 3}) {
    SCOPED_TRACE(version);
    auto fx = test::ReadRecordAs<DS_HeatDistortion>(HeatDistortion(version));
    ASSERT_NE(fx, nullptr);
    EXPECT_EQ(fx->pattern_scale.value, version >= 2 ? 35u : 50u);
    EXPECT_FLOAT_EQ(fx->pattern_scale.scaled(), version >= 2 ? 0.7f : 1.0f);
    EXPECT_EQ(fx->rectangle.corners[1].value, version >= 3 ? (Vector3{103, 104, 105}) : Vector3{});
    EXPECT_EQ(fx->oscillation_mode.value, version >= 3 ? 3 : 0);
    EXPECT_EQ(fx->phase_offset.value, 0u);
    EXPECT_EQ(fx->name, u"Stream brush");
    EXPECT_NEAR(fx->bump_size.scaled(), 0.874f, 1e-6f);
  }
}

TEST(FxConstructorRecord, AnEffectWithAnOlderBaseKeepsItsOwnPatternScale) {
  // Water starts its pattern at 30 (0.6); a version 1 base does not store one.
  ByteBuilder b;
  b.Header("DS_WaterFX", 1).U32(1).U32(2).U32(3).U32(4).U32(5).U32(6).U32(7).U32(0x112233);
  b.Str(u"bump.png").I64(9);
  test::FxBase(b, 1);
  auto water = test::ReadRecordAs<DS_WaterFX>(b);
  ASSERT_NE(water, nullptr);
  EXPECT_FLOAT_EQ(water->pattern_scale.scaled(), 0.6f);
  EXPECT_FLOAT_EQ(water->speed.scaled(), 61 * 0.02f);
}

TEST(FrameOfReferenceRecords, DirectionCentreAndLine) {
  {  // direction: the Kestrin linear effect has no fields of its own
    ByteBuilder b;
    b.Header("DS_KestrinLinear", 1);
    test::DirectionBase(b);
    auto fx = test::ReadRecordAs<DS_KestrinLinear>(b);
    ASSERT_NE(fx, nullptr);
    EXPECT_FLOAT_EQ(fx->first_parameter.scaled(), 45 * 0.002f);
    EXPECT_EQ(fx->angle.value, 90u);
    EXPECT_FLOAT_EQ(fx->speed.scaled(), 6.1f);
    EXPECT_EQ(fx->depth.value, 250u);
    test::ExpectRewritesExactly(b, Family::General);
  }
  {  // centre
    ByteBuilder b;
    b.Header("DS_KestrinRadial", 2).U32(8).I32(1);
    test::CentralBase(b);
    auto fx = test::ReadRecordAs<DS_KestrinRadial>(b);
    ASSERT_NE(fx, nullptr);
    EXPECT_EQ(fx->centre.value, (Vector3{320, 240, 7}));
    EXPECT_FLOAT_EQ(fx->amplitude.scaled(), 0.04f);
    EXPECT_EQ(fx->axis_flag.value, 1);
    EXPECT_EQ(fx->name, u"Stream brush");
    test::ExpectRewritesExactly(b, Family::General);
  }
  {  // line: direction and centre in one record, then the framework's
    ByteBuilder b;
    b.Header("DS_StretchFX", 1).I32(1).U32(20).U32(40);
    test::LineBase(b);
    auto fx = test::ReadRecordAs<DS_StretchFX>(b);
    ASSERT_NE(fx, nullptr);
    EXPECT_EQ(fx->line_direction.value, 30u);
    EXPECT_NEAR(fx->line_direction.direction()[0], 0.8660254f, 1e-6f);  // follows the stored angle
    EXPECT_EQ(fx->centre.value, (Vector3{320, 240, 7}));
    EXPECT_FLOAT_EQ(fx->b.scaled(), 0.4f);
    EXPECT_FLOAT_EQ(fx->speed.scaled(), 61 * 0.05f);
    EXPECT_EQ(fx->identity.data1, 0x11111111u);
    test::ExpectRewritesExactly(b, Family::General);
  }
}

TEST(FxConstructorRecord, ATruncatedBaseNamesItsRecordAndOffset) {
  ByteBuilder whole = HeatDistortion(4);
  ByteBuilder cut;
  cut.Bytes(std::vector<uint8_t>(whole.bytes().begin(), whole.bytes().begin() + 110));
  const std::string error = test::RecordError(cut);
  EXPECT_NE(error.find("DS_FX_Constructor"), std::string::npos) << error;
  EXPECT_NE(error.find("brush_id"), std::string::npos) << error;
  EXPECT_NE(error.find("offset"), std::string::npos) << error;
}

}  // namespace
}  // namespace lumi
