#include <gtest/gtest.h>

#include <cmath>

#include "params/random.h"
#include "render/recording_device.h"
#include "scene/camera.h"

namespace lumi {
namespace {

// Where a picture point lands in window pixels under the view's camera.
Vector3 Shown(const SceneView& view, float x, float y) {
  const Matrix world = view.WorldTransform(Matrix{});
  return {x * world.m[0][0] + y * world.m[1][0] + world.m[3][0], x * world.m[0][1] + y * world.m[1][1] + world.m[3][1],
          0};
}

std::shared_ptr<DX_CamPathPnt> Point(float x, float y, unsigned int zoom, float duration) {
  auto point = std::make_shared<DX_CamPathPnt>(Vector3{x, y, 0});
  point->zoom.value = zoom;
  point->duration.value = duration;
  return point;
}

struct CameraRig {
  RecordingDevice device{800, 600};
  SceneView view;
  DSM_Camera camera;

  void Place(uint32_t pw, uint32_t ph) {
    camera.Place(device, view, TargetQuad::FromRect(0, 0, 800, 600), pw, ph, PlacementMode::Fit, false, 800, 600);
  }
  // Moves to slide time t and applies the pose to the view as the backdrop does.
  CameraPose Frame(float t) {
    const CameraPose pose = camera.Update(t);
    view.SetCamera(static_cast<float>(camera.PictureWidth()), static_cast<float>(camera.PictureHeight()), pose.centre,
                   pose.zoom, pose.active);
    return pose;
  }
};

TEST(Camera, RandomWindowIsTheZoomedPictureAndTheCentreShowsMidArea) {
  CameraRig rig;
  rig.camera.mode.Set(DSM_Camera::kRandom);
  rig.camera.enabled.Set(1);
  rig.Place(1000, 800);
  EXPECT_FLOAT_EQ(rig.view.PictureWidth(), 833);
  EXPECT_FLOAT_EQ(rig.view.PictureHeight(), 666);
  rig.camera.Restart();
  rig.Frame(0);
  // At rest the picture centre is the window's centre: the window's corners
  // show picture pixels (83.5, 67) and (916.5, 733), never outside it.
  const Vector3 middle = Shown(rig.view, 500, 400);
  EXPECT_NEAR(middle.x, 833 / 2.0f, 1e-3);
  EXPECT_NEAR(middle.y, 666 / 2.0f, 1e-3);
  EXPECT_LE(Shown(rig.view, 0, 0).x, 0);
  EXPECT_GE(Shown(rig.view, 1000, 800).x, 833);
}

TEST(Camera, RandomWanderingStaysInsideThePictureWithEasedSegments) {
  for (const unsigned int raw_zoom : {120u, 200u, 101u}) {
    SeedRand(7 + raw_zoom);
    CameraRig rig;
    rig.camera.mode.Set(DSM_Camera::kRandom);
    rig.camera.zoom.Set(raw_zoom);
    rig.camera.enabled.Set(1);
    rig.Place(1000, 800);
    rig.camera.Restart();
    const float z = rig.camera.RandomZoom();
    const float window_width = rig.view.PictureWidth(), window_height = rig.view.PictureHeight();
    const float reach_x = (1 - 1 / z) * 500 + 1e-2f, reach_y = (1 - 1 / z) * 400 + 1e-2f;
    float farthest = 0;
    for (int frame = 0; frame < 60 * 120; ++frame) {
      const CameraPose pose = rig.Frame(static_cast<float>(frame) / 60);
      ASSERT_TRUE(pose.active);
      ASSERT_LE(std::abs(pose.centre.x - 500), reach_x) << frame;
      ASSERT_LE(std::abs(pose.centre.y - 400), reach_y) << frame;
      farthest = std::max(farthest, std::abs(pose.centre.x - 500));
      // The window is always covered: its corners show picture, not black.
      const Vector3 top_left = Shown(rig.view, 0, 0), bottom_right = Shown(rig.view, 1000, 800);
      ASSERT_LE(top_left.x, 0.5f) << frame;
      ASSERT_LE(top_left.y, 0.5f) << frame;
      ASSERT_GE(bottom_right.x, window_width - 0.5f) << frame;
      ASSERT_GE(bottom_right.y, window_height - 0.5f) << frame;
    }
    EXPECT_GT(farthest, reach_x / 4) << "the camera should wander";
  }
}

TEST(Camera, PathRunsThereAndBackWithEasingAndZooms) {
  CameraRig rig;
  rig.camera.mode.Set(DSM_Camera::kPath);
  rig.camera.path = {Point(100, 100, 100, 2), Point(500, 300, 200, 4), Point(900, 100, 150, 1)};
  rig.camera.enabled.Set(1);
  rig.camera.SetScreen(1000, 500);
  EXPECT_EQ(rig.camera.path_width.value, 800u);
  EXPECT_EQ(rig.camera.path_height.value, 400u);
  rig.Place(1000, 500);
  rig.camera.Restart();
  const float step = 0.125f;  // exact in binary, so segments end on frames
  float t = 0;
  // Segments: A→B 2 s, B→C 4 s, C→B 4 s (B's duration), B→A 2 s (A's), A→B 2 s.
  const struct {
    float at;
    float x, y, zoom;
  } checks[] = {{0, 100, 100, 1}, {1, 300, 200, 1.5f}, {2, 500, 300, 2}, {4, 700, 200, 1.75f},
                {6, 900, 100, 1.5f}, {10, 500, 300, 2}, {11, 300, 200, 1.5f}, {12, 100, 100, 1}, {14, 500, 300, 2}};
  for (const auto& check : checks) {
    while (t < check.at - 1e-4f) {
      t += step;
      rig.Frame(t);
    }
    const CameraPose pose = rig.Frame(t);
    EXPECT_NEAR(pose.centre.x, check.x, 0.5f) << check.at;
    EXPECT_NEAR(pose.centre.y, check.y, 0.5f) << check.at;
    EXPECT_NEAR(pose.zoom, check.zoom, 1e-3f) << check.at;
  }
}

TEST(Camera, DegenerateSettingsNeverDivideByZero) {
  CameraRig rig;
  // One point: never moves; a zero duration is at its end at once.
  rig.camera.mode.Set(DSM_Camera::kPath);
  rig.camera.enabled.Set(1);
  rig.camera.path = {Point(10, 20, 0, 0)};
  rig.Place(100, 100);
  rig.camera.Restart();
  for (float t : {0.0f, 0.5f, 7.0f}) {
    const CameraPose pose = rig.Frame(t);
    EXPECT_EQ(pose.centre, (Vector3{10, 20, 0}));
    EXPECT_EQ(pose.zoom, 1);
  }
  // Zero durations and a zoom of 0 % (taken as 100 %) on a longer path, and
  // a duration that is not finite (taken as 5 s).
  rig.camera.path = {Point(0, 0, 0, 0), Point(50, 50, 0, NAN), Point(80, 0, 50, 1)};
  rig.camera.Restart();
  for (int frame = 0; frame < 600; ++frame) {
    const CameraPose pose = rig.Frame(7.0f + static_cast<float>(frame) / 60);
    ASSERT_TRUE(std::isfinite(pose.centre.x) && std::isfinite(pose.centre.y) && std::isfinite(pose.zoom)) << frame;
    ASSERT_GT(pose.zoom, 0);
  }
  // Random zoom below 1 counts as 1 (a raw 0 would divide by zero).
  rig.camera.mode.Set(DSM_Camera::kRandom);
  rig.camera.zoom.Set(0);
  EXPECT_EQ(rig.camera.RandomZoom(), 1);
  rig.Place(640, 480);
  EXPECT_EQ(rig.view.PictureWidth(), 640);
  // A stored path window of 0 shows what SetScreen would.
  rig.camera.mode.Set(DSM_Camera::kPath);
  rig.camera.path_width.Set(0);
  rig.camera.path_height.Set(0);
  rig.Place(640, 480);
  EXPECT_EQ(rig.view.PictureWidth(), 512);
  EXPECT_EQ(rig.view.PictureHeight(), 384);
}

TEST(Camera, StillOrDisabledIsInactiveAndWholeTargetIgnoresTheCamera) {
  CameraRig rig;
  rig.camera.mode.Set(DSM_Camera::kRandom);
  rig.Place(1000, 800);  // not enabled: the whole picture
  EXPECT_EQ(rig.view.PictureWidth(), 1000);
  EXPECT_FALSE(rig.Frame(1).active);
  rig.camera.enabled.Set(1);
  rig.camera.Place(rig.device, rig.view, TargetQuad::FromRect(0, 0, 300, 300), 1000, 800, PlacementMode::WholeTarget,
                   false, 800, 600);
  EXPECT_EQ(rig.view.PictureWidth(), 1000);
  rig.Frame(2);
  EXPECT_TRUE(rig.view.cameraActive);
  EXPECT_EQ(rig.view.WorldTransform(MatrixTranslation(3, 4, 0)), MatrixTranslation(3, 4, 0));
}

TEST(Camera, AStallAdvancesCameraTimeByAtMostAFifthOfASecondTimesSpeed) {
  DSM_Camera camera;
  camera.speed.Set(100);  // 2.0
  camera.Update(1);
  const float before = camera.CameraTime();
  camera.Update(9);
  EXPECT_FLOAT_EQ(camera.CameraTime() - before, 0.4f);
  camera.Update(3);  // earlier: a new last time, no step
  EXPECT_FLOAT_EQ(camera.CameraTime() - before, 0.4f);
}

TEST(Placement3D, LinesUpWithTheFittedPictureAndKeepsIdentityForSizeZero) {
  // A 1000 x 500 picture in a 1920 x 1080 area: fitted (0, 60)-(1920, 1020).
  const Placement3D fill = ComputePlacement3D(1920, 1080, 1000, 500, PlacementMode::Fill, true, 0, 0);
  EXPECT_FLOAT_EQ(fill.ratioX, 1);
  EXPECT_FLOAT_EQ(fill.ratioY, 1080.0f / 960);
  // Fill stretches about the fitted rectangle so the area is covered.
  EXPECT_FLOAT_EQ(fill.inverseU, 1.0f / (2 * 60 + 960) * 960);
  EXPECT_FLOAT_EQ(fill.inverseU, fill.inverseV);
  const Placement3D fit = ComputePlacement3D(1920, 1080, 1000, 500, PlacementMode::Fit, false, 960, 540);
  EXPECT_FLOAT_EQ(fit.inverseU, 1);
  EXPECT_EQ(fit.placement, Matrix{});
  for (const auto& [a, b, pw, ph] : {std::array<float, 4>{0, 100, 10, 10}, {100, 100, 0, 10}, {100, 0, 10, 10},
                                     {100, 100, 10, 0}}) {
    const Placement3D none = ComputePlacement3D(a, b, pw, ph, PlacementMode::Stretch, false, 800, 600);
    EXPECT_EQ(none.world, Matrix{});
    EXPECT_EQ(none.placement, Matrix{});
    EXPECT_EQ(none.inverseU, 1);
  }
}

}  // namespace
}  // namespace lumi
