#include <cmath>

#include <gtest/gtest.h>

#include "archive/binary_reader.h"
#include "params/colours.h"
#include "params/directions.h"
#include "params/param_archive.h"
#include "params/quad_rect.h"
#include "params/random.h"
#include "params/sliders.h"
#include "tests/support/byte_builder.h"

namespace lumi {
namespace {

using test::ByteBuilder;

// Counts the notifications of any parameter it is appended to.
struct NotifyCounter : MediaControl {
  int count = 0;
  void OnChange(MediaControl*) override { ++count; }
};

TEST(SliderKinds, DeriveTheirFloats) {
  TimeParam time;
  time.Set(50);
  EXPECT_FLOAT_EQ(time.seconds(), 0.5f);
  time.Set(1000);
  EXPECT_FLOAT_EQ(time.seconds(), 10.0f);

  VRN_JitterMediaPrm jitter;
  EXPECT_FLOAT_EQ(jitter.scaled(), 1.0f);
  jitter.Set(25);
  EXPECT_FLOAT_EQ(jitter.scaled(), 0.75f);

  VRN_JitterParam nominal(40);
  nominal.jitter.Set(10);
  EXPECT_FLOAT_EQ(nominal.scaled(), 40.0f);
  EXPECT_FLOAT_EQ(nominal.jitter.scaled(), 0.9f);

  MediaSpeedParam speed;
  EXPECT_FLOAT_EQ(speed.scaled(), 1.0f);
  MediaFloat<unsigned int> whole(7);
  EXPECT_FLOAT_EQ(whole.scaled(), 7.0f);
}

TEST(StoredParameters, DirectlyAppliedSlidersAndAnglesKeepTheirOwnDerivedValues) {
  ByteBuilder b;
  b.U32(25).U32(90).U32(50);
  BinaryReader reader(b.bytes());
  NotifyCounter heard;  // outlives the parameters it hears
  VRN_JitterMediaPrm jitter;
  MediaDirection angle;
  TimeParam time;
  jitter.AppendControl(&heard);
  angle.AppendControl(&heard);
  SliderField(reader, "jitter", jitter, Apply::Direct);
  DirectionField(reader, "angle", angle, Apply::Direct);
  SliderField(reader, "time", time, Apply::Set);
  EXPECT_FLOAT_EQ(jitter.scaled(), 0.75f);
  EXPECT_NEAR(angle.direction()[0], 0.0f, 1e-6f);
  EXPECT_FLOAT_EQ(angle.direction()[1], 1.0f);
  EXPECT_FLOAT_EQ(angle.perpendicular()[0], -1.0f);
  EXPECT_FLOAT_EQ(time.seconds(), 0.5f);
  EXPECT_EQ(heard.count, 0);  // nobody else hears of a direct value
}

TEST(Colours, OpacityAndHsb) {
  SmartCOLORREF colour;
  EXPECT_EQ(colour.value, 0x00FFFFFFu);
  EXPECT_EQ(colour.alpha(), 255);
  colour.opacity.Set(50);
  EXPECT_EQ(colour.alpha(), 127);

  SmartColorHSB hsb;
  hsb.hue.Set(120);
  hsb.saturation.Set(100);
  hsb.brightness.Set(100);
  EXPECT_FLOAT_EQ(hsb.red, 0.0f);
  EXPECT_FLOAT_EQ(hsb.green, 1.0f);
  EXPECT_FLOAT_EQ(hsb.blue, 0.0f);
  EXPECT_FLOAT_EQ(hsb.alpha, 1.0f);

  hsb.saturation.Set(0);
  hsb.brightness.Set(50);
  EXPECT_FLOAT_EQ(hsb.red, 0.5f);
  EXPECT_FLOAT_EQ(hsb.green, 0.5f);
  EXPECT_FLOAT_EQ(hsb.blue, 0.5f);

  // Hue 200, full saturation, brightness 80: sector 3, f = 1/3.
  hsb.hue.Set(200);
  hsb.saturation.Set(100);
  hsb.brightness.Set(80);
  EXPECT_NEAR(hsb.red, 0.0f, 1e-6);
  EXPECT_NEAR(hsb.green, 0.8f * (1 - 1.0f / 3), 1e-6);
  EXPECT_NEAR(hsb.blue, 0.8f, 1e-6);

  // A copy follows its own values.
  SmartColorHSB copy(hsb);
  copy.hue.Set(0);
  EXPECT_NEAR(copy.red, 0.8f, 1e-6);
  EXPECT_NEAR(hsb.red, 0.0f, 1e-6);
}

TEST(Colours, StoredHsbFloatsStayUntilAValueChanges) {
  ByteBuilder b;
  b.U32(120).U32(100).U32(100).F32(0.25f).F32(0.5f).F32(0.75f).F32(0.5f);
  BinaryReader reader(b.bytes());
  SmartColorHSB hsb;
  HsbField(reader, "colour", hsb);
  EXPECT_EQ(hsb.hue.value, 120u);
  EXPECT_FLOAT_EQ(hsb.red, 0.25f);
  EXPECT_FLOAT_EQ(hsb.alpha, 0.5f);
  hsb.brightness.Set(50);
  EXPECT_FLOAT_EQ(hsb.green, 0.5f);
  EXPECT_FLOAT_EQ(hsb.red, 0.0f);
  EXPECT_FLOAT_EQ(hsb.alpha, 1.0f);
}

TEST(Directions, AnglesSectorsAndRandomDirections) {
  MediaDirection direction(90);
  EXPECT_NEAR(direction.direction()[0], 0.0f, 1e-6);
  EXPECT_NEAR(direction.direction()[1], 1.0f, 1e-6);
  EXPECT_NEAR(direction.perpendicular()[0], -1.0f, 1e-6);
  EXPECT_NEAR(direction.perpendicular()[1], 0.0f, 1e-6);
  direction.Set(180);
  EXPECT_NEAR(direction.direction()[0], -1.0f, 1e-6);

  MediaSector sector(90, 0);
  for (int i = 0; i < 5; ++i) {
    const Vector3 v = sector.RandomDirection();
    EXPECT_NEAR(v.x, 0.0f, 1e-6);
    EXPECT_NEAR(v.y, -1.0f, 1e-6);
    EXPECT_EQ(v.z, 0.0f);
  }
  // With a spread the direction stays within it: angles 80..100 on screen.
  sector.spread.Set(10);
  for (int i = 0; i < 50; ++i) {
    const Vector3 v = sector.RandomDirection();
    EXPECT_NEAR(Length(v), 1.0f, 1e-5);
    EXPECT_LE(v.y, -std::cos(10.0f * kPi / 180.0f) + 1e-5);
  }

  // 90° points up on the screen, whose y axis points down.
  const Vector3 up = RandomDirection2D(2.0f, 90.0f, 90.0f);
  EXPECT_NEAR(up.x, 0.0f, 1e-6);
  EXPECT_NEAR(up.y, -2.0f, 1e-6);
  // In space the plane direction turns about y by at most half the span.
  for (int i = 0; i < 50; ++i) {
    const Vector3 v = RandomDirection3D(1.0f, 0.0f, 60.0f);
    EXPECT_NEAR(Length(v), 1.0f, 1e-5);
    EXPECT_LE(std::abs(v.z), std::sin(30.0f * kPi / 180.0f) + 1e-5);
  }
}

TEST(Areas, QuadCornersInStripOrder) {
  MediaQuad quad;
  NotifyCounter counter;
  quad.corners[0].AppendControl(&counter);
  quad.Build(4, 2, {10, 20, 5});
  const Vector3 expected[] = {{8, 19, 5}, {8, 21, 5}, {12, 19, 5}, {12, 21, 5}};
  for (size_t i = 0; i < 4; ++i) EXPECT_EQ(quad.corners[i].value, expected[i]) << i;
  EXPECT_EQ(counter.count, 0);

  ByteBuilder b;
  for (int i = 0; i < 12; ++i) b.F32(static_cast<float>(i));
  BinaryReader reader(b.bytes());
  QuadField(reader, "area", quad);
  EXPECT_EQ(quad.corners[3].value, (Vector3{9, 10, 11}));
  EXPECT_EQ(counter.count, 0);
  quad.corners[0].RemoveControl(&counter);
}

TEST(Areas, RectangleContainsPointThroughTheInverseView) {
  MediaRectangle rect;
  ByteBuilder b;
  b.I32(0).I32(100).I32(0).I32(50).I32(7).I32(8);
  BinaryReader reader(b.bytes());
  RectangleField(reader, "rect", rect);
  EXPECT_EQ(rect.right.value, 100);
  EXPECT_EQ(rect.y.value, 8);

  const Matrix identity;
  EXPECT_TRUE(rect.ContainsPoint(100, 50, identity));
  EXPECT_FALSE(rect.ContainsPoint(100.5f, 50, identity));
  EXPECT_TRUE(rect.ContainsPoint(0, 0, identity));
  EXPECT_FALSE(rect.ContainsPoint(-0.5f, 0, identity));

  // The target shows the picture moved 10 pixels right and doubled.
  Matrix inverse;
  inverse.m[0][0] = 0.5f;
  inverse.m[1][1] = 0.5f;
  inverse.m[3][0] = -5.0f;
  EXPECT_TRUE(rect.ContainsPoint(210, 100, inverse));
  EXPECT_FALSE(rect.ContainsPoint(211, 100, inverse));
}

TEST(Counters, PlainRuleCarriesTheFraction) {
  PerSecondCounter counter(10);
  EXPECT_EQ(counter.CountPlain(0.05f), 0);
  EXPECT_EQ(counter.last_emission, 0.0f);
  EXPECT_EQ(counter.CountPlain(0.1f), 1);
  EXPECT_EQ(counter.last_emission, 0.1f);
  EXPECT_EQ(counter.CountPlain(0.45f), 3);
  // A time before the last emission emits nothing and counts from there.
  EXPECT_EQ(counter.CountPlain(0.2f), 0);
  EXPECT_EQ(counter.last_emission, 0.2f);
}

TEST(Counters, RandomRuleRangesUpToTwiceTheDueNumber) {
  SeedRand(1);  // the first number drawn is 41
  PerSecondCounterRnd counter(10);
  EXPECT_EQ(counter.CountRandom(0.25f), 41 % 5);
  EXPECT_EQ(counter.last_emission, 0.25f);
  for (int i = 0; i < 100; ++i) {
    counter.last_emission = 0.0f;
    const int n = counter.CountRandom(0.25f);
    EXPECT_GE(n, 0);
    EXPECT_LE(n, 4);
  }
  // Nothing due: no events, the emission time stays, one number is drawn.
  SeedRand(1);
  counter.last_emission = 1.0f;
  EXPECT_EQ(counter.CountRandom(1.05f), 0);
  EXPECT_EQ(counter.last_emission, 1.0f);
  EXPECT_EQ(Rand(), 18467);
}

TEST(GuidParameters, ReadFromTheBracedFormUnparsableIsZero) {
  ByteBuilder b;
  b.Str(u"{0B18E5F6-C061-474D-A2C7-93A80D502FE8}").Str(u"{not a guid}");
  BinaryReader reader(b.bytes());
  MediaParamT<GUID> first, second;
  second.value.data1 = 5;
  GuidField(reader, "a", first, Apply::Direct);
  GuidField(reader, "b", second, Apply::Direct);
  EXPECT_EQ(first.value.data1, 0x0B18E5F6u);
  EXPECT_EQ(first.value.data4[7], 0xE8);
  EXPECT_TRUE(second.value.IsZero());
}

}  // namespace
}  // namespace lumi
