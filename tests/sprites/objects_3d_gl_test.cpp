// A butterfly of the stand-in models on a real device: it covers pixels
// around its position, its wings showing whichever side faces the screen.
#include <gtest/gtest.h>

#include "scene/doc_res_manager.h"
#include "scene/resource_table.h"
#include "sprites/object_animations.h"
#include "sprites/object_array_3d.h"
#include "tests/render/gl_test_support.h"
#include "tests/render/test_backdrop.h"

namespace lumi {
namespace {

struct Lit {
  int count = 0;
  float x = 0, y = 0;  // the centroid of the lit pixels
};

Lit LitPixels(const RgbaImage& image) {
  Lit lit;
  for (uint32_t y = 0; y < 128; ++y) {
    for (uint32_t x = 0; x < 128; ++x) {
      if ((test::PixelAt(image, x, y) & 0xFF) > 128) {
        ++lit.count;
        lit.x += static_cast<float>(x);
        lit.y += static_cast<float>(y);
      }
    }
  }
  if (lit.count > 0) {
    lit.x /= static_cast<float>(lit.count);
    lit.y /= static_cast<float>(lit.count);
  }
  return lit;
}

TEST(ObjectPixels, AStandInButterflyShowsItsWingsFromAboveAndBelow) {
  LUMI_REQUIRE_GL(device, 128, 128);
  test::TestBackdrop backdrop(*device, 128, 128);
  backdrop.RestoreDevice();
  const DS_DocResManager record;
  ResourceTable table(*device, record);
  SetCurrentResourceTable(&table);

  DS_ButterflyConstructor flock;
  flock.right = flock.bottom = 1;
  flock.motion_speed.Set(0);  // frozen where the test puts it
  auto object = flock.CreateRenderObject();
  auto& butterflies = static_cast<DS_3DObjArray&>(*object);
  ASSERT_NE(butterflies.Entries()[0].mesh, nullptr) << "the stand-in body";
  ASSERT_NE(butterflies.Entries()[1].mesh, nullptr) << "the stand-in wing";
  AC_Butterfly& b = *static_cast<AC_Butterfly*>(butterflies.Instances()[0]->animation.get());
  b.x = 64;
  b.y = 64;
  b.heading = {-45, -45, 0};  // three-quarters on, so both wings show
  b.flap_speed = 0;

  Lit lit[2];
  for (int side = 0; side < 2; ++side) {
    b.flap = side == 0 ? 45.0f : -45.0f;
    object->FrameMove(0);
    ASSERT_TRUE(device->BeginScene());
    device->Clear(kClearTarget, 0xFF000000, 1, 0);
    object->Render(backdrop);
    device->EndScene();
    lit[side] = LitPixels(test::ReadBack(*device));
    EXPECT_GT(lit[side].count, 200) << "flap " << b.flap;
    EXPECT_NEAR(lit[side].x, 64, 20);
    EXPECT_NEAR(lit[side].y, 64, 20);
  }
  // Raised and lowered, the wings lie on opposite sides of the body.
  EXPECT_GT(std::abs(lit[0].y - lit[1].y), 5);
  SetCurrentResourceTable(nullptr);
}

}  // namespace
}  // namespace lumi
