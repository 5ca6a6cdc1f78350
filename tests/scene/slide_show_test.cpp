#include <gtest/gtest.h>

#include "archive/binary_reader.h"
#include "render/current_context.h"
#include "render/recording_device.h"
#include "scene/slide_show.h"
#include "tests/scene/test_objects.h"
#include "tests/support/byte_builder.h"
#include "timing/depended_timeline.h"
#include "timing/manual_timeline.h"

namespace lumi {
namespace {

using test::Log;
using test::MakeObject;
using test::RecordingBackdrop;
using test::TestRenderObject;

std::shared_ptr<DS_SlideContainer> MakeSlide(const std::string& name, float fade_in = 1, float showing = 10,
                                             float fade_out = 1) {
  auto slide = std::make_shared<DS_SlideContainer>();
  slide->name.value = std::u16string(name.begin(), name.end());
  slide->fade_in.value = fade_in;
  slide->showing.value = showing;
  slide->fade_out.value = fade_out;
  slide->backdrop = std::make_shared<RecordingBackdrop>();
  return slide;
}

RecordingBackdrop& BackdropOf(const DS_SlideContainer& slide) {
  return static_cast<RecordingBackdrop&>(*slide.backdrop);
}

// Runs frames 1/60 s apart from `from` up to `to` and returns the last time.
float RunFrames(DS_SlideShow_Light& show, int from, int to) {
  float t = 0;
  for (int frame = from; frame <= to; ++frame) {
    t = static_cast<float>(frame) / 60.0f;
    show.FrameMove(t);
  }
  return t;
}

TEST(PrepareSlide, MakesRenderObjectsBindsTimelinesAndDropsConstructors) {
  Log().clear();
  auto slide = MakeSlide("s");
  slide->objects.push_back(MakeObject("master", 0x77));
  auto follower = MakeObject("follower");
  follower->timing.Set(VRN_SmartTiming::kDepended);
  dynamic_cast<VRN_DependedTimeLine&>(follower->timing.current()).master_identity.value.data1 = 0x77;
  slide->objects.push_back(std::move(follower));
  slide->sounds.push_back(MakeObject("sound"));
  PrepareSlide(*slide);

  EXPECT_TRUE(slide->objects.empty());
  EXPECT_TRUE(slide->sounds.empty());
  ASSERT_EQ(slide->render_objects.size(), 2u);
  ASSERT_EQ(slide->render_sounds.size(), 1u);
  EXPECT_EQ(static_cast<TestRenderObject&>(*slide->render_objects[0]).Name(), "master");
  auto& bound = dynamic_cast<VRN_DependedTimeLine&>(slide->render_objects[1]->data->timing.current());
  EXPECT_EQ(bound.master(), &slide->render_objects[0]->data->timing);
  EXPECT_EQ(Log(), (std::vector<std::string>{"prepare", "place 0"}));
}

TEST(SlideShowFrames, TwoSlidesFadeThroughBlack) {
  DS_SlideShow_Light show;
  show.slides = {MakeSlide("first"), MakeSlide("second")};
  for (const auto& slide : show.slides) PrepareSlide(*slide);

  show.FrameMove(0.0f);
  EXPECT_EQ(show.current_slide, show.slides[0]);
  EXPECT_EQ(show.overlay->alpha(), 0);  // the first slide starts faded in
  EXPECT_DOUBLE_EQ(show.slide_start, -1.0);
  EXPECT_FLOAT_EQ(BackdropOf(*show.slides[0]).last_frame_move, 1.0f);

  // The first slide ends 11 s in: fade-out starts at 10 s.
  float t = RunFrames(show, 1, 630);  // 10.5 s
  EXPECT_EQ(show.overlay->alpha(), 127);
  int frame = 631;
  while (show.current_slide == show.slides[0]) {
    t = RunFrames(show, frame, frame);
    ++frame;
  }
  const float switched = t;
  EXPECT_GT(switched, 11.0f);
  EXPECT_LT(switched, 11.0f + 1.0f / 60 + 1e-4f);
  EXPECT_EQ(show.overlay->alpha(), 255);  // black in the frame of the switch
  EXPECT_EQ(show.next_index, 0);

  show.FrameMove(switched + 0.5f);
  EXPECT_EQ(show.overlay->alpha(), 127);
  show.FrameMove(switched + 5.0f);
  EXPECT_EQ(show.overlay->alpha(), 0);
  show.FrameMove(switched + 11.5f);
  EXPECT_EQ(show.overlay->alpha(), 127);
  show.FrameMove(switched + 12.0f);
  EXPECT_EQ(show.current_slide, show.slides[1]);
  show.FrameMove(switched + 12.01f);
  EXPECT_EQ(show.current_slide, show.slides[0]);  // after the last, the first
  EXPECT_EQ(show.overlay->alpha(), 255);
  EXPECT_EQ(show.next_index, 1);
}

TEST(SlideShowFrames, FramesStepEvenlyAfterADayAndTwoOfPlay) {
  // One slide that never ends: its own time grows with the show's, where a
  // float spaces times about 8 ms apart after a day.
  DS_SlideShow_Light show;
  show.slides = {MakeSlide("only", 1, 1, 1)};
  show.slides[0]->objects.push_back(MakeObject("obj"));
  PrepareSlide(*show.slides[0]);
  const auto& object = static_cast<const TestRenderObject&>(*show.slides[0]->render_objects[0]);
  const RecordingBackdrop& backdrop = BackdropOf(*show.slides[0]);
  show.FrameMove(0.0);
  for (const double start : {24 * 3600.0, 48 * 3600.0}) {
    show.FrameMove(start);
    double slide = backdrop.last_frame_move, local = object.last_local_time;
    for (int frame = 1; frame <= 120; ++frame) {
      show.FrameMove(start + frame / 60.0);
      ASSERT_NEAR(backdrop.last_frame_move - slide, 1.0 / 60, 1e-4) << start << " s, frame " << frame;
      ASSERT_NEAR(object.last_local_time - local, 1.0 / 60, 1e-4) << start << " s, frame " << frame;
      slide = backdrop.last_frame_move;
      local = object.last_local_time;
    }
  }
}

TEST(SlideShowFrames, TheSwitchFrameUsesTheEndingSlidesTimes) {
  DS_SlideShow_Light show;
  // The next slide has no fade-in: only the ending slide's times make the switch frame black.
  show.slides = {MakeSlide("first", 2, 3, 1), MakeSlide("second", 0, 3, 1)};
  for (const auto& slide : show.slides) PrepareSlide(*slide);
  show.FrameMove(0.0f);
  show.FrameMove(4.1f);  // 6.1 s into the first slide
  EXPECT_EQ(show.current_slide, show.slides[1]);
  EXPECT_EQ(show.overlay->alpha(), 255);
  show.FrameMove(4.2f);
  EXPECT_EQ(show.overlay->alpha(), 0);
}

TEST(SlideShowFrames, AStayingSlideNeverEndsButFadesIn) {
  DS_SlideShow_Light show;
  show.slides = {MakeSlide("first"), MakeSlide("staying"), MakeSlide("never")};
  show.slides[1]->stay.value = 1;
  show.FrameMove(0.0f);
  show.FrameMove(11.5f);
  ASSERT_EQ(show.current_slide, show.slides[1]);
  show.FrameMove(12.0f);
  EXPECT_EQ(show.overlay->alpha(), 127);
  for (float t = 13.0f; t < 200.0f; t += 0.5f) {
    show.FrameMove(t);
    ASSERT_EQ(show.current_slide, show.slides[1]);
    ASSERT_EQ(show.overlay->alpha(), 0);
  }
}

TEST(SlideShowFrames, OneSlideNeverEndsAndNoSlidesDoNothing) {
  DS_SlideShow_Light single;
  single.slides = {MakeSlide("only", 1, 1, 1)};
  single.FrameMove(0.0f);
  single.FrameMove(100.0f);
  EXPECT_EQ(single.current_slide, single.slides[0]);
  EXPECT_EQ(single.overlay->alpha(), 0);
  EXPECT_FLOAT_EQ(BackdropOf(*single.slides[0]).last_frame_move, 101.0f);

  DS_SlideShow_Light empty;
  empty.FrameMove(1.0f);
  empty.Render();
  EXPECT_EQ(empty.current_slide, nullptr);
  EXPECT_FALSE(empty.overlay);
}

TEST(SlideShowFrames, DamagedTimesKeepTheOverlayInRange) {
  DS_SlideShow_Light show;
  show.slides = {MakeSlide("a", -1, 2, 0), MakeSlide("b", 1, 1, 1)};
  show.FrameMove(0.0f);
  show.FrameMove(0.5f);
  show.FrameMove(1.0f);
  EXPECT_LE(show.overlay->alpha(), 255);
  EXPECT_EQ(show.current_slide, show.slides[0]);
}

TEST(SlideStart, StartsTheSlideAndItsSoundsAndStopsThemAtTheEnd) {
  Log().clear();
  DS_SlideShow_Light show;
  show.slides = {MakeSlide("first", 1, 1, 1), MakeSlide("second", 1, 1, 1)};
  RecordingDevice device(640, 480);
  SceneView view;
  ScopedRenderContext context(&device, &view);
  show.slides[0]->objects.push_back(MakeObject("obj"));
  show.slides[0]->sounds.push_back(MakeObject("snd"));
  for (const auto& slide : show.slides) PrepareSlide(*slide);
  Log().clear();
  auto& object = static_cast<TestRenderObject&>(*show.slides[0]->render_objects[0]);

  show.FrameMove(0.0f);
  EXPECT_EQ(Log(), (std::vector<std::string>{"place 640", "slide start", "backdrop restart", "enable snd"}));
  EXPECT_EQ(static_cast<test::TestSceneObject&>(object.settings()).restarts, 1);
  // The objects move with the slide's time, 1 s in at the first frame.
  EXPECT_FLOAT_EQ(object.last_local_time, 1.0f);
  show.FrameMove(1.5f);
  EXPECT_FLOAT_EQ(object.last_local_time, 2.5f);

  Log().clear();
  show.FrameMove(2.1f);
  // The ending slide lets its chain go before the next one starts.
  EXPECT_EQ(Log(), (std::vector<std::string>{"disable snd", "release", "place 640", "slide start",
                                             "backdrop restart"}));
}

TEST(SlideRender, CountsTheObjectsThatNeedThePicture) {
  Log().clear();
  DS_SlideShow_Light show;
  show.slides = {MakeSlide("s")};
  show.slides[0]->objects.push_back(MakeObject("a", 0, true));
  show.slides[0]->objects.push_back(MakeObject("b"));
  show.slides[0]->objects.push_back(MakeObject("c", 0, true));
  PrepareSlide(*show.slides[0]);
  show.Render();  // nothing before the first frame
  EXPECT_EQ(Log(), (std::vector<std::string>{"prepare", "place 0"}));

  show.FrameMove(0.0f);
  Log().clear();
  BackdropOf(*show.slides[0]).needs_copy = true;
  show.Render();
  EXPECT_EQ(Log(), (std::vector<std::string>{"offscreen", "picture", "background 3", "draw c", "draw b",
                                             "background 2", "draw a", "finish"}));

  Log().clear();
  BackdropOf(*show.slides[0]).needs_copy = false;
  for (auto& object : show.slides[0]->render_objects) {
    static_cast<test::TestSceneObject&>(static_cast<TestRenderObject&>(*object).settings()).samples_picture = false;
  }
  show.Render();
  // A clear overlay is left out; one that darkens is drawn last.
  EXPECT_EQ(Log(), (std::vector<std::string>{"picture", "draw c", "draw b", "draw a", "finish"}));
  Log().clear();
  show.overlay->SetAlpha(127);
  show.Render();
  EXPECT_EQ(Log(), (std::vector<std::string>{"picture", "draw c", "draw b", "draw a", "finish", "overlay 127"}));
}

TEST(SlideRecords, OldSlidesGiveTheirObjectsTimelinesTheirPeriod) {
  struct Case {
    int version;
    unsigned period_stored;
    float expected_seconds;
  };
  for (const Case& c : {Case{3, 12, 12.0f}, Case{4, 12, 0.12f}, Case{2, 0, 10.0f}}) {
    SCOPED_TRACE(c.version);
    test::ByteBuilder b;
    b.Header("DS_SlideContainer", c.version).U32(2).U32(3).U32(15).I32(0).Str(u"old");
    if (c.version >= 3) b.U32(c.period_stored);
    b.Header("DS_2D_Light", 1);
    b.I32(1).Header("TestSceneObject", 1).U8(0).Header("DS_ABObj_Constructor", 3).Str(u"m").U32(100);
    b.Header("DS_TimeLineControl", 1).I32(2).I32(0).U32(1).U32(1).U32(1).U32(1).U32(1).U32(1).I32(0);
    if (c.version >= 2) b.I32(0);
    BinaryReader reader(b.bytes());
    std::unique_ptr<DS_IOF_Item> item = reader.Object("slide", nullptr, Family::Slide);
    auto* slide = dynamic_cast<DS_SlideContainer*>(item.get());
    ASSERT_NE(slide, nullptr);
    EXPECT_EQ(slide->fade_in.value, 2.0f);
    EXPECT_EQ(slide->showing.value, 15.0f);
    ASSERT_EQ(slide->objects.size(), 1u);
    auto* manual = dynamic_cast<VRN_ManualTimeLine*>(&slide->objects[0]->timing.current());
    ASSERT_NE(manual, nullptr);
    EXPECT_FLOAT_EQ(manual->period.seconds(), c.expected_seconds);
  }
}

}  // namespace
}  // namespace lumi
