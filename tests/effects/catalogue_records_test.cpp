// The records of the effect catalogue: every class in its current version,
// each conversion of an older version, and the older layouts that are not
// known.
#include <functional>

#include "archive/binary_reader.h"
#include "effects/catalogue_effects.h"
#include "tests/effects/effect_bytes.h"

namespace lumi {
namespace {

using test::ByteBuilder;

struct Case {
  const char* name;
  int version;
  std::function<void(ByteBuilder&)> fields;  // own fields and base records
  std::function<void(DS_IOF_Item&)> check;
};

template <class T>
T& As(DS_IOF_Item& item) {
  return dynamic_cast<T&>(item);
}

ByteBuilder& PatternFields(ByteBuilder& b) {
  b.Str(u"leaves.png").I64(3).I32(1).I32(2).U32(33).U32(120).U32(7).U32(9);
  return test::FxBase(b);
}

ByteBuilder& FireFields(ByteBuilder& b) {
  b.U32(0x0000A0FF).U32(0x0000FFFF).I32(-4).Str(u"flame.png").I64(7).Str(u"noise.png").I64(8);
  return b.U32(150).U32(40).U32(60);
}

const std::vector<Case>& Cases() {
  static const std::vector<Case> cases = {
      {"DS_PatternBrush", 1, [](ByteBuilder& b) { PatternFields(b); },
       [](DS_IOF_Item& item) {
         auto& fx = As<DS_PatternBrush>(item);
         EXPECT_EQ(fx.pattern_image.key.name, u"leaves.png");
         EXPECT_EQ(fx.horizontal_flip.value, 2);
         EXPECT_EQ(fx.rotation_angle.value, 33u);
         EXPECT_FLOAT_EQ(fx.pattern_size.scaled(), 1.2f);
         EXPECT_FLOAT_EQ(fx.x_offset.scaled(), -0.07f);
         EXPECT_FLOAT_EQ(fx.y_offset.scaled(), 0.09f);
         EXPECT_FLOAT_EQ(fx.speed.scaled(), 1.22f);
       }},
      {"DS_PatternBrushC", 1, [](ByteBuilder& b) { PatternFields(b.Header("DS_PatternBrush", 1)); },
       [](DS_IOF_Item& item) {
         auto& fx = As<DS_PatternBrushC>(item);
         EXPECT_EQ(fx.vertical_flip.value, 1);
         EXPECT_FLOAT_EQ(fx.y_offset.scaled(), 0.09f);
         EXPECT_EQ(fx.name, u"Stream brush");
       }},
      {"DS_BackgroundCopy", 1,
       [](ByteBuilder& b) { test::FxBase(b.I32(10).I32(20).I32(30).I32(40).I32(50).I32(-60).I32(1).I32(2)); },
       [](DS_IOF_Item& item) {
         auto& fx = As<DS_BackgroundCopy>(item);
         EXPECT_EQ(fx.source_rectangle.right.value, 20);
         EXPECT_EQ(fx.source_rectangle.bottom.value, 40);
         EXPECT_EQ(fx.source_rectangle.y.value, -60);
         EXPECT_EQ(fx.horizontal_flag.value, 2);
       }},
      {"DS_WavesFX", 1, [](ByteBuilder& b) { test::FxBase(b.U32(41).U32(42).U32(43).I32(1)); },
       [](DS_IOF_Item& item) {
         auto& fx = As<DS_WavesFX>(item);
         EXPECT_FLOAT_EQ(fx.amplitude.scaled(), 41 * 0.00025f);
         EXPECT_FLOAT_EQ(fx.wavelength.scaled(), 42 * 0.0005f + 0.001f);
         EXPECT_EQ(fx.wave_angle.value, 43u);
         EXPECT_EQ(fx.flag.value, 1);
       }},
      {"DS_LightFX", 1, [](ByteBuilder& b) { test::FxBase(b.U32(55).I32(2)); },
       [](DS_IOF_Item& item) {
         auto& fx = As<DS_LightFX>(item);
         EXPECT_FLOAT_EQ(fx.intensity.scaled(), 0.55f);
         EXPECT_EQ(fx.mode.value, 2);
       }},
      {"DS_LightFX_II", 2, [](ByteBuilder& b) { test::FxBase(b.U32(66).I32(3).I32(4).U32(0x00102030)); },
       [](DS_IOF_Item& item) {
         auto& fx = As<DS_LightFX_II>(item);
         EXPECT_FLOAT_EQ(fx.intensity.scaled(), 0.66f);
         EXPECT_EQ(fx.oscillation_kind.value, 3);
         EXPECT_EQ(fx.blend_mode.value, 4);
         EXPECT_EQ(fx.colour.value, 0x00102030u);
       }},
      {"DS_MoveFX", 3, [](ByteBuilder& b) { test::DirectionBase(b.I32(1).U32(70)); },
       [](DS_IOF_Item& item) {
         auto& fx = As<DS_MoveFX>(item);
         EXPECT_EQ(fx.mode.value, 1);
         EXPECT_FLOAT_EQ(fx.second_amplitude.scaled(), 0.014f);
         EXPECT_FLOAT_EQ(fx.first_parameter.scaled(), 0.009f);  // amplitude A
       }},
      {"DS_FireFX", 3, [](ByteBuilder& b) { test::FxBase(FireFields(b)); },
       [](DS_IOF_Item& item) {
         auto& fx = As<DS_FireFX>(item);
         EXPECT_EQ(fx.base_colour.value, 0x0000A0FFu);
         EXPECT_EQ(fx.tip_colour.value, 0x0000FFFFu);
         EXPECT_EQ(fx.value_1.value, -4);
         EXPECT_EQ(fx.noise_image.key, (ResourceKey{u"noise.png", 8}));
         EXPECT_FLOAT_EQ(fx.density.scaled(), 0.5f);
         EXPECT_FLOAT_EQ(fx.brightness.scaled(), 0.8f);
         EXPECT_FLOAT_EQ(fx.value_2.scaled(), 0.6f);
         EXPECT_EQ(fx.oscillation_mode.value, 3);
       }},
      {"DS_ExpandFX", 2, [](ByteBuilder& b) { test::CentralBase(b.U32(81).U32(82).I32(4)); },
       [](DS_IOF_Item& item) {
         auto& fx = As<DS_ExpandFX>(item);
         EXPECT_FLOAT_EQ(fx.a.scaled(), 0.405f);
         EXPECT_FLOAT_EQ(fx.b.scaled(), 0.41f);
         EXPECT_EQ(fx.mode.value, 4);
         EXPECT_EQ(fx.centre.value.y, 240.0f);
       }},
      {"DS_RadialWaveFX", 3, [](ByteBuilder& b) { test::CentralBase(b.U32(91).U32(92).U32(93).I32(1)); },
       [](DS_IOF_Item& item) {
         auto& fx = As<DS_RadialWaveFX>(item);
         EXPECT_FLOAT_EQ(fx.amplitude.scaled(), 91 * 0.00025f);
         EXPECT_FLOAT_EQ(fx.frequency.scaled(), 92 * 0.0001f + 0.001f);
         EXPECT_FLOAT_EQ(fx.wavelength.scaled(), 118.0f);
         EXPECT_EQ(fx.direction_flag.value, 1);
       }},
      {"DS_RotationFX", 1, [](ByteBuilder& b) { test::CentralBase(b.U32(500).U32(15).I32(1)); },
       [](DS_IOF_Item& item) {
         auto& fx = As<DS_RotationFX>(item);
         EXPECT_FLOAT_EQ(fx.stretch.scaled(), 0.5f);
         EXPECT_EQ(fx.ellipse_angle.value, 15u);
         EXPECT_EQ(fx.direction.value, 1);
         EXPECT_FLOAT_EQ(fx.speed.scaled(), 61 * 0.005f);
       }},
      {"DS_BendFX", 2, [](ByteBuilder& b) { test::CentralBase(b.U32(101).U32(102).U32(103).I32(2)); },
       [](DS_IOF_Item& item) {
         auto& fx = As<DS_BendFX>(item);
         EXPECT_FLOAT_EQ(fx.a.scaled(), 0.202f);
         EXPECT_FLOAT_EQ(fx.b.scaled(), 0.204f);
         EXPECT_FLOAT_EQ(fx.bend.scaled(), 2.06f);
         EXPECT_EQ(fx.mode.value, 2);
       }},
      {"DS_CloudFX", 1,
       [](ByteBuilder& b) {
         b.U32(0x00AABBCC).U32(0x00DDEEFF).Str(u"clouds.png").I64(11).Str(u"second.png").I64(12);
         b.U32(111).U32(112).U32(113).U32(114).U32(115).I32(1).U32(117).U32(118);
         test::DirectionBase(b);
       },
       [](DS_IOF_Item& item) {
         auto& fx = As<DS_CloudFX>(item);
         EXPECT_EQ(fx.colour_2.value, 0x00DDEEFFu);
         EXPECT_EQ(fx.second_image.key.number, 12);
         EXPECT_FLOAT_EQ(fx.threshold.scaled(), 111 * 0.02f + 1.0f);
         EXPECT_FLOAT_EQ(fx.density.scaled(), 112 * 0.02f);
         EXPECT_FLOAT_EQ(fx.perspective.b.scaled(), 113 * 0.02f + 1.0f);
         EXPECT_FLOAT_EQ(fx.perspective.c.scaled(), 114 * 0.25f);
         EXPECT_FLOAT_EQ(fx.perspective.t.scaled(), 1.15f);
         EXPECT_EQ(fx.perspective.flag.value, 1);
         EXPECT_FLOAT_EQ(fx.perspective.value_1.scaled(), 12.7f);
         EXPECT_FLOAT_EQ(fx.perspective.value_2.scaled(), 1.18f);
         EXPECT_FLOAT_EQ(fx.speed.scaled(), 61 * 0.001f);
         EXPECT_FLOAT_EQ(fx.pattern_scale.scaled(), 35 * 0.008f);
       }},
      {"DS_PerspectiveFX", 3, [](ByteBuilder& b) { test::LineBase(b.U32(121).U32(122).I32(4).U32(124)); },
       [](DS_IOF_Item& item) {
         auto& fx = As<DS_PerspectiveFX>(item);
         EXPECT_FLOAT_EQ(fx.amplitude_a.scaled(), 0.242f);
         EXPECT_EQ(fx.depth_factor.value, 122u);
         EXPECT_EQ(fx.mode.value, 4);
         EXPECT_FLOAT_EQ(fx.amplitude_b.scaled(), 0.248f);
         EXPECT_EQ(fx.line_direction.value, 30u);
       }},
      {"DS_StretchFX", 1, [](ByteBuilder& b) { test::LineBase(b.I32(1).U32(131).U32(132)); },
       [](DS_IOF_Item& item) { EXPECT_FLOAT_EQ(As<DS_StretchFX>(item).a.scaled(), 1.31f); }},
      {"DS_DayToNight", 1,
       [](ByteBuilder& b) {
         b.U32(0x00405060).U32(200).U32(80).U32(90).F32(0.25f).F32(0.5f).F32(0.75f).F32(0.125f).U32(141);
         test::FxBase(b);
       },
       [](DS_IOF_Item& item) {
         auto& fx = As<DS_DayToNight>(item);
         EXPECT_EQ(fx.multiply_colour.value, 0x00405060u);
         EXPECT_EQ(fx.soft_light_colour.hue.value, 200u);
         EXPECT_EQ(fx.soft_light_colour.brightness.value, 90u);
         // The stored colour floats stand until hue, saturation or
         // brightness changes.
         EXPECT_EQ(fx.soft_light_colour.green, 0.5f);
         EXPECT_EQ(fx.soft_light_colour.alpha, 0.125f);
         EXPECT_FLOAT_EQ(fx.desaturation.scaled(), 1.41f);
       }},
      {"DS_KestrinLinear", 1, [](ByteBuilder& b) { test::DirectionBase(b); },
       [](DS_IOF_Item& item) {
         EXPECT_FLOAT_EQ(As<DS_KestrinLinear>(item).first_parameter.scaled(), 0.09f);
       }},
      {"DS_KestrinRadial", 2, [](ByteBuilder& b) { test::CentralBase(b.U32(151).I32(1)); },
       [](DS_IOF_Item& item) { EXPECT_FLOAT_EQ(As<DS_KestrinRadial>(item).amplitude.scaled(), 0.755f); }},
      {"DS_KestrinVortical", 1, [](ByteBuilder& b) { test::CentralBase(b.U32(161).U32(162).I32(1).U32(164)); },
       [](DS_IOF_Item& item) {
         auto& fx = As<DS_KestrinVortical>(item);
         EXPECT_FLOAT_EQ(fx.amplitude.scaled(), 0.161f);
         EXPECT_EQ(fx.ellipse_angle.value, 162u);
         EXPECT_EQ(fx.direction.value, 1);
         EXPECT_FLOAT_EQ(fx.ellipse_deformation.scaled(), 0.82f);
         EXPECT_FLOAT_EQ(fx.speed.scaled(), 6.1f);
       }},
      {"DS_HeatDistortion", 1, [](ByteBuilder& b) { test::FxBase(b.U32(171).U32(172).U32(100)); },
       [](DS_IOF_Item& item) {
         auto& fx = As<DS_HeatDistortion>(item);
         EXPECT_FLOAT_EQ(fx.shimmer_speed.scaled(), 0.171f);
         EXPECT_FLOAT_EQ(fx.strength.scaled(), 0.344f);
         EXPECT_NEAR(fx.bump_size.scaled(), 0.1f, 1e-6f);
       }},
  };
  return cases;
}

ByteBuilder Record(const Case& c) {
  ByteBuilder b;
  b.Header(c.name, c.version);
  c.fields(b);
  return b;
}

TEST(CatalogueRecords, EveryClassReadsItsCurrentLayoutExactly) {
  for (const Case& c : Cases()) {
    SCOPED_TRACE(c.name);
    const ByteBuilder b = Record(c);
    std::unique_ptr<DS_IOF_Item> item = test::ReadRecord(b.bytes(), Family::General);
    ASSERT_NE(item, nullptr);
    EXPECT_EQ(item->ClassName(), c.name);
    EXPECT_EQ(item->CurrentVersion(), c.version);
    c.check(*item);
    // The end of the chain is reached through every base.
    EXPECT_EQ(As<DS_ABObj_Constructor>(*item).depth.value, 250u);
    test::ExpectRewritesExactly(b, Family::General);
  }
}

TEST(CatalogueRecords, UnderwaterIsAFixedClassMember) {
  ByteBuilder b;
  b.Header("DS_UnderwaterFX", 1).U32(10).U32(20);
  test::FxBase(b);
  BinaryReader reader(b.bytes());
  DS_UnderwaterFX fx;
  Member(reader, "underwater", fx);
  EXPECT_EQ(reader.remaining(), 0u);
  EXPECT_FLOAT_EQ(fx.amplitude.scaled(), 0.00125f);
  EXPECT_FLOAT_EQ(fx.wavelength.scaled(), 0.041f);
  EXPECT_EQ(fx.brush_flag, 2);
  DS_UnderwaterFX fresh;
  EXPECT_EQ(fresh.program.key, (ResourceKey{u"common_res.dll", 88}));
  EXPECT_EQ(fresh.speed.value, 25u);
}

TEST(CatalogueConversions, MoveVersionsOneAndTwo) {
  {  // version 2 already stores the second amplitude: read as version 3
    ByteBuilder b;
    b.Header("DS_MoveFX", 2).I32(3).U32(70);
    test::DirectionBase(b);
    auto fx = test::ReadRecordAs<DS_MoveFX>(b);
    ASSERT_NE(fx, nullptr);
    EXPECT_EQ(fx->second_amplitude.value, 70u);
    EXPECT_EQ(fx->mode.value, 3);
  }
  {  // version 1 has none
    ByteBuilder b;
    b.Header("DS_MoveFX", 1).I32(2);
    test::DirectionBase(b);
    auto fx = test::ReadRecordAs<DS_MoveFX>(b);
    ASSERT_NE(fx, nullptr);
    EXPECT_EQ(fx->second_amplitude.value, 0u);
    EXPECT_EQ(fx->first_parameter.value, 45u);
  }
}

TEST(CatalogueConversions, FireVersionsOneAndTwo) {
  {  // version 1: no fields of its own; the defaults stand
    ByteBuilder b;
    b.Header("DS_FireFX", 1);
    test::FxBase(b);
    auto fx = test::ReadRecordAs<DS_FireFX>(b);
    ASSERT_NE(fx, nullptr);
    EXPECT_FLOAT_EQ(fx->density.scaled(), 0.0f);
    EXPECT_FLOAT_EQ(fx->brightness.scaled(), 0.3f);
    EXPECT_EQ(fx->name, u"Stream brush");
  }
  {  // version 2: the rectangle first, the oscillation after the links; both
     // win over what the base record holds
    ByteBuilder b;
    b.Header("DS_FireFX", 2);
    for (int i = 0; i < 12; ++i) b.F32(-1.0f - static_cast<float>(i));
    b.U32(0x0000A0FF).U32(0x0000FFFF).I32(-4).Str(u"flame.png").I64(7).Str(u"noise.png").I64(8).I32(2);
    b.U32(150).U32(40).U32(60);
    test::FxBase(b);
    auto fx = test::ReadRecordAs<DS_FireFX>(b);
    ASSERT_NE(fx, nullptr);
    EXPECT_EQ(fx->rectangle.corners[0].value, (Vector3{-1, -2, -3}));
    EXPECT_EQ(fx->rectangle.corners[3].value, (Vector3{-10, -11, -12}));
    EXPECT_EQ(fx->oscillation_mode.value, 2);
    EXPECT_FLOAT_EQ(fx->value_2.scaled(), 0.6f);
  }
}

TEST(CatalogueConversions, BendModesBeforeVersionTwoMoveUpByThree) {
  ByteBuilder b;
  b.Header("DS_BendFX", 1).U32(1).U32(2).U32(3).I32(-2);
  test::CentralBase(b);
  auto fx = test::ReadRecordAs<DS_BendFX>(b);
  ASSERT_NE(fx, nullptr);
  EXPECT_EQ(fx->mode.value, 1);
}

TEST(CatalogueConversions, PerspectiveOldModeChoosesTheSwingingAmplitude) {
  struct OldMode {
    int mode;
    unsigned int a, b;
  };
  for (const OldMode& old : {OldMode{0, 40, 0}, OldMode{1, 0, 40}, OldMode{2, 40, 40}}) {
    SCOPED_TRACE(old.mode);
    ByteBuilder b;
    b.Header("DS_PerspectiveFX", 1).U32(40).U32(5).I32(old.mode);
    test::LineBase(b);
    auto fx = test::ReadRecordAs<DS_PerspectiveFX>(b);
    ASSERT_NE(fx, nullptr);
    EXPECT_EQ(fx->mode.value, DS_FX_Constructor::kSine);
    EXPECT_EQ(fx->amplitude_a.value, old.a);
    EXPECT_EQ(fx->amplitude_b.value, old.b);
    EXPECT_EQ(fx->depth_factor.value, 5u);
  }
  {  // version 2: the mode as today, no second amplitude
    ByteBuilder b;
    b.Header("DS_PerspectiveFX", 2).U32(40).U32(5).I32(1);
    test::LineBase(b);
    auto fx = test::ReadRecordAs<DS_PerspectiveFX>(b);
    ASSERT_NE(fx, nullptr);
    EXPECT_EQ(fx->mode.value, 1);
    EXPECT_EQ(fx->amplitude_a.value, 40u);
    EXPECT_EQ(fx->amplitude_b.value, 0u);
  }
}

TEST(CatalogueConversions, UnknownOlderLayoutsFailNamingClassVersionAndOffset) {
  struct Old {
    const char* name;
    int version;
  };
  for (const Old& old : {Old{"DS_LightFX_II", 1}, Old{"DS_ExpandFX", 1}, Old{"DS_RadialWaveFX", 1},
                         Old{"DS_RadialWaveFX", 2}, Old{"DS_KestrinRadial", 1}}) {
    SCOPED_TRACE(old.name);
    ByteBuilder b;
    b.Header(old.name, old.version).U32(1).U32(2).U32(3).U32(4);
    const std::string error = test::RecordError(b);
    EXPECT_NE(error.find(old.name), std::string::npos) << error;
    EXPECT_NE(error.find("version " + std::to_string(old.version)), std::string::npos) << error;
    const size_t header = 4 + 2 * std::string(old.name).size() + 4;
    EXPECT_NE(error.find("offset " + std::to_string(header)), std::string::npos) << error;
  }
}

}  // namespace
}  // namespace lumi
