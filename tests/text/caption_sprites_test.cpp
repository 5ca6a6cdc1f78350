// The records of the captions drawn as effect sprites.
#include <gtest/gtest.h>

#include "tests/sprites/sprite_records.h"
#include "text/caption_sprites.h"
#include "timing/continues_timeline.h"
#include "timing/random_timeline.h"

namespace lumi {
namespace {

using test::ByteBuilder;
using test::ReadAndRewrite;
using test::ReadRecordAs;

constexpr char16_t kStoredPictureId[] = u"{1A2B3C4D-0001-0002-0304-05060708090A}";

// A static caption of `version`; version 1 carries the old timing values
// fade-in 500, fade-out 1000, on `on_ms` and off 2000 milliseconds.
ByteBuilder& CaptionRecord(ByteBuilder& b, int version = 3, uint32_t on_ms = 3000) {
  b.Header("DS_StaticTextConstructor", version).I32(11).I32(-12).Str(u"Hello").I32(-13).U32(400).I32(1);
  b.Str(u"Arial");
  if (version == 1) b.U32(500).U32(1000).U32(on_ms).U32(2000);
  if (version >= 3) b.Str(kStoredPictureId).Str(u"caption.png").U8(0);
  return test::StatBaseFxRecord(b);
}

void ExpectCaption(const DS_StaticTextConstructor& c) {
  EXPECT_EQ(c.setting1.value, 11);
  EXPECT_EQ(c.setting2.value, -12);
  EXPECT_EQ(c.text.value, u"Hello");
  EXPECT_EQ(c.font.value, (FontData{-13, 400, 1, u"Arial"}));
  test::ExpectEffectSprite(c);
}

TEST(CaptionSpriteRecords, StaticCaption) {
  ByteBuilder b;
  auto caption = ReadAndRewrite<DS_StaticTextConstructor>(CaptionRecord(b));
  ASSERT_NE(caption, nullptr);
  ExpectCaption(*caption);
  EXPECT_EQ(caption->picture_id.data1, 0x1A2B3C4Du);
  EXPECT_EQ(caption->picture_id.data4[7], 0x0A);
  EXPECT_EQ(caption->picture_name, u"caption.png");
  EXPECT_FALSE(caption->picture_flag);
}

TEST(CaptionSpriteRecords, ScrollingCaptionAndLink) {
  {
    ByteBuilder b;
    b.Header("DS_ScrollingTextConstructor", 2).U32(700).I32(3).F32(64.0f).F32(512.0f);
    auto scrolling = ReadAndRewrite<DS_ScrollingTextConstructor>(CaptionRecord(b));
    ASSERT_NE(scrolling, nullptr);
    EXPECT_EQ(scrolling->period.value, 700u);
    EXPECT_EQ(scrolling->direction.value, 3);
    EXPECT_EQ(scrolling->extent_a, 64.0f);
    EXPECT_EQ(scrolling->extent_b, 512.0f);
    ExpectCaption(*scrolling);
  }
  {  // version 1 has no extents
    ByteBuilder b;
    b.Header("DS_ScrollingTextConstructor", 1).U32(700).I32(2);
    auto scrolling = ReadRecordAs<DS_ScrollingTextConstructor>(CaptionRecord(b));
    ASSERT_NE(scrolling, nullptr);
    EXPECT_EQ(scrolling->direction.value, 2);
    EXPECT_EQ(scrolling->extent_a, 0.0f);
    EXPECT_EQ(scrolling->extent_b, 0.0f);
    ExpectCaption(*scrolling);
  }
  {
    ByteBuilder b;
    b.Header("DS_TextLinkConstructor", 1).U32(4242);
    auto link = ReadAndRewrite<DS_TextLinkConstructor>(CaptionRecord(b));
    ASSERT_NE(link, nullptr);
    EXPECT_EQ(link->link_value.value, 4242u);
    ExpectCaption(*link);
  }
}

TEST(CaptionSpriteRecords, NewCaptionsAreRedWithTheirOwnPictureId) {
  const DS_StaticTextConstructor a, b;
  EXPECT_EQ(a.sprite_colour.value, 0x000000FFu);
  EXPECT_EQ(a.timing.flags & 0x1, 0x1);
  EXPECT_EQ(a.timing.time_mode.value, 1);
  EXPECT_TRUE(a.picture_flag);
  EXPECT_FALSE(a.picture_id.IsZero());
  EXPECT_NE(a.picture_id, b.picture_id);
}

TEST(CaptionSpriteRecords, Version2HasNoPictureFieldsAndKeepsAFreshId) {
  ByteBuilder b;
  auto caption = ReadRecordAs<DS_StaticTextConstructor>(CaptionRecord(b, 2));
  ASSERT_NE(caption, nullptr);
  ExpectCaption(*caption);
  EXPECT_FALSE(caption->picture_id.IsZero());
  EXPECT_TRUE(caption->picture_name.empty());
  EXPECT_TRUE(caption->picture_flag);
}

TEST(CaptionSpriteRecords, Version1TimingBecomesARandomTimeline) {
  ByteBuilder b;
  auto caption = ReadRecordAs<DS_StaticTextConstructor>(CaptionRecord(b, 1));
  ASSERT_NE(caption, nullptr);
  ExpectCaption(*caption);
  auto* random = dynamic_cast<VRN_RandomTimeLine*>(&caption->timing.current());
  ASSERT_NE(random, nullptr);
  EXPECT_EQ(random->fade_in.value, 50u);
  EXPECT_EQ(random->fade_out.value, 100u);
  EXPECT_FLOAT_EQ(random->fade_out.seconds(), 1.0f);
  EXPECT_EQ(random->on_min.value, 300u);
  EXPECT_EQ(random->on_max.value, 300u);
  EXPECT_EQ(random->off_min.value, 200u);
  EXPECT_EQ(random->off_max.value, 200u);
}

TEST(CaptionSpriteRecords, Version1WithoutOnTimeKeepsItsLoadedTimeline) {
  ByteBuilder b;
  auto caption = ReadRecordAs<DS_StaticTextConstructor>(CaptionRecord(b, 1, 0));
  ASSERT_NE(caption, nullptr);
  EXPECT_NE(dynamic_cast<VRN_ContinuesTimeLine*>(&caption->timing.current()), nullptr);
}

}  // namespace
}  // namespace lumi
