// Sprites on a real device: a tinted sprite where it should be, nothing from
// a population whose picture is missing even right after a textured one,
// glow mode 1 adding its colour to what lies below, and a glowing object's
// layer screened over a sprite drawn before it.
#include <gtest/gtest.h>

#include "scene/resource_access.h"
#include "sprites/effect_sprite_objs.h"
#include "tests/particles/builtin_program_access.h"
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

TEST(SpritePixels, AGlowLayerIsScreenedOverWhatWasDrawnBeforeIt) {
  LUMI_REQUIRE_GL(device, 128, 128);
  test::TestBackdrop backdrop(*device, 128, 128);
  backdrop.RestoreDevice();
  test::BuiltinProgramAccess programs(*device);
  white_texture = test::MakeTexture(*device, test::MakeImage(4, 4, [](uint32_t, uint32_t) { return 0xFFFFFFFFu; }));
  const auto blue = test::MakeTexture(*device, test::MakeImage(4, 4, [](uint32_t, uint32_t) { return 0xFF000040u; }));
  DocumentResourceAccess().frames = WhiteOnly;

  const std::shared_ptr<VRN_RenderObj> earlier = Play(Square(30, 30, 0x0000FF00, u"white"));  // green, 20..40
  // A red glow of brightness 0.5 over 30..60; its own picture is missing,
  // so only the layer shows.
  auto glow = Population<DS_DischargeFXConstructor>(1, 30);
  glow.flag = 1;
  glow.centre.x.value = glow.centre.y.value = 45;
  glow.second_picture.key = {u"white", 0};
  glow.sprite_colour.value = 0x000000FF;
  glow.glow_mode.value = 1;
  glow.glow_brightness.value = 50;
  const std::shared_ptr<VRN_RenderObj> glowing = glow.CreateRenderObject();
  earlier->FrameMove(0);
  glowing->FrameMove(0);
  ASSERT_TRUE(glowing->NeedsBackground());

  ASSERT_TRUE(device->BeginScene());
  device->Clear(kClearTarget, 0xFF000000, 1, 0);
  ASSERT_TRUE(backdrop.BeginOffscreen());
  backdrop.DrawTexture(blue);
  int passes = 1;
  backdrop.RenderObjects({glowing, earlier}, passes);
  device->EndScene();
  const RgbaImage image = test::ReadBack(*device);
  // Screen: 1 − (1 − below)(1 − (0.5, 0, 0)).
  EXPECT_TRUE(test::ColorNear(test::PixelAt(image, 35, 35), 0xFF80FF00, 3)) << "over the green sprite";
  EXPECT_TRUE(test::ColorNear(test::PixelAt(image, 50, 50), 0xFF800040, 3)) << "over the picture";
  EXPECT_TRUE(test::ColorNear(test::PixelAt(image, 25, 25), 0xFF00FF00, 2)) << "the sprite outside the glow";
  EXPECT_TRUE(test::ColorNear(test::PixelAt(image, 100, 100), 0xFF000040, 2)) << "the picture elsewhere";
  white_texture.reset();
}

}  // namespace
}  // namespace lumi
