#include <gtest/gtest.h>

#include "render/current_context.h"

#include "archive/binary_reader.h"
#include "archive/registry.h"
#include "scene/render_obj.h"
#include "tests/scene/test_objects.h"
#include "tests/support/byte_builder.h"
#include "timing/identity_map.h"
#include "timing/manual_timeline.h"
#include "timing/random_timeline.h"

namespace lumi {
namespace {

using test::ByteBuilder;
using test::Log;
using test::MakeObject;
using test::TestRenderObject;
using test::TestSceneObject;

std::unique_ptr<TestRenderObject> Make(const TestSceneObject& constructor) {
  return std::unique_ptr<TestRenderObject>(static_cast<TestRenderObject*>(constructor.CreateRenderObject().release()));
}

TEST(RenderObjects, OwnACopyOfTheirConstructor) {
  auto constructor = MakeObject("Water brush", 0x51);
  constructor->depth.Set(150);
  auto object = Make(*constructor);
  constructor->depth.Set(50);
  constructor.reset();
  EXPECT_EQ(object->settings().depth.value, 150u);
  EXPECT_EQ(object->Name(), "Water brush");
  EXPECT_TRUE(object->enabled);
  EXPECT_EQ(object->GetKind(), DS_ABObj_Constructor::kSceneObjectKind);
  EXPECT_EQ(object->data, &object->settings());
}

TEST(RenderObjects, IdentitiesAndTheMap) {
  auto stored = MakeObject("a", 0x1234);
  auto kept = Make(*stored);
  EXPECT_EQ(kept->data->identity.data1, 0x1234u);
  EXPECT_EQ(FindIdentity(kept->data->identity), kept.get());

  // No identity, or one that must not be kept: a fresh one each time.
  auto unnamed = MakeObject("b");
  auto fresh1 = Make(*unnamed);
  auto fresh2 = Make(*unnamed);
  EXPECT_FALSE(fresh1->data->identity.IsZero());
  EXPECT_NE(fresh1->data->identity, fresh2->data->identity);
  EXPECT_TRUE(unnamed->identity.IsZero());
  stored->keep_identity = false;
  auto renamed = Make(*stored);
  EXPECT_NE(renamed->data->identity.data1, 0x1234u);
  EXPECT_EQ(FindIdentity(renamed->data->identity), renamed.get());

  // A second object with a kept identity replaces the first in the map.
  stored->keep_identity = true;
  auto later = Make(*stored);
  EXPECT_EQ(FindIdentity(stored->identity), later.get());
  kept.reset();
  EXPECT_EQ(FindIdentity(stored->identity), nullptr);
  later.reset();
  EXPECT_EQ(FindIdentity(stored->identity), nullptr);
  const GUID gone = fresh1->data->identity;
  fresh1.reset();
  EXPECT_EQ(FindIdentity(gone), nullptr);
}

TEST(RenderObjects, RestartResetsTheTimelineThenTellsTheSettings) {
  auto constructor = MakeObject("r", 7);
  constructor->timing.Set(VRN_SmartTiming::kRandom);
  auto object = Make(*constructor);
  object->Advance(0.1f);
  object->Advance(0.3f);
  EXPECT_EQ(object->data->timing.current().GetState(), VRN_Timing::kFadingIn);
  EXPECT_FLOAT_EQ(object->last_local_time, 0.3f);
  object->Restart();
  EXPECT_EQ(object->data->timing.current().GetState(), VRN_Timing::kOff);
  EXPECT_EQ(object->data->timing.current().speed.local_time, 0.0f);
  EXPECT_EQ(static_cast<TestSceneObject&>(object->settings()).restarts, 1);
}

TEST(DepthTranslation, FactorOfTheDepth) {
  EXPECT_EQ(DepthFactor(100), 0.0f);
  EXPECT_FLOAT_EQ(DepthFactor(200), -0.5f);
  EXPECT_FLOAT_EQ(DepthFactor(50), 1.0f);
  // Below 1 counts as 1, never infinite.
  EXPECT_FLOAT_EQ(DepthFactor(0), 99.0f);
  EXPECT_FLOAT_EQ(DepthFactor(1), 99.0f);
}

TEST(DrawOrder, LastToFirstEnabledOnlyMovedForDepthWithTheBackground) {
  Log().clear();
  auto top = MakeObject("top", 0, true);
  auto middle = MakeObject("middle");
  middle->depth.Set(200);
  auto hidden = MakeObject("hidden");
  auto bottom = MakeObject("bottom", 0, true);
  RenderList list{Make(*top), Make(*middle), Make(*hidden), Make(*bottom)};
  list[2]->enabled = false;
  test::RecordingBackdrop backdrop;
  SceneView view;
  ScopedRenderContext context(nullptr, &view);
  view.cameraPan = {4, -2, 0};
  test::Parallaxes().clear();
  int passes = 2;
  backdrop.RenderObjects(list, passes);
  EXPECT_EQ(Log(), (std::vector<std::string>{"background 2", "draw bottom", "draw middle", "background 1",
                                             "draw top"}));
  EXPECT_EQ(passes, 0);
  const std::vector<Vector3>& shifts = test::Parallaxes();
  ASSERT_EQ(shifts.size(), 3u);
  EXPECT_EQ(shifts[0], (Vector3{0, 0, 0}));
  EXPECT_EQ(shifts[1], (Vector3{-2, 1, 0}));
  EXPECT_EQ(shifts[2], (Vector3{0, 0, 0}));
}

// The constructor's base record, as a concrete class ends its own record.
ByteBuilder ConstructorRecord(int version) {
  ByteBuilder b;
  b.Header("TestSceneObject", 1).U8(1).Header("DS_ABObj_Constructor", version).Str(u"Stream brush");
  if (version >= 3) b.U32(250);
  return b;
}

std::unique_ptr<TestSceneObject> ReadConstructor(const ByteBuilder& b) {
  BinaryReader reader(b.bytes());
  std::unique_ptr<DS_IOF_Item> item = reader.Object("object", nullptr, Family::General);
  EXPECT_EQ(reader.remaining(), 0u);
  return std::unique_ptr<TestSceneObject>(dynamic_cast<TestSceneObject*>(item.release()));
}

TEST(ConstructorRecords, CurrentVersionCarriesIdentityAndTiming) {
  ByteBuilder b = ConstructorRecord(4);
  b.Header("VRN_RenderObjData", 1).Str(u"{0B18E5F6-C061-474D-A2C7-93A80D502FE8}");
  b.Header("VRN_SmartTiming", 1).I32(0).I32(0).I32(0).Header("VRN_ContinuesTimeLine", 1).Header("VRN_Timing", 1);
  auto constructor = ReadConstructor(b);
  ASSERT_NE(constructor, nullptr);
  EXPECT_TRUE(constructor->samples_picture);
  EXPECT_EQ(constructor->name, u"Stream brush");
  EXPECT_EQ(constructor->depth.value, 250u);
  EXPECT_EQ(constructor->identity.data1, 0x0B18E5F6u);
  EXPECT_TRUE(constructor->keep_identity);
  auto object = Make(*constructor);
  EXPECT_EQ(object->data->identity, constructor->identity);
}

TEST(ConstructorRecords, OldVersionsConvertTheirTiming) {
  // Version 3: a depth and an old timeline record; no identity.
  ByteBuilder v3 = ConstructorRecord(3);
  v3.Header("DS_TimeLineControl", 2).I32(2).I32(2).U32(100).U32(100).U32(100).U32(100).U32(50).U32(50);
  v3.I32(1).F32(2).F32(6).F32(3).F32(5).U32(800);
  auto converted = ReadConstructor(v3);
  ASSERT_NE(converted, nullptr);
  EXPECT_TRUE(converted->identity.IsZero());
  EXPECT_EQ(converted->depth.value, 250u);
  EXPECT_EQ(converted->timing.value, VRN_SmartTiming::kManual);
  EXPECT_EQ(converted->timing.time_mode.value, 2);
  auto* manual = dynamic_cast<VRN_ManualTimeLine*>(&converted->timing.current());
  ASSERT_NE(manual, nullptr);
  EXPECT_FLOAT_EQ(manual->period.seconds(), 8.0f);
  // A zero identity is replaced in the render object even though it is kept.
  auto object = Make(*converted);
  EXPECT_FALSE(object->data->identity.IsZero());

  // Version 2: no depth.
  ByteBuilder v2 = ConstructorRecord(2);
  v2.Header("DS_TimeLineControl", 1).I32(1).I32(0).U32(10).U32(20).U32(30).U32(40).U32(50).U32(50).I32(0);
  auto random = ReadConstructor(v2);
  ASSERT_NE(random, nullptr);
  EXPECT_EQ(random->depth.value, 100u);
  EXPECT_EQ(random->timing.current().ClassName(), "VRN_RandomTimeLine");

  // Version 1: the name only, playing continuously.
  auto oldest = ReadConstructor(ConstructorRecord(1));
  ASSERT_NE(oldest, nullptr);
  EXPECT_EQ(oldest->timing.value, VRN_SmartTiming::kContinuous);
  EXPECT_EQ(oldest->timing.current().ClassName(), "VRN_ContinuesTimeLine");
}

}  // namespace
}  // namespace lumi
