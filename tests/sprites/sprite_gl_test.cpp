// Sprites on a real device: a tinted sprite where it should be, nothing from
// a population whose picture is missing even right after a textured one,
// and glow mode 1 adding its colour to what lies below.
#include <gtest/gtest.h>

#include "scene/resource_access.h"
#include "tests/render/gl_test_support.h"
#include "tests/render/test_backdrop.h"
#include "tests/sprites/sprite_test_support.h"

namespace lumi {
namespace {

using test::Play;
using test::Population;

std::shared_ptr<Texture> white_texture;

// Only the link named "white" has a picture: 4 x 4 opaque white.
PictureFrames WhiteOnly(const ResourceKey& key) {
  if (key.name != u"white" || !white_texture) return {};
  return {{white_texture}, {}, 4, 4, 1, 1, 1};
}

DS_StatObjConstructor Square(int x, int y, uint32_t colour, const char16_t* picture) {
  auto square = Population<DS_StatObjConstructor>(1, 20);
  square.flag = 1;
  square.centre.x.value = x;
  square.centre.y.value = y;
  square.sprite_colour.value = colour;
  square.picture.key = {picture, 0};
  return square;
}

TEST(SpritePixels, TintedSpritesMissingPicturesAndAddedGlow) {
  LUMI_REQUIRE_GL(device, 128, 128);
  test::TestBackdrop backdrop(*device, 128, 128);
  backdrop.RestoreDevice();  // the states a slide draws with
  white_texture = test::MakeTexture(*device, test::MakeImage(4, 4, [](uint32_t, uint32_t) { return 0xFFFFFFFFu; }));
  ResourceAccess& access = DocumentResourceAccess();
  const auto saved = access.frames;
  access.frames = WhiteOnly;

  const auto red = Play(Square(30, 30, 0x000000FF, u"white"));              // Windows colour: red is the low byte
  const auto missing = Play(Square(90, 90, 0x00FFFFFF, u"C:\\none.png"));  // drawn right after a textured one
  auto green_square = Square(30, 30, 0x0000FF00, u"white");
  green_square.mode.value = 1;
  const auto green = Play(green_square);
  for (auto* object : {red.get(), missing.get(), green.get()}) object->FrameMove(0);

  ASSERT_TRUE(device->BeginScene());
  device->Clear(kClearTarget, 0xFF000000, 1, 0);
  red->Render(backdrop);
  missing->Render(backdrop);
  device->EndScene();
  const RgbaImage first = test::ReadBack(*device);
  EXPECT_TRUE(test::ColorNear(test::PixelAt(first, 30, 30), 0xFFFF0000, 2));
  EXPECT_TRUE(test::ColorNear(test::PixelAt(first, 5, 5), 0xFF000000, 0));
  EXPECT_TRUE(test::ColorNear(test::PixelAt(first, 90, 90), 0xFF000000, 0)) << "a missing picture draws nothing";

  ASSERT_TRUE(device->BeginScene());
  green->Render(backdrop);
  device->EndScene();
  const RgbaImage added = test::ReadBack(*device);
  EXPECT_TRUE(test::ColorNear(test::PixelAt(added, 30, 30), 0xFFFFFF00, 2)) << "green added to red";

  access.frames = saved;
  white_texture.reset();
}

}  // namespace
}  // namespace lumi
