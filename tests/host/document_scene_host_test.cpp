// The saver's scene host playing chosen documents in turn, on the
// recording device.
#include "host/document_scene_host.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "backdrop/light_2d.h"
#include "render/recording_device.h"
#include "scene/slide_show.h"

namespace lumi {
namespace {

using ::testing::ElementsAre;

// Notes which shows the host hands over and takes back.
class NotingSound final : public SceneSound {
 public:
  bool CreateMediaGraph(PlatformWindow) override { return false; }
  long GetMediaEvent() override { return -1; }
  void OnDeviceReset(PlatformWindow) override {}
  void OnDeviceLost() override {}
  void OnSceneLoaded(DS_SlideShow_Light& show) override { loaded.push_back(&show); }
  void OnSceneUnloading(DS_SlideShow_Light& show) override { unloading.push_back(&show); }
  void OnMediaEvent(DS_SlideShow_Light&, long) override {}

  std::vector<const DS_SlideShow_Light*> loaded, unloading;
};

// `count` slides of one second each, without fades.
Document Slides(int count, bool stays = false) {
  Document document;
  for (int i = 0; i < count; ++i) {
    auto slide = std::make_shared<DS_SlideContainer>();
    slide->fade_in.value = slide->fade_out.value = 0;
    slide->showing.value = 1;
    slide->stay.value = stays ? 1 : 0;
    slide->backdrop = std::make_shared<DS_2D_Light>();
    document.show->slides.push_back(slide);
  }
  return document;
}

// The rounds a host asks for over eight seconds of frames.
std::vector<std::size_t> RoundsAsked(int slides, bool stays, bool advance, NotingSound& sound) {
  RecordingDevice device(64, 40);
  std::vector<std::size_t> asked;
  DocumentSceneHost host(
      sound,
      [&](std::size_t round) {
        asked.push_back(round);
        return Slides(slides, stays);
      },
      [] { return PlacementMode::Fit; }, advance);
  host.SelectUnit(0, &device);
  for (double t = 0; t < 8; t += 0.25) EXPECT_EQ(host.Render(t), kSuccess) << t;
  return asked;
}

// Two slides of a second: the first is shown from 0.5 s, the second from
// 1.75 s, and at 3 s the show is back on the first.
TEST(DocumentSceneHost, AfterEachPassThroughItsSlidesTheNextDocumentPlays) {
  NotingSound sound;
  EXPECT_THAT(RoundsAsked(2, false, true, sound), ElementsAre(0u, 1u, 2u));
  ASSERT_EQ(sound.loaded.size(), 3u);
  EXPECT_THAT(sound.unloading, ElementsAre(sound.loaded[0], sound.loaded[1]));

  NotingSound once;
  EXPECT_THAT(RoundsAsked(2, false, false, once), ElementsAre(0u)) << "one document plays throughout";
  EXPECT_TRUE(once.unloading.empty());
}

TEST(DocumentSceneHost, OneSlideEndsWithItsFadeOutAndAStayingSlideNever) {
  NotingSound sound;
  EXPECT_THAT(RoundsAsked(1, false, true, sound), ElementsAre(0u, 1u, 2u, 3u, 4u, 5u));
  EXPECT_THAT(RoundsAsked(2, true, true, sound), ElementsAre(0u));
}

}  // namespace
}  // namespace lumi
