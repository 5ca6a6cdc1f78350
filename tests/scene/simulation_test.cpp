#include <stdexcept>

#include <gtest/gtest.h>

#include "backdrop/light_2d.h"
#include "scene/document.h"
#include "scene/simulation.h"
#include "tests/scene/test_objects.h"
#include "timing/depended_timeline.h"
#include "timing/manual_timeline.h"
#include "timing/random_timeline.h"

namespace lumi {
namespace {

using test::MakeObject;

std::shared_ptr<DS_SlideContainer> Slide(const char16_t* name, float fade_in, float showing, float fade_out) {
  auto slide = std::make_shared<DS_SlideContainer>();
  slide->name.value = name;
  slide->fade_in.value = fade_in;
  slide->showing.value = showing;
  slide->fade_out.value = fade_out;
  slide->backdrop = std::make_shared<DS_2D_Light>();
  return slide;
}

// The document as pack builds it from the JSON inspect shows, then saved
// and loaded as the saver reads it.
Document Packed(Document& authored) {
  const nlohmann::ordered_json json = DocumentToJson(authored, std::nullopt);
  Document packed = DocumentFromJson(json, ".");
  const std::vector<uint8_t> bytes = SaveDocument(packed);
  return LoadDocument(bytes);
}

nlohmann::ordered_json Simulate(Document& authored, const std::vector<double>& times) {
  Document document = Packed(authored);
  return SimulateShow(*document.show, times, 1.0 / 60.0);
}

TEST(Simulation, TwoSlidesFadeThroughBlack) {
  Document authored;
  authored.show->slides = {Slide(u"first", 1, 10, 1), Slide(u"second", 1, 10, 1)};
  // The second slide becomes current at the first frame after 11 s.
  const double switch_frame = 661.0 / 60.0;
  const auto report = Simulate(authored, {0.0, 10.5, switch_frame, switch_frame + 0.5, switch_frame + 11.5,
                                          switch_frame + 12.02});
  ASSERT_EQ(report.size(), 6u);
  const int expected_slide[] = {0, 0, 1, 1, 1, 0};
  const int expected_alpha[] = {0, 127, 255, 127, 127, 255};
  for (size_t i = 0; i < 6; ++i) {
    EXPECT_EQ(report[i]["slide"], expected_slide[i]) << i;
    EXPECT_EQ(report[i]["overlay_alpha"], expected_alpha[i]) << i;
  }
  EXPECT_EQ(report[2]["slide_name"], "second");
}

TEST(Simulation, ReportsEveryObjectsTimeline) {
  Document authored;
  auto slide = Slide(u"objects", 0, 100, 1);
  auto always = MakeObject("always", 0x10);
  auto random = MakeObject("random", 0x11);
  random->timing.Set(VRN_SmartTiming::kRandom);
  auto manual = MakeObject("manual", 0x12);
  manual->timing.Set(VRN_SmartTiming::kManual);
  dynamic_cast<VRN_ManualTimeLine&>(manual->timing.current()).intervals.insert({2, 6, 3, 5});
  slide->objects.push_back(std::move(always));
  slide->objects.push_back(std::move(random));
  slide->objects.push_back(std::move(manual));
  authored.show->slides = {slide};

  const auto report = Simulate(authored, {0.5, 2.5, 4.0, 5.5, 7.0});
  const auto& first = report[0]["objects"];
  ASSERT_EQ(first.size(), 3u);
  EXPECT_EQ(first[0]["class"], "TestSceneObject");
  EXPECT_EQ(first[0]["name"], "always");
  EXPECT_EQ(first[0]["identity"], "{00000010-0000-0000-0000-000000000000}");
  EXPECT_EQ(first[0]["enabled"], true);
  EXPECT_EQ(first[0]["timeline"], "VRN_ContinuesTimeLine");
  EXPECT_EQ(first[0]["state"], 0);
  EXPECT_EQ(first[0]["level"], 1.0);
  EXPECT_NEAR(first[0]["local_time"].get<double>(), 0.5, 1e-5);
  // Random: off until the first frame, fading in for 0.5 s, then on.
  EXPECT_EQ(first[1]["kind"], 1);
  EXPECT_EQ(first[1]["state"], 2);
  EXPECT_NEAR(first[1]["level"].get<double>(), 1.0, 0.04);
  EXPECT_EQ(report[1]["objects"][1]["state"], 1);  // 2.5 s: off again since about 2 s
  // Manual interval (2, 6, 3, 5): fading in, on, fading out, off.
  const int states[] = {2, 0, 3, 1};
  const double levels[] = {0.5, 1.0, 0.5, 0.0};
  for (size_t i = 0; i < 4; ++i) {
    const auto& object = report[i + 1]["objects"][2];
    EXPECT_EQ(object["state"], states[i]) << i;
    EXPECT_NEAR(object["level"].get<double>(), levels[i], 0.02) << i;
  }
}

TEST(Simulation, TriggeredFollowerCyclesAfterItsMasterComesOn) {
  Document authored;
  auto slide = Slide(u"follow", 0, 100, 1);
  auto master = MakeObject("master", 0x20);
  master->timing.Set(VRN_SmartTiming::kManual);
  auto& master_timeline = dynamic_cast<VRN_ManualTimeLine&>(master->timing.current());
  master_timeline.period.Set(3000);
  master_timeline.intervals.insert({10, 20, 11, 19});
  auto follower = MakeObject("follower", 0x21);
  follower->timing.Set(VRN_SmartTiming::kDepended);
  auto& depended = dynamic_cast<VRN_DependedTimeLine&>(follower->timing.current());
  depended.master_identity.value = master->identity;
  depended.mode.value = VRN_DependedTimeLine::kTriggered;
  slide->objects.push_back(std::move(master));
  slide->objects.push_back(std::move(follower));
  authored.show->slides = {slide};

  const auto report = Simulate(authored, {9.9, 10.25, 11.0, 11.75, 12.5});
  const int states[] = {1, 2, 0, 3, 1};
  const double levels[] = {0.0, 0.5, 1.0, 0.5, 0.0};
  for (size_t i = 0; i < 5; ++i) {
    const auto& object = report[i]["objects"][1];
    EXPECT_EQ(object["timeline"], "VRN_DependedTimeLine");
    EXPECT_EQ(object["state"], states[i]) << i;
    EXPECT_NEAR(object["level"].get<double>(), levels[i], 0.04) << i;
  }
}

TEST(Simulation, RefusesTimesItCannotPlay) {
  Document authored;
  authored.show->slides = {Slide(u"s", 1, 1, 1)};
  Document document = Packed(authored);
  EXPECT_THROW(SimulateShow(*document.show, {2.0, 1.0}, 0.1), std::invalid_argument);
  EXPECT_THROW(SimulateShow(*document.show, {-1.0}, 0.1), std::invalid_argument);
  EXPECT_THROW(SimulateShow(*document.show, {1.0}, 0.0), std::invalid_argument);
  EXPECT_THROW(SimulateShow(*document.show, {1.0e9}, 0.001), std::invalid_argument);
  // An empty show reports no slide.
  DS_SlideShow_Light empty;
  const auto report = SimulateShow(empty, {0.0, 1.0}, 0.5);
  EXPECT_EQ(report[1]["slide"], -1);
}

}  // namespace
}  // namespace lumi
