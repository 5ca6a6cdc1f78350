#include <gtest/gtest.h>

#include "archive/file_io.h"
#include "backdrop/slide_player.h"
#include "params/random.h"
#include "tests/backdrop/probe_objects.h"
#include "tests/render/gl_test_support.h"

namespace lumi {
namespace {

const ResourceKey kPictureKey{u"C:\\pictures\\ColdRipple.jpg", 1234};

// One slide over a photograph with the camera wandering and one effect
// that copies the chain to the screen, and a second plain slide.
std::unique_ptr<Document> MakeDocument(bool with_picture) {
  auto document = std::make_unique<Document>();
  if (with_picture) {
    DS_ResBlob blob{0, u"", {kPictureKey.name, ReadFileBytes(LUMI_SOURCE_DIR "/samples/demo/ColdRipple.jpg")}};
    document->resources->pictures.push_back({kPictureKey, {blob}});
  }
  for (int i = 0; i < 2; ++i) {
    auto slide = std::make_shared<DS_SlideContainer>();
    slide->showing.value = 2;
    auto backdrop = std::make_shared<DS_2D_Light>();
    backdrop->picture.key = kPictureKey;
    backdrop->camera.mode.Set(DSM_Camera::kRandom);
    slide->backdrop = backdrop;
    if (i == 0) slide->objects.push_back(test::MakeProbe(true));
    document->show->slides.push_back(slide);
  }
  return document;
}

// Frames at 1/30 s up to `frames`, losing the device before frame `lose_at`
// (none for 0); the last frame read back.
RgbaImage Play(GraphicsDevice& device, Document& document, int frames, int lose_at) {
  SeedRand(1);
  SlidePlayer player(device, document, PlacementMode::Fit);
  std::string error;
  for (int frame = 0; frame < frames; ++frame) {
    if (frame == lose_at && lose_at > 0) {
      EXPECT_TRUE(player.LoseAndRestore(error)) << error;
    }
    player.Move(static_cast<float>(frame) / 30);
    EXPECT_TRUE(player.Draw(error)) << error;
  }
  return test::ReadBack(device);
}

TEST(DocumentPlayback, ADeviceLossMidShowWithAChainPassDrawsTheSameFrame) {
  LUMI_REQUIRE_GL(device, 96, 64);
  auto plain = MakeDocument(true);
  const RgbaImage expected = Play(*device, *plain, 40, 0);
  auto lost = MakeDocument(true);
  const RgbaImage after_loss = Play(*device, *lost, 40, 20);
  EXPECT_TRUE(test::ImagesMatch("playback-device-loss", after_loss, expected, 0));
  // The picture is on the screen: not black in the middle.
  EXPECT_NE(test::PixelAt(expected, 48, 32) & 0x00ffffff, 0u);
}

TEST(DocumentPlayback, AMissingPictureRendersBlack) {
  LUMI_REQUIRE_GL(device, 48, 32);
  auto document = MakeDocument(false);
  const RgbaImage frame = Play(*device, *document, 3, 0);
  for (uint32_t y = 0; y < 32; y += 8) {
    for (uint32_t x = 0; x < 48; x += 8) ASSERT_EQ(test::PixelAt(frame, x, y) & 0x00ffffff, 0u) << x << "," << y;
  }
}

}  // namespace
}  // namespace lumi
