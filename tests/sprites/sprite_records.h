// Hand-built records of the sprite bases, with a distinct value in every
// field. Shared by the sprite, 3D and text record tests.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "scene/render_obj_data.h"
#include "sprites/sprite_constructors.h"
#include "tests/support/byte_builder.h"
#include "tests/support/record_io.h"

namespace lumi::test {

inline constexpr char16_t kIdentity[] = u"{0B18E5F6-C061-474D-A2C7-93A80D502FE8}";

// The end of every chain: a constructor named `name` with depth 90, the
// identity above and a continuous timeline with time mode 2 and flags 0x21.
inline ByteBuilder& ConstructorRecord(ByteBuilder& b, std::u16string_view name = u"Sprite object") {
  b.Header("DS_ABObj_Constructor", 4).Str(name).U32(90);
  b.Header("VRN_RenderObjData", 1).Str(kIdentity);
  b.Header("VRN_SmartTiming", 1).I32(0).I32(2).I32(0x21);
  return b.Header("VRN_ContinuesTimeLine", 1).Header("VRN_Timing", 1);
}

// View rectangle 1..6, fractions 0.125..0.875, flag 2, motion speed 75.
inline ByteBuilder& ViewRecord(ByteBuilder& b, int version = 2) {
  b.Header("DS_ViewObjCtrl", version).I32(1).I32(2).I32(3).I32(4).I32(5).I32(6);
  b.F32(0.125f).F32(0.875f).F32(0.25f).F32(0.75f).U8(2);
  if (version >= 2) b.U32(75);
  return ConstructorRecord(b);
}

// Sprite properties in `version`, each field a distinct value (see
// ExpectSpriteProperties). Version 2 also stores motion speed 60 here.
inline ByteBuilder& SpritePropRecord(ByteBuilder& b, int version = 7) {
  b.Header("DS_BaseSpriteProp", version);
  ViewRecord(b, version < 3 ? 1 : 2);
  b.U32(21);                                  // population
  if (version < 3) b.U32(60);                 // motion speed
  b.U32(22).U32(50).I32(23).I32(0x00332211);  // size, transparency, mode, colour
  b.F32(0.5f).F32(0.25f).F32(0.9f).F32(0.75f).F32(1.5f);
  b.Str(u"fish.png").I64(24).Str(u"mask.png").I64(25);
  b.U32(26).F32(27.5f).U32(28).F32(29.5f).U8(3);
  if (version >= 4) b.I32(2);
  if (version >= 5) b.I32(30).I32(31);
  if (version >= 6) b.I32(32);
  if (version >= 7) b.U32(33);
  return b;
}

// One effect-drawn sprite at (100.5, 200.5, 0.5), 640 by 80, drawn with
// effect 198 of the module.
inline ByteBuilder& StatBaseFxRecord(ByteBuilder& b) {
  b.Header("DS_StatBaseFXCtrl", 2).F32(100.5f).F32(200.5f).F32(0.5f).U32(640).U32(80);
  b.Header("DS_BaseFXCtrl", 1);
  b.Header("DS_FXParticleSystemCtrl", 1).Str(u"common_res.dll").I64(198);
  return SpritePropRecord(b);
}

inline void ExpectConstructorBase(const DS_ABObj_Constructor& c, std::u16string_view name = u"Sprite object") {
  EXPECT_EQ(c.name, name);
  EXPECT_EQ(c.depth.value, 90u);
  EXPECT_EQ(c.identity.data1, 0x0B18E5F6u);
  EXPECT_EQ(c.timing.time_mode.value, 2);
  EXPECT_EQ(c.timing.flags, 0x21);
}

inline void ExpectView(const DS_ViewObjCtrl& v) {
  EXPECT_EQ(v.view_rectangle.left.value, 1);
  EXPECT_EQ(v.view_rectangle.bottom.value, 4);
  EXPECT_EQ(v.view_rectangle.y.value, 6);
  EXPECT_EQ(v.left, 0.125f);
  EXPECT_EQ(v.right, 0.875f);
  EXPECT_EQ(v.top, 0.25f);
  EXPECT_EQ(v.bottom, 0.75f);
  EXPECT_EQ(v.flag, 2);  // a byte kept as stored, not turned into true
  ExpectConstructorBase(v);
}

// The values SpritePropRecord wrote in its current version.
inline void ExpectSpriteProperties(const DS_BaseSpriteProp& p) {
  ExpectView(p);
  EXPECT_EQ(p.motion_speed.value, 75u);
  EXPECT_FLOAT_EQ(p.motion_speed.scaled(), 1.5f);
  EXPECT_EQ(p.population.value, 21u);
  EXPECT_EQ(p.sprite_size.value, 22u);
  EXPECT_EQ(p.transparency.scaled(), 127);  // 50 % transparent
  EXPECT_EQ(p.mode.value, 23);
  EXPECT_EQ(p.sprite_colour.value, 0x00332211u);
  EXPECT_EQ(p.glow_rate.value, 0.5f);
  EXPECT_EQ(p.glow_min.value, 0.25f);
  EXPECT_EQ(p.glow_max.value, 0.9f);
  EXPECT_EQ(p.scale_min.value, 0.75f);
  EXPECT_EQ(p.scale_max.value, 1.5f);
  EXPECT_EQ(p.picture.key, (ResourceKey{u"fish.png", 24}));
  EXPECT_EQ(p.second_picture.key, (ResourceKey{u"mask.png", 25}));
  EXPECT_EQ(p.frame_columns.value, 26u);
  EXPECT_EQ(p.columns_value, 27.5f);
  EXPECT_EQ(p.frame_count.value, 28u);
  EXPECT_EQ(p.count_value, 29.5f);
  EXPECT_EQ(p.sheet_flag, 3);
  EXPECT_EQ(p.sheet_mode.value, 2);
  EXPECT_EQ(p.flip_v.value, 30);
  EXPECT_EQ(p.flip_u.value, 31);
  EXPECT_EQ(p.rebuild_always.value, 32);
  EXPECT_EQ(p.animation_speed.value, 33u);
}

inline void ExpectEffectSprite(const DS_StatBaseFXCtrl& s) {
  EXPECT_EQ(s.position.value, (Vector3{100.5f, 200.5f, 0.5f}));
  EXPECT_EQ(s.width.value, 640u);
  EXPECT_EQ(s.height.value, 80u);
  EXPECT_EQ(s.effect.key, (ResourceKey{u"common_res.dll", 198}));
  ExpectSpriteProperties(s);
}

}  // namespace lumi::test
