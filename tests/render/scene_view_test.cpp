#include "render/scene_view.h"

#include <gtest/gtest.h>

#include "render/recording_device.h"
#include "tests/render/gl_test_support.h"
#include "tests/render/test_backdrop.h"

namespace lumi {
namespace {

using test::MakeImage;

TEST(RenderPlacement, PlacesAWidePictureOnAFullHdTarget) {
  EXPECT_EQ(PlacePicture(1920, 1080, 1000, 500, PlacementMode::Fit), (PlacedRect{0, 60, 1920, 960}));
  EXPECT_EQ(PlacePicture(1920, 1080, 1000, 500, PlacementMode::Fill), (PlacedRect{-120, 0, 2160, 1080}));
  EXPECT_EQ(PlacePicture(1920, 1080, 1000, 500, PlacementMode::Stretch), (PlacedRect{0, 0, 1920, 1080}));
  EXPECT_EQ(PlacePicture(1920, 1080, 1000, 500, PlacementMode::WholeTarget), (PlacedRect{0, 0, 1920, 1080}));
  // A tall picture is fitted across the height.
  EXPECT_EQ(PlacePicture(1920, 1080, 500, 1000, PlacementMode::Fit), (PlacedRect{690, 0, 540, 1080}));
  for (PlacementMode mode : {PlacementMode::Fit, PlacementMode::Fill, PlacementMode::Stretch}) {
    EXPECT_EQ(PlacePicture(1920, 1080, 1600, 900, mode), (PlacedRect{0, 0, 1920, 1080}));
  }
}

TEST(RenderPlacement, ViewMapsPicturePixelsIntoTheArea) {
  RecordingDevice device(400, 300);
  SceneView view;
  view.Place(device, TargetQuad::FromRect(100, 50, 200, 200), 1000, 500, PlacementMode::Fit);
  EXPECT_EQ(view.Placed(), (PlacedRect{0, 50, 200, 100}));
  const Vector3 corner = Vec3TransformCoord({1000, 500, 0}, view.View());
  EXPECT_FLOAT_EQ(corner.x, 300);
  EXPECT_FLOAT_EQ(corner.y, 200);
  const Vector3 back = Vec3TransformCoord(corner, view.ViewInverse());
  EXPECT_NEAR(back.x, 1000, 1e-3);
  EXPECT_NEAR(back.y, 500, 1e-3);
  const Vector3 withoutOrigin = Vec3TransformCoord({0, 0, 0}, view.PlacementWithoutOrigin());
  EXPECT_FLOAT_EQ(withoutOrigin.x, 0);
  EXPECT_FLOAT_EQ(withoutOrigin.y, 50);
  // One unit of the projection is one target pixel, y downwards.
  const Vector3 clip = Vec3TransformCoord({400, 300, 0}, view.Projection());
  EXPECT_FLOAT_EQ(clip.x, 1);
  EXPECT_FLOAT_EQ(clip.y, -1);
}

TEST(RenderPlacement, WorldTransformAppliesCameraAndParallaxOutsideWholeTargetPasses) {
  RecordingDevice device(100, 100);
  SceneView view;
  view.Place(device, TargetQuad::FromRect(0, 0, 100, 100), 100, 100, PlacementMode::Fit);
  const Matrix object = MatrixTranslation(1, 0, 0);
  view.camera = MatrixScaling(2, 2, 1);
  view.parallax = MatrixTranslation(0, 5, 0);
  EXPECT_EQ(view.WorldTransform(object), object);  // camera inactive
  view.cameraActive = true;
  EXPECT_EQ(view.WorldTransform(object), object * view.camera * view.parallax);
  view.Place(device, TargetQuad::FromRect(0, 0, 100, 100), 100, 100, PlacementMode::WholeTarget);
  EXPECT_EQ(view.WorldTransform(object), object);
}

TEST(RenderPlacement, PictureMetricsScaleTheFittedQuadToTheBackBuffer) {
  const PictureMetrics metrics = ComputePictureMetrics(TargetQuad::FromRect(0, 0, 960, 540), 1000, 500, 1920, 1080);
  EXPECT_FLOAT_EQ(metrics.scaleX, 2);
  EXPECT_FLOAT_EQ(metrics.scaleY, 2);
  EXPECT_FLOAT_EQ(metrics.fitted.v[1].x, 0);  // left, top
  EXPECT_FLOAT_EQ(metrics.fitted.v[1].y, 60);
  EXPECT_FLOAT_EQ(metrics.fitted.v[2].x, 1920);  // right, bottom
  EXPECT_FLOAT_EQ(metrics.fitted.v[2].y, 1020);
  EXPECT_FLOAT_EQ(metrics.pictureWidth, 1000);
}

// A picture of four coloured quadrants, 1000 x 500, on a 192 x 108 target.
class RenderPlacementDrawing : public ::testing::Test {
 protected:
  static uint32_t Quadrant(float u, float v) {
    const uint32_t colours[4] = {0xffff0000, 0xff00ff00, 0xff0000ff, 0xffffffff};
    return colours[(v >= 0.5f ? 2 : 0) + (u >= 0.5f ? 1 : 0)];
  }
  static RgbaImage Expected(PlacedRect r) {
    return MakeImage(192, 108, [r](uint32_t x, uint32_t y) {
      const float px = x + 0.5f, py = y + 0.5f;
      if (px < r.x || py < r.y || px >= r.x + r.width || py >= r.y + r.height) return 0xff000000u;
      return Quadrant((px - r.x) / r.width, (py - r.y) / r.height);
    });
  }
  RgbaImage Draw(GraphicsDevice& device, PlacementMode mode) {
    test::TestBackdrop backdrop(device, 1000, 500);
    backdrop.view.Place(device, TargetQuad::FromRect(0, 0, 192, 108), 1000, 500, mode);
    auto picture =
        test::MakeTexture(device, MakeImage(2, 2, [](uint32_t x, uint32_t y) { return Quadrant(x * 0.5f, y * 0.5f); }));
    EXPECT_TRUE(device.BeginScene());
    device.Clear(kClearTarget | kClearZBuffer, 0xff808080, 1, 0);
    device.SetRenderState(RenderState::ZEnable, 0);
    backdrop.DrawTexture(picture);
    backdrop.view.DrawBorderBars(device);
    EXPECT_TRUE(device.EndScene());
    return test::ReadBack(device);
  }
};

TEST_F(RenderPlacementDrawing, FitFillAndStretchWithBlackBars) {
  LUMI_REQUIRE_GL(device, 192, 108);
  EXPECT_TRUE(test::ImagesMatch("place-fit", Draw(*device, PlacementMode::Fit), Expected({0, 6, 192, 96}), 0));
  EXPECT_TRUE(test::ImagesMatch("place-fill", Draw(*device, PlacementMode::Fill), Expected({-12, 0, 216, 108}), 0));
  EXPECT_TRUE(test::ImagesMatch("place-stretch", Draw(*device, PlacementMode::Stretch), Expected({0, 0, 192, 108}), 0));
}

}  // namespace
}  // namespace lumi
