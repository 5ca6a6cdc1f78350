// The records of the captions drawn as one particle quad.
#include <gtest/gtest.h>

#include "tests/particles/particle_records.h"
#include "tests/sprites/sprite_records.h"
#include "text/caption_particles.h"

namespace lumi {
namespace {

using test::ByteBuilder;
using test::ReadAndRewrite;

// The static object under every caption: spin raw 3, direction 1, a quad
// with the corners 1..12, then the particle system.
ByteBuilder& StaticObjectBytes(ByteBuilder& b) {
  b.Header("VRN_StaticObject", 1).U32(3).I32(1);
  b.Header("VRN_SingleParticle", 1);
  for (int i = 1; i <= 12; ++i) b.F32(static_cast<float>(i));
  return test::SystemBytes(b);
}

// Every style value distinct: unsigned 101.., signed -201.., colours 0x0A0B0C..
ByteBuilder& StaticTextBytes(ByteBuilder& b) {
  b.Header("DS_StaticText", 1).Str(u"Welcome").Str(u"Georgia");
  b.U32(101).I32(-201).I32(-202).I32(0x000A0B01).I32(-203).I32(-204).I32(-205).I32(0x000A0B02);
  b.U32(102).U32(103).I32(-206).I32(0x000A0B03).U32(104);
  b.I32(1);                       // shadow on
  b.I32(0x00102030).U32(50);      // shadow colour, half transparent
  b.U32(6).U32(90);               // distance, direction
  b.I32(0x00405060).U32(10);      // style colour 2
  b.I32(0x00708090).U32(100);     // style colour 3
  b.U32(105).U32(106);
  return StaticObjectBytes(b);
}

void ExpectStaticText(const DS_StaticText& t) {
  EXPECT_EQ(t.style.caption.value, u"Welcome");
  EXPECT_EQ(t.style.face_name.value, u"Georgia");
  EXPECT_EQ(t.style.value_1.value, 101u);
  EXPECT_EQ(t.style.value_2.value, -201);
  EXPECT_EQ(t.style.value_4.value, 0x000A0B01u);
  EXPECT_EQ(t.style.value_7.value, -205);
  EXPECT_EQ(t.style.value_8.value, 0x000A0B02u);
  EXPECT_EQ(t.style.value_10.value, 103u);
  EXPECT_EQ(t.style.value_11.value, -206);
  EXPECT_EQ(t.style.value_12.value, 0x000A0B03u);
  EXPECT_EQ(t.style.value_13.value, 104u);
  EXPECT_EQ(t.shadow_on.value, 1);
  EXPECT_EQ(t.shadow_colour.value, 0x00102030u);
  EXPECT_EQ(t.shadow_colour.alpha(), 127);  // applied with notification
  EXPECT_EQ(t.shadow_distance.value, 6u);
  EXPECT_NEAR(t.shadow_direction.direction()[1], 1.0f, 1e-6f);
  EXPECT_EQ(t.style_colour2.value, 0x00405060u);
  EXPECT_EQ(t.style_colour2.alpha(), 229);
  EXPECT_EQ(t.style_colour3.alpha(), 0);
  EXPECT_EQ(t.style_value1.value, 105u);
  EXPECT_EQ(t.style_value2.value, 106u);
  EXPECT_EQ(t.spin_speed.value, 3u);
  EXPECT_EQ(t.spin_direction.value, 1);
  EXPECT_EQ(t.area.corners[3].value, (Vector3{10, 11, 12}));
  test::ExpectSystemBase(t);
}

TEST(CaptionParticleRecords, StaticScrollingAndLinkCaptions) {
  {
    ByteBuilder b;
    auto text = ReadAndRewrite<DS_StaticText>(StaticTextBytes(b));
    ASSERT_NE(text, nullptr);
    ExpectStaticText(*text);
  }
  {
    ByteBuilder b;
    b.Header("DS_ScrollingTex", 1).I32(3);
    auto text = ReadAndRewrite<DS_ScrollingTex>(StaticTextBytes(b));
    ASSERT_NE(text, nullptr);
    EXPECT_EQ(text->direction.value, 3);
    ExpectStaticText(*text);
  }
  {
    ByteBuilder b;
    b.Header("DS_TextLink", 1).U32(77);
    auto text = ReadAndRewrite<DS_TextLink>(StaticTextBytes(b));
    ASSERT_NE(text, nullptr);
    EXPECT_EQ(text->link_value.value, 77u);
    ExpectStaticText(*text);
  }
}

}  // namespace
}  // namespace lumi
