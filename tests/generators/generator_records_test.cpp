// The records of the generator bases, read from bytes laid out field by
// field, with their older versions and the layouts that are refused.
#include <cmath>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "archive/binary_reader.h"
#include "archive/binary_writer.h"
#include "archive/input_error.h"
#include "archive/json_reader.h"
#include "archive/json_writer.h"
#include "generators/particle_generators.h"
#include "tests/support/byte_builder.h"
#include "timing/continues_timeline.h"

namespace lumi {
namespace {

using test::ByteBuilder;
using testing::HasSubstr;

// The bases are abstract; documents only hold the effects built on them.
template <class Base>
class Concrete : public Base {
  LUMI_CONSTRUCTOR_CLONE(Concrete)
};

// The constructor's record down to its timeline.
ByteBuilder& ConstructorTail(ByteBuilder& b, std::u16string_view name) {
  b.Header("DS_ABObj_Constructor", 4).Str(name).U32(70);
  b.Header("VRN_RenderObjData", 1).Str(u"{0B18E5F6-C061-474D-A2C7-93A80D502FE8}");
  return b.Header("VRN_SmartTiming", 1).I32(0).I32(0).I32(0).Header("VRN_ContinuesTimeLine", 1).Header("VRN_Timing", 1);
}

ByteBuilder& GeneratorTail(ByteBuilder& b, int version) {
  b.Header("DS_ParticleGenerator", version);
  if (version >= 2) b.I32(0);                                 // no sources
  if (version >= 3) b.U32(41).U32(42).U32(43).U32(44).I32(1);  // lifetime, rate, extra, launch, emitting
  return ConstructorTail(b, u"sparks");
}

ByteBuilder& TextureTail(ByteBuilder& b, int version, int generator_version = 3) {
  b.Header("DS_TexParticleGenerator", version);
  b.Str(u"stars").I32(1).Str(u"star.png").I64(11).U32(0);  // named link, selector 0
  b.Str(u"common_res.dll").I64(201);                        // effect
  b.U32(0x00112233).U32(0x00445566).I32(2);                 // colours, blend mode
  if (version >= 2) b.I32(51).I32(52);
  if (version >= 3) b.I32(53);
  return GeneratorTail(b, generator_version);
}

ByteBuilder& StaticTail(ByteBuilder& b) {
  b.Header("DS_StaticGenerator", 1).F32(320).F32(200).F32(1.5f);
  return TextureTail(b, 3);
}

template <class T>
void ReadWhole(const ByteBuilder& b, T& object) {
  BinaryReader reader(b.bytes());
  Member(reader, "generator", object);
  EXPECT_EQ(reader.remaining(), 0u);
}

template <class T>
std::vector<uint8_t> Written(T& object) {
  BinaryWriter writer;
  Member(writer, "generator", object);
  return writer.Release();
}

std::string ErrorOf(const ByteBuilder& b, DS_IOF_Item& object) {
  BinaryReader reader(b.bytes());
  try {
    Member(reader, "generator", object);
  } catch (const InputError& e) {
    return e.what();
  }
  return "no error";
}

TEST(GeneratorRecords, AirBrushReadsItsSpritesAndTheWholeChain) {
  ByteBuilder b;
  b.Header("DS_AirBrush", 3).U32(9).I32(2);
  b.F32(10).F32(20).F32(0).U32(7);  // a pair count other than 5 is kept
  for (int i = 0; i < 10; ++i) b.F32(static_cast<float>(i));
  b.F32(30).F32(40).F32(0).U32(5);
  for (int i = 0; i < 10; ++i) b.F32(static_cast<float>(100 + i));
  TextureTail(b, 3);
  Concrete<DS_AirBrush> brush;
  ReadWhole(b, brush);
  EXPECT_EQ(brush.value_1.value, 9u);
  ASSERT_EQ(brush.sprites.size(), 2u);
  EXPECT_EQ(brush.sprites[0].pair_count, 7u);
  EXPECT_EQ(brush.sprites[0].pairs[4][1], 9.0f);
  EXPECT_EQ(brush.sprites[1].position.y, 40.0f);
  EXPECT_EQ(brush.sprites[1].pairs[2][0], 104.0f);
  EXPECT_EQ(brush.images.value.name, u"stars");
  EXPECT_EQ(brush.images.value.key, (ResourceKey{u"star.png", 11}));  // selector 0: the first image's key
  EXPECT_EQ(brush.effect.key, (ResourceKey{u"common_res.dll", 201}));
  EXPECT_EQ(brush.second_colour.value, 0x00445566u);
  EXPECT_EQ(brush.blend_mode.value, 2);
  EXPECT_EQ(brush.value_3.value, 53);
  EXPECT_FLOAT_EQ(brush.lifetime.scaled(), 41.0f);
  EXPECT_FLOAT_EQ(brush.rate.scaled(), 42.0f);
  EXPECT_EQ(brush.emitting.value, 1);
  EXPECT_EQ(brush.name, u"sparks");
  EXPECT_EQ(brush.depth.value, 70u);
  EXPECT_EQ(brush.identity.data1, 0x0B18E5F6u);
  EXPECT_EQ(Written(brush), b.bytes());
}

TEST(GeneratorRecords, EachIntermediateClassIsConsumedExactly) {
  {
    ByteBuilder b;
    StaticTail(b);
    Concrete<DS_StaticGenerator> generator;
    ReadWhole(b, generator);
    EXPECT_EQ(generator.centre.x, 320.0f);
    EXPECT_EQ(generator.centre.z, 1.5f);
    EXPECT_EQ(Written(generator), b.bytes());
  }
  {
    ByteBuilder b;
    b.Header("DS_ParticleOriginGenerator", 2).U32(1).U32(2).U32(3).U32(4).U32(5).U32(6);
    StaticTail(b);
    Concrete<DS_ParticleOriginGenerator> generator;
    ReadWhole(b, generator);
    EXPECT_EQ(generator.origin_settings[5].value, 6u);
    EXPECT_EQ(generator.centre.y, 200.0f);
    EXPECT_EQ(Written(generator), b.bytes());
  }
  {
    ByteBuilder b;
    b.Header("DS_ParticleRctRgnGenerator", 1);
    for (int i = 0; i < 12; ++i) b.F32(static_cast<float>(i) * 10);
    TextureTail(b, 3);
    Concrete<DS_ParticleRctRgnGenerator> generator;
    ReadWhole(b, generator);
    EXPECT_EQ(generator.area.corners[3].value.x, 90.0f);
    EXPECT_EQ(Written(generator), b.bytes());
  }
  {
    ByteBuilder b;
    b.Header("DS_SingleRectGN", 2);
    for (int i = 0; i < 12; ++i) b.F32(static_cast<float>(i) + 0.5f);
    StaticTail(b);
    Concrete<DS_SingleRectGN> generator;
    ReadWhole(b, generator);
    EXPECT_EQ(generator.quad.corners[0].value.y, 1.5f);
    EXPECT_EQ(generator.centre.x, 320.0f);
    EXPECT_EQ(Written(generator), b.bytes());
  }
  {
    ByteBuilder b;
    b.Header("DS_PathGenerator", 1).I32(2);
    b.I32(1).F32(1).F32(2).F32(3).F32(0).F32(0).F32(0).F32(0).F32(0).F32(0);
    b.I32(1).F32(4).F32(5).F32(6).F32(1).F32(1).F32(0).F32(-1).F32(-1).F32(0);
    TextureTail(b, 3);
    Concrete<DS_PathGenerator> generator;
    ReadWhole(b, generator);
    ASSERT_EQ(generator.path.points.size(), 2u);
    EXPECT_EQ(generator.path.points[1]->value.z, 6.0f);
    EXPECT_EQ(generator.path.points[1]->in_handle.value.x, -1.0f);
    EXPECT_EQ(Written(generator), b.bytes());
  }
  {
    ByteBuilder b;
    b.Header("DS_StringGenerator", 1).F32(1).F32(2).F32(3).F32(4).F32(5).F32(6);
    TextureTail(b, 3);
    Concrete<DS_StringGenerator> generator;
    ReadWhole(b, generator);
    EXPECT_EQ(generator.chain_settings[5], 6.0f);
    EXPECT_EQ(Written(generator), b.bytes());
  }
}

TEST(GeneratorRecords, OlderVersionsKeepTheirDefaults) {
  // Texture generator version 1 over generator version 1: no further
  // integers, no sources, no particle settings.
  ByteBuilder b;
  b.Header("DS_StringGenerator", 1).F32(0).F32(0).F32(0).F32(0).F32(0).F32(0);
  TextureTail(b, 1, 1);
  Concrete<DS_StringGenerator> generator;
  generator.value_1.value = 99;  // overwritten only by what a record holds
  ReadWhole(b, generator);
  EXPECT_EQ(generator.value_1.value, 99);
  EXPECT_EQ(generator.blend_mode.value, 2);
  EXPECT_FLOAT_EQ(generator.lifetime.scaled(), 20.0f);
  EXPECT_FLOAT_EQ(generator.rate.scaled(), 30.0f);
  EXPECT_FLOAT_EQ(generator.extra_factor.scaled(), 0.0f);
  EXPECT_FLOAT_EQ(generator.launch_speed.scaled(), 0.0f);
  EXPECT_EQ(generator.emitting.value, 0);
  EXPECT_EQ(generator.name, u"sparks");

  // Version 2 of both: the two integers and the (empty) source list.
  ByteBuilder v2;
  v2.Header("DS_StringGenerator", 1).F32(0).F32(0).F32(0).F32(0).F32(0).F32(0);
  TextureTail(v2, 2, 2);
  Concrete<DS_StringGenerator> second;
  ReadWhole(v2, second);
  EXPECT_EQ(second.value_2.value, 52);
  EXPECT_EQ(second.value_3.value, 0);
  EXPECT_FLOAT_EQ(second.lifetime.scaled(), 20.0f);

  // Written today, both carry every field of the current layout.
  const std::vector<uint8_t> bytes = Written(generator);
  Concrete<DS_StringGenerator> again;
  BinaryReader reader(bytes);
  Member(reader, "generator", again);
  EXPECT_EQ(reader.remaining(), 0u);
  EXPECT_FLOAT_EQ(again.rate.scaled(), 30.0f);
}

TEST(GeneratorRecords, UnknownLayoutsAreRefusedWithClassVersionAndOffset) {
  Concrete<DS_AirBrush> brush;
  ByteBuilder old_brush;
  old_brush.Header("DS_AirBrush", 2).U32(0);
  EXPECT_EQ(ErrorOf(old_brush, brush),
            "DS_AirBrush record at offset 30: version 2 has a layout this program does not know (it reads versions "
            "from 3)");

  Concrete<DS_ParticleOriginGenerator> origin;
  ByteBuilder old_origin;
  old_origin.Header("DS_ParticleOriginGenerator", 1);
  EXPECT_THAT(ErrorOf(old_origin, origin), HasSubstr("DS_ParticleOriginGenerator record at offset 60: version 1 "));

  Concrete<DS_SingleRectGN> single;
  ByteBuilder old_single;
  old_single.Header("DS_SingleRectGN", 1);
  EXPECT_THAT(ErrorOf(old_single, single), HasSubstr("DS_SingleRectGN record at offset 38: version 1 "));

  // A stored source is its position and opacity; one cut short fails.
  Concrete<DS_StringGenerator> chain;
  ByteBuilder sourced;
  sourced.Header("DS_StringGenerator", 1).F32(0).F32(0).F32(0).F32(0).F32(0).F32(0);
  sourced.Header("DS_TexParticleGenerator", 1).Str(u"").I32(0).U32(0).Str(u"").I64(0).U32(0).U32(0).I32(0);
  ByteBuilder cut = sourced;
  sourced.Header("DS_ParticleGenerator", 2).I32(1).F32(5).F32(6).F32(7).F32(std::nanf(""));
  ConstructorTail(sourced, u"chain");
  ReadWhole(sourced, chain);
  ASSERT_EQ(chain.sources.size(), 1u);
  EXPECT_EQ(chain.sources[0].previous, (Vector3{5, 6, 7}));
  EXPECT_EQ(chain.sources[0].point.values[kOpacity], 1.0f);  // not a number: opaque
  cut.Header("DS_ParticleGenerator", 2).I32(2).F32(5).F32(6).F32(7).F32(1);
  EXPECT_THAT(ErrorOf(cut, chain), HasSubstr("DS_ParticleGenerator record field x at offset"));
}

TEST(GeneratorRecords, JsonShowsEveryFieldAndPacksToTheSameBytes) {
  ByteBuilder b;
  b.Header("DS_AirBrush", 3).U32(9).I32(1).F32(10).F32(20).F32(0).U32(5);
  for (int i = 0; i < 10; ++i) b.F32(static_cast<float>(i) / 4);
  TextureTail(b, 3);
  Concrete<DS_AirBrush> brush;
  ReadWhole(b, brush);

  nlohmann::ordered_json json = nlohmann::ordered_json::object();
  JsonWriter writer(json, nullptr, std::nullopt);
  Member(writer, "generator", brush);
  const auto& sprite = json["generator"]["sprites"][0];
  EXPECT_EQ(sprite["pair_count"], 5);
  EXPECT_EQ(sprite["pair_3"]["second"], 1.25);
  EXPECT_EQ(json["generator"]["base"]["second_colour"], 0x00445566);
  EXPECT_EQ(json["generator"]["base"]["base"]["rate"], 42);

  Concrete<DS_AirBrush> packed;
  JsonReader reader(json, ".");
  reader.ReadObjectFields(nullptr, 0, [&] { Member(reader, "generator", packed); });
  EXPECT_EQ(Written(packed), b.bytes());
}

}  // namespace
}  // namespace lumi
