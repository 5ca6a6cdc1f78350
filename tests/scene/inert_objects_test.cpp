// Scene classes whose records are read but whose behaviour is not built:
// they play as inert objects, keep their timelines running and leave one
// notice per class.
#include <gtest/gtest.h>

#include <algorithm>

#include "archive/registry.h"
#include "backdrop/light_2d.h"
#include "scene/document.h"
#include "scene/inert_render_obj.h"
#include "scene/notices.h"
#include "scene/simulation.h"
#include "tests/scene/test_objects.h"

namespace lumi {
namespace {

// A class with a record and nothing more.
class RecordOnly : public DS_ABObj_Constructor {
  LUMI_STORED_CLASS(TestRecordOnly, 2)
  LUMI_CONSTRUCTOR_CLONE(RecordOnly)

 public:
  void Describe(Archive& ar) override {
    ar.Int("strength", strength);
    BaseRecordOf<DS_ABObj_Constructor>(ar, this);
  }

  int32_t strength = 3;
};

const RegisterClass<RecordOnly> kRegisterRecordOnly(Family::General);

size_t NoticeCount(const std::string& text) {
  return static_cast<size_t>(std::count(Notices().begin(), Notices().end(), text));
}

TEST(InertObjects, OwnAClonePlayNothingAndNoteTheirClassOnce) {
  RecordOnly constructor;
  constructor.name = u"glow";
  constructor.strength = 17;
  constructor.depth.Set(80);
  TakeNewNotices();

  std::unique_ptr<VRN_RenderObj> first = constructor.CreateRenderObject();
  std::unique_ptr<VRN_RenderObj> second = constructor.CreateRenderObject();
  constructor.strength = 1;
  auto* inert = dynamic_cast<InertRenderObject*>(first.get());
  ASSERT_NE(inert, nullptr);
  ASSERT_NE(dynamic_cast<InertRenderObject*>(second.get()), nullptr);
  const auto& copy = dynamic_cast<const RecordOnly&>(inert->settings());
  EXPECT_NE(&copy, &constructor);
  EXPECT_EQ(copy.strength, 17);
  EXPECT_EQ(copy.name, u"glow");
  EXPECT_EQ(copy.depth.value, 80u);
  EXPECT_FALSE(inert->NeedsBackground());

  // The timeline keeps running though nothing is drawn.
  inert->Restart();
  inert->Advance(0.1f);
  inert->Advance(0.25f);
  EXPECT_FLOAT_EQ(inert->data->timing.local_time, 0.25f);

  EXPECT_EQ(NoticeCount("TestRecordOnly plays inert"), 1u);
  EXPECT_EQ(TakeNewNotices(), std::vector<std::string>{"TestRecordOnly plays inert"});
  EXPECT_TRUE(TakeNewNotices().empty());
  constructor.CreateRenderObject();
  EXPECT_TRUE(TakeNewNotices().empty());

  // A class with its own render object leaves no notice.
  test::MakeObject("drawn")->CreateRenderObject();
  EXPECT_EQ(NoticeCount("TestSceneObject plays inert"), 0u);
}

TEST(InertObjects, SimulationMarksThemAndRunsTheirTimelines) {
  Document authored;
  auto slide = std::make_shared<DS_SlideContainer>();
  slide->backdrop = std::make_shared<DS_2D_Light>();
  auto record_only = std::make_unique<RecordOnly>();
  record_only->strength = 9;
  slide->objects.push_back(std::move(record_only));
  slide->objects.push_back(test::MakeObject("drawn"));
  authored.show->slides = {slide};

  // Through the document's bytes, as the saver reads it.
  std::vector<uint8_t> bytes = SaveDocument(authored);
  Document document = LoadDocument(bytes);
  EXPECT_EQ(SaveDocument(document), bytes);
  const auto report = SimulateShow(*document.show, {0.5}, 0.05);
  const auto& objects = report[0]["objects"];
  ASSERT_EQ(objects.size(), 2u);
  EXPECT_EQ(objects[0]["class"], "TestRecordOnly");
  EXPECT_EQ(objects[0]["inert"], true);
  EXPECT_GT(objects[0]["local_time"].get<double>(), 1.0);  // the first slide starts faded in
  EXPECT_FALSE(objects[1].contains("inert"));
}

}  // namespace
}  // namespace lumi
