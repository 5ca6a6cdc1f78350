// The records of the 3D objects: butterflies, the clock and the leaf drift.
#include <gtest/gtest.h>

#include "sprites/objects_3d.h"
#include "tests/sprites/sprite_records.h"

namespace lumi {
namespace {

using test::ByteBuilder;
using test::ReadAndRewrite;
using test::ReadRecordAs;

ByteBuilder& ObjectsRecord(ByteBuilder& b, int view_version = 2) {
  b.Header("DS_3D_Obj_Ctrl", 1).U32(5).U32(120).Str(u"wing.png").I64(3).Str(u"wing.x").I64(4);
  return test::ViewRecord(b, view_version);
}

ByteBuilder& ButterflyRecord(ByteBuilder& b, int version) {
  b.Header("DS_ButterflyConstructor", version).Str(u"body.png").I64(1).Str(u"body.x").I64(2).U32(30).U32(40);
  if (version >= 2) b.F32(0.75f);
  return ObjectsRecord(b);
}

ByteBuilder& ResBlob(ByteBuilder& b, int32_t id, std::u16string_view module, std::vector<uint8_t> bytes,
                     std::u16string_view name) {
  b.I32(id).Str(module).U32(static_cast<uint32_t>(bytes.size())).Bytes(bytes);
  return b.Str(name);
}

ByteBuilder& LeafRecord(ByteBuilder& b, std::u16string_view base_name) {
  b.Header("DS_3D_in_2D_array_Constructor", 1).Str(u"Leaves").U32(12);
  ResBlob(b, 0, u"", {'x', 'o', 'f'}, u"leaf.x");
  ResBlob(b, 7, u"common_res.dll", {0x89, 'P'}, u"leaf.png");
  b.U32(40).U32(55).U32(3).U32(8).U32(90).U32(270);
  return test::ConstructorRecord(b, base_name);
}

TEST(ObjectRecords3D, Butterfly) {
  ByteBuilder b;
  auto butterfly = ReadAndRewrite<DS_ButterflyConstructor>(ButterflyRecord(b, 2));
  ASSERT_NE(butterfly, nullptr);
  EXPECT_EQ(butterfly->body_texture.key, (ResourceKey{u"body.png", 1}));
  EXPECT_EQ(butterfly->body_mesh.key, (ResourceKey{u"body.x", 2}));
  EXPECT_FLOAT_EQ(butterfly->slider_a.scaled(), 30.0f);
  EXPECT_FLOAT_EQ(butterfly->slider_b.scaled(), 40.0f);
  EXPECT_EQ(butterfly->wing_scale.value, 0.75f);
  EXPECT_EQ(butterfly->count.value, 5u);
  EXPECT_EQ(butterfly->scale.value, 120u);
  EXPECT_EQ(butterfly->texture.key, (ResourceKey{u"wing.png", 3}));
  EXPECT_EQ(butterfly->mesh.key, (ResourceKey{u"wing.x", 4}));
  EXPECT_FLOAT_EQ(butterfly->motion_speed.scaled(), 1.5f);
  test::ExpectView(*butterfly);
}

TEST(ObjectRecords3D, ButterflyOfVersion1KeepsItsWingScale) {
  ByteBuilder b;
  auto butterfly = ReadRecordAs<DS_ButterflyConstructor>(ButterflyRecord(b, 1));
  ASSERT_NE(butterfly, nullptr);
  EXPECT_EQ(butterfly->wing_scale.value, 1.0f);
  EXPECT_FLOAT_EQ(butterfly->slider_b.scaled(), 40.0f);
  test::ExpectView(*butterfly);
}

TEST(ObjectRecords3D, ClockWithAVersion1ViewKeepsRealSpeed) {
  ByteBuilder b;
  b.Header("DS_ClockConstructor", 1).I32(100).I32(300).I32(50).I32(250).I32(200).I32(150);
  b.Str(u"hands.png").I64(9);
  ObjectsRecord(b, 1);
  auto clock = ReadRecordAs<DS_ClockConstructor>(b);
  ASSERT_NE(clock, nullptr);
  EXPECT_EQ(clock->placement.left.value, 100);
  EXPECT_EQ(clock->placement.bottom.value, 250);
  EXPECT_EQ(clock->placement.x.value, 200);
  EXPECT_EQ(clock->placement.y.value, 150);
  EXPECT_EQ(clock->hand_texture.key, (ResourceKey{u"hands.png", 9}));
  EXPECT_EQ(clock->scale.value, 120u);
  EXPECT_EQ(clock->motion_speed.value, 50u);
  test::ExpectView(*clock);
  // In the current view layout the same record comes back byte for byte.
  ByteBuilder current;
  current.Header("DS_ClockConstructor", 1).I32(100).I32(300).I32(50).I32(250).I32(200).I32(150);
  current.Str(u"hands.png").I64(9);
  ReadAndRewrite<DS_ClockConstructor>(ObjectsRecord(current));
}

TEST(ObjectRecords3D, DefaultsOfNewObjects) {
  const DS_ButterflyConstructor butterfly;
  EXPECT_EQ(butterfly.scale.value, 100u);
  EXPECT_EQ(butterfly.count.value, 1u);
  EXPECT_EQ(butterfly.flag, 1);
  EXPECT_EQ(butterfly.mesh.key, (ResourceKey{u"common_res.dll", 69}));
  EXPECT_EQ(butterfly.body_mesh.key, (ResourceKey{u"common_res.dll", 68}));
  EXPECT_EQ(butterfly.body_texture.key, (ResourceKey{u"common_res.dll", 6}));
  EXPECT_FLOAT_EQ(butterfly.slider_a.scaled(), 50.0f);
  const DS_ClockConstructor clock;
  EXPECT_EQ(clock.scale.value, 400u);
  EXPECT_EQ(clock.flag, 0);
  EXPECT_EQ(clock.mesh.key, (ResourceKey{u"common_res.dll", 70}));
  EXPECT_EQ(clock.texture.key, (ResourceKey{u"common_res.dll", 71}));
  EXPECT_EQ(clock.hand_texture.key, (ResourceKey{u"common_res.dll", 72}));
}

TEST(ObjectRecords3D, LeafDriftCarriesItsFilesAndDirection) {
  ByteBuilder b;
  auto leaves = ReadAndRewrite<DS_3D_in_2D_array_Constructor>(LeafRecord(b, u"Falling leaves"));
  ASSERT_NE(leaves, nullptr);
  EXPECT_EQ(leaves->leading_name, u"Leaves");
  EXPECT_EQ(leaves->count.value, 12u);
  EXPECT_EQ(leaves->mesh_blob.blob.bytes, (std::vector<uint8_t>{'x', 'o', 'f'}));
  EXPECT_EQ(leaves->mesh_blob.blob.name, u"leaf.x");
  EXPECT_EQ(leaves->texture_blob.id, 7);
  EXPECT_EQ(leaves->texture_blob.module, u"common_res.dll");
  EXPECT_EQ(leaves->size.value, 40u);
  EXPECT_EQ(leaves->speed.value, 55u);
  EXPECT_EQ(leaves->wind.value, 3u);
  EXPECT_EQ(leaves->change_rate.value, 8u);
  EXPECT_EQ(leaves->tumble.value, 90u);
  EXPECT_EQ(leaves->drift_angle.value, 270u);
  // 270 degrees: the leaves fall down the screen.
  EXPECT_NEAR(leaves->MainDirection()[0], 0.0f, 1e-6f);
  EXPECT_NEAR(leaves->MainDirection()[1], 1.0f, 1e-6f);
  EXPECT_NEAR(leaves->CrossDirection()[0], 1.0f, 1e-6f);
  EXPECT_NEAR(leaves->CrossDirection()[1], 0.0f, 1e-6f);
  test::ExpectConstructorBase(*leaves, u"Falling leaves");
}

TEST(ObjectRecords3D, LeafDriftNamedOnlyByItsLeadingName) {
  ByteBuilder b;
  auto leaves = ReadRecordAs<DS_3D_in_2D_array_Constructor>(LeafRecord(b, u""));
  ASSERT_NE(leaves, nullptr);
  EXPECT_EQ(leaves->name, u"Leaves");
  const DS_3D_in_2D_array_Constructor fresh;
  EXPECT_EQ(fresh.speed.value, 50u);
  EXPECT_EQ(fresh.tumble.value, 100u);
  EXPECT_EQ(fresh.MainDirection()[0], 1.0f);
}

}  // namespace
}  // namespace lumi
