// Captions on a real device: a shadow lands at its distance beside the
// caption, and a scrolling caption moves, leaves its sprite and comes back
// within its period.
#include <gtest/gtest.h>

#include <vector>

#include "particles/particle_system_obj.h"
#include "scene/resource_access.h"
#include "sprites/sprite_array_obj.h"
#include "tests/particles/builtin_program_access.h"
#include "tests/render/gl_test_support.h"
#include "tests/render/test_backdrop.h"
#include "tests/text/caption_picture_id.h"
#include "text/caption_particles.h"
#include "text/caption_sprites.h"

namespace lumi {
namespace {

std::shared_ptr<Texture> caption_picture;

// 16 x 8 pixels, opaque white in the columns below `white_columns`,
// transparent elsewhere.
std::shared_ptr<Texture> Picture(GraphicsDevice& device, uint32_t white_columns) {
  std::vector<uint8_t> pixels(16 * 8 * 4, 0);
  for (uint32_t y = 0; y < 8; ++y) {
    for (uint32_t x = 0; x < white_columns; ++x) {
      for (int c = 0; c < 4; ++c) pixels[(y * 16 + x) * 4 + c] = 0xFF;
    }
  }
  auto texture = device.CreateTexture({16, 8});
  texture->WriteLevel(0, pixels.data(), pixels.size());
  return texture;
}

void UsePicture(std::shared_ptr<Texture> picture) {
  caption_picture = std::move(picture);
  DocumentResourceAccess().mask = [](const GUID& id) { return id == test::kCaptionPictureId ? caption_picture : nullptr; };
  DocumentResourceAccess().frames = [](const ResourceKey& key) {
    return key.name == u"caption" ? PictureFrames{{caption_picture}, {}, 16, 8, 0.5f, 1, 1} : PictureFrames{};
  };
  DocumentResourceAccess().metrics = nullptr;
}

RgbaImage Draw(GraphicsDevice& device, test::TestBackdrop& backdrop, VRN_RenderObj& object) {
  EXPECT_TRUE(device.BeginScene());
  device.Clear(kClearTarget, 0xFF000000, 1, 0);
  object.Render(backdrop);
  device.EndScene();
  return test::ReadBack(device);
}

TEST(CaptionPixels, ShadowSitsAtItsDistanceBesideTheCaption) {
  LUMI_REQUIRE_GL(device, 128, 128);
  test::TestBackdrop backdrop(*device, 128, 128);
  backdrop.RestoreDevice();
  test::BuiltinProgramAccess programs(*device);
  // The shadow shows where the picture is transparent: its last six columns.
  UsePicture(Picture(*device, 10));
  DS_StaticText caption;
  caption.look.textures.value.images.resize(1);
  caption.look.textures.value.images[0].key = {u"caption", 0};
  caption.look.colour.Set(0x00FFFFFF);
  // 64 x 32 from (32, 48): 4 screen pixels a texel.
  const Vector3 corners[4] = {{32, 48, 0}, {32, 80, 0}, {96, 48, 0}, {96, 80, 0}};
  for (int i = 0; i < 4; ++i) caption.area.corners[i].value = corners[i];
  caption.shadow_on.Set(1);
  caption.shadow_distance.Set(2);  // texels: 8 screen pixels to the right
  caption.shadow_colour.Set(0x000000FF);
  auto object = caption.CreateRenderObject();
  object->FrameMove(0);
  const RgbaImage image = Draw(*device, backdrop, *object);
  EXPECT_TRUE(test::ColorNear(test::PixelAt(image, 50, 64), 0xFFFFFFFF, 2)) << "the caption over its shadow";
  // The caption's columns end at 72; its shadow covers the next 8 pixels.
  const uint32_t beside = test::PixelAt(image, 76, 64);
  EXPECT_GT((beside >> 16) & 0xFF, 100u) << "red shadow right of the caption";
  EXPECT_LT((beside >> 8) & 0xFF, 30u);
  EXPECT_TRUE(test::ColorNear(test::PixelAt(image, 94, 64), 0xFF000000, 2)) << "nothing past the distance";
  EXPECT_TRUE(test::ColorNear(test::PixelAt(image, 28, 64), 0xFF000000, 2)) << "nothing on the other side";
}

TEST(CaptionPixels, ScrollingCaptionMovesLeavesAndReturnsWithinItsPeriod) {
  LUMI_REQUIRE_GL(device, 128, 128);
  test::TestBackdrop backdrop(*device, 128, 128);
  backdrop.RestoreDevice();
  test::BuiltinProgramAccess programs(*device);
  UsePicture(Picture(*device, 8));  // the left half
  DS_ScrollingTextConstructor caption;
  caption.left = caption.top = 0;
  caption.right = caption.bottom = 1;
  caption.transparency.Set(0);
  caption.sprite_colour.Set(0x00FFFFFF);
  caption.flag = 1;
  caption.position.value = {64, 64, 0};
  caption.width.Set(64);
  caption.height.Set(32);
  caption.picture_id = test::kCaptionPictureId;
  caption.direction.Set(2);
  caption.period.Set(4);
  auto made = caption.CreateRenderObject();
  auto& object = static_cast<DS_SpriteArrayObj&>(*made);
  // White columns seen on row 64 at motion-clock time t.
  const auto white_at = [&](float t, float& last) {
    for (; last < t - 1e-4f; last += 0.1f) object.FrameMove(last + 0.1f);
    const RgbaImage image = Draw(*device, backdrop, object);
    std::vector<uint32_t> white;
    for (uint32_t x = 0; x < 128; ++x) {
      if (((test::PixelAt(image, x, 64) >> 16) & 0xFF) > 128) white.push_back(x);
    }
    return white;
  };
  float last = 0;
  object.FrameMove(0);
  // Shift −0.25 at 1 s: the white half covers the sprite's first 16 pixels.
  const std::vector<uint32_t> at_1 = white_at(1, last);
  ASSERT_FALSE(at_1.empty());
  EXPECT_NEAR(at_1.front(), 32, 1);
  EXPECT_NEAR(at_1.back(), 47, 1);
  // Shift 0.5 at 2 s: it has moved to the sprite's right half.
  const std::vector<uint32_t> at_2 = white_at(2, last);
  ASSERT_FALSE(at_2.empty());
  EXPECT_NEAR(at_2.front(), 64, 1);
  EXPECT_NEAR(at_2.back(), 95, 1);
  EXPECT_TRUE(white_at(3, last).empty()) << "gone past the sprite's edge";
  EXPECT_EQ(white_at(5, last), at_1) << "back where it was one period earlier";
}

}  // namespace
}  // namespace lumi
