// The records of the single quad, the lines, the paths, the traces and the
// star field.
#include <gtest/gtest.h>

#include <functional>

#include "particles/line_systems.h"
#include "particles/path_systems.h"
#include "particles/single_particle.h"
#include "particles/through_space.h"
#include "tests/particles/particle_records.h"

namespace lumi {
namespace {

using test::ByteBuilder;

// Two Bézier points: position, outgoing and incoming handle each.
ByteBuilder& Points(ByteBuilder& b) {
  b.I32(2);
  b.I32(1).F32(1).F32(2).F32(3).F32(4).F32(5).F32(6).F32(7).F32(8).F32(9);
  return b.I32(1).F32(11).F32(12).F32(13).F32(14).F32(15).F32(16).F32(17).F32(18).F32(19);
}

ByteBuilder& Ramp(ByteBuilder& b, uint32_t first) {
  return b.U32(first).U32(first + 1).U32(first + 2).U32(first + 3);
}

ByteBuilder& SingleParticleRecord(ByteBuilder& b) {
  Quad(b.Header("VRN_SingleParticle", 1), 100);
  return test::SystemBytes(b);
}

ByteBuilder& LineRecord(ByteBuilder& b, int version = 2) {
  Points(b.Header("VRN_LineCtrl", version)).I32(31);
  test::LookBytes(b).F32(32.5f).F32(33.5f);
  return test::SystemBytes(b);
}

ByteBuilder& StaticLineRecord(ByteBuilder& b, int line_version = 2) {
  b.Header("VRN_StaticLineCtrl", 1).U32(40);
  Ramp(Ramp(b, 41), 45);
  return LineRecord(b, line_version);
}

ByteBuilder& ShootingLineRecord(ByteBuilder& b) {
  Points(b.Header("VRN_ShootingLine", 2));
  test::LookBytes(b).F32(1.5f).F32(2.5f);
  for (uint32_t v = 60; v < 69; ++v) b.U32(v);
  b.I32(-69).F32(7.5f).F32(8.5f);
  return test::SystemBytes(b);
}

TEST(LinePathRecords, EveryClassIsConsumedExactlyAndWrittenBackAsRead) {
  const test::SystemCase cases[] = {
      {"VRN_StaticObject", [](ByteBuilder& b) { SingleParticleRecord(b.Header("VRN_StaticObject", 1).U32(30).I32(1)); }},
      {"VRN_GrovingLine",
       [](ByteBuilder& b) { StaticLineRecord(Ramp(Ramp(b.Header("VRN_GrovingLine", 2), 50), 54).I32(58)); }},
      {"VRN_SlidingLine", [](ByteBuilder& b) { StaticLineRecord(b.Header("VRN_SlidingLine", 1).U32(70).I32(71)); }},
      {"VRN_ShootingLine", [](ByteBuilder& b) { ShootingLineRecord(b); }},
      {"VRN_Tears", [](ByteBuilder& b) { ShootingLineRecord(b.Header("VRN_Tears", 1)); }},
      {"VRN_WavingLine",
       [](ByteBuilder& b) {
         b.Header("VRN_WavingLine", 1).U32(80).U32(81).U32(82).U32(83).U32(84);
         test::LookBytes(b).U32(85).U32(86).I32(-87).F32(8.5f).F32(9.5f);
         b.Header("DS_StraightLine", 1).F32(1).F32(2).F32(3).F32(4).F32(5).F32(6);
         test::SystemBytes(b);
       }},
      {"VRN_ParticlePath",
       [](ByteBuilder& b) {
         Points(b.Header("VRN_ParticlePath", 1)).U32(90).U32(91).U32(92).U32(93).I32(-94);
         test::SystemBytes(b.U32(95).U32(96).U32(97).U32(98).U32(99));
       }},
      {"VRN_ParticleTrace",
       [](ByteBuilder& b) { test::SystemBytes(Points(b.Header("VRN_ParticleTrace", 1)).U32(5).U32(6).U32(7).U32(8)); }},
      {"VRN_ThroughSpaceCtrl",
       [](ByteBuilder& b) {
         Quad(b.Header("VRN_ThroughSpaceCtrl", 3).U32(110), 1).U32(111).I32(1).F32(400).F32(300).F32(0);
         test::SystemBytes(b.U8(2).U32(112));
       }},
  };
  for (const test::SystemCase& c : cases) test::ExpectSystemRecord(c);
}

TEST(LinePathRecords, TheStaticObjectSpinsTheSingleQuad) {
  ByteBuilder b;
  SingleParticleRecord(b.Header("VRN_StaticObject", 1).U32(30).I32(1));
  auto object = test::ReadRecordAs<VRN_StaticObject>(b);
  ASSERT_NE(object, nullptr);
  EXPECT_FLOAT_EQ(object->spin_speed.scaled(), 30.0f);
  EXPECT_EQ(object->spin_direction.value, 1);
  EXPECT_EQ(object->area.corners[0].value, (Vector3{100, 101, 102}));
  EXPECT_EQ(object->area.corners[3].value, (Vector3{109, 110, 111}));
  EXPECT_FLOAT_EQ(VRN_StaticObject().spin_speed.scaled(), 1.0f);
}

TEST(LinePathRecords, AGrowingLineReadsDownItsWholeChain) {
  ByteBuilder b;
  StaticLineRecord(Ramp(Ramp(b.Header("VRN_GrovingLine", 2), 50), 54).I32(58));
  auto line = test::ReadRecordAs<VRN_GrovingLine>(b);
  ASSERT_NE(line, nullptr);
  EXPECT_EQ(line->head_width_ramp.in_end.value, 50u);
  EXPECT_FLOAT_EQ(line->head_alpha_ramp.end_scale.scaled(), 0.57f);
  EXPECT_EQ(line->retract.value, 58);
  EXPECT_FLOAT_EQ(line->line_width.scaled(), 40.0f);
  EXPECT_EQ(line->width_ramp.start_scale.value, 43u);
  EXPECT_EQ(line->alpha_ramp.end_scale.value, 48u);
  ASSERT_EQ(line->path.points.size(), 2u);
  EXPECT_EQ(line->path.points[1]->value, (Vector3{11, 12, 13}));
  EXPECT_EQ(line->path.points[1]->out_handle.value, (Vector3{14, 15, 16}));
  EXPECT_EQ(line->path.points[0]->in_handle.value, (Vector3{7, 8, 9}));
  EXPECT_EQ(line->head_on.value, 31);
  EXPECT_EQ(line->line_look.glow_blur.value, 1029);
  EXPECT_EQ(line->head_ahead, 33.5f);
  // The strip's look and the system's look are separate blocks.
  EXPECT_NE(&line->line_look, &line->look);
  EXPECT_EQ(line->look.glow_blur.value, 1029);
}

TEST(LinePathRecords, UnknownValuesAndTheStarFieldByteAreKeptAsStored) {
  ByteBuilder shooting;
  ShootingLineRecord(shooting);
  auto comets = test::ReadRecordAs<VRN_ShootingLine>(shooting);
  ASSERT_NE(comets, nullptr);
  EXPECT_EQ(comets->first_floats[1], 2.5f);
  EXPECT_EQ(comets->raws[8], 68u);
  EXPECT_EQ(comets->integer, -69);
  EXPECT_EQ(comets->last_floats[1], 8.5f);

  ByteBuilder stars;
  Quad(stars.Header("VRN_ThroughSpaceCtrl", 3).U32(110), 1).U32(111).I32(1).F32(400).F32(300).F32(0);
  test::SystemBytes(stars.U8(2).U32(112));
  auto field = test::ReadRecordAs<VRN_ThroughSpaceCtrl>(stars);
  ASSERT_NE(field, nullptr);
  EXPECT_FLOAT_EQ(field->counter.rate.scaled(), 22.0f);
  EXPECT_EQ(field->vanishing_point, (Vector3{400, 300, 0}));
  EXPECT_EQ(field->forward, 2);  // not turned into 1
  EXPECT_FLOAT_EQ(field->flight_speed.scaled(), 112.0f);
}

// Only a base in documents; read here as a record of its own.
class PlainPathCtrl : public VRN_ParticlePathCtrl {
  LUMI_CONSTRUCTOR_CLONE(PlainPathCtrl)
};

TEST(LinePathRecords, ThePathControlStoresItsPointsAndNoSmoothingSwitch) {
  ByteBuilder b;
  test::SystemBytes(Points(b.Header("VRN_ParticlePathCtrl", 1)));
  BinaryReader reader(b.bytes());
  PlainPathCtrl path;
  Member(reader, "path", path);
  EXPECT_EQ(reader.remaining(), 0u);
  ASSERT_EQ(path.path.points.size(), 2u);
  EXPECT_EQ(path.path.points[0]->out_handle.value, (Vector3{4, 5, 6}));
  EXPECT_EQ(path.path.smoothing.value, 0);
  test::ExpectSystemBase(path);
}

TEST(LinePathRecords, UnknownOlderLayoutsFailNamingClassVersionAndOffset) {
  struct Reject {
    const char* class_name;
    int version;
    std::function<size_t(ByteBuilder&)> record;  // returns the offset of the failure
  };
  const Reject cases[] = {
      {"VRN_GrovingLine", 1, [](ByteBuilder& b) { return b.Header("VRN_GrovingLine", 1).size(); }},
      {"VRN_ShootingLine", 1, [](ByteBuilder& b) { return b.Header("VRN_ShootingLine", 1).size(); }},
      {"VRN_ThroughSpaceCtrl", 2, [](ByteBuilder& b) { return b.Header("VRN_ThroughSpaceCtrl", 2).size(); }},
      {"VRN_LineCtrl", 1,
       [](ByteBuilder& b) {
         b.Header("VRN_SlidingLine", 1).U32(70).I32(71).Header("VRN_StaticLineCtrl", 1).U32(40);
         return Ramp(Ramp(b, 41), 45).Header("VRN_LineCtrl", 1).size();
       }},
  };
  for (const Reject& c : cases) {
    SCOPED_TRACE(c.class_name);
    ByteBuilder b;
    const size_t offset = c.record(b);
    b.U32(0);
    const std::string error = test::RecordError(b);
    EXPECT_NE(error.find(std::string(c.class_name) + " record"), std::string::npos) << error;
    EXPECT_NE(error.find("version " + std::to_string(c.version) + " "), std::string::npos) << error;
    EXPECT_NE(error.find("offset " + std::to_string(offset)), std::string::npos) << error;
  }
}

}  // namespace
}  // namespace lumi
