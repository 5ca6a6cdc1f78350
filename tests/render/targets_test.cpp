#include <gtest/gtest.h>

#include "archive/file_io.h"

#include <algorithm>
#include <memory>

#include "programs/builtin_programs.h"
#include "render/blur_surface.h"
#include "render/prerender_surface.h"
#include "render/recording_device.h"
#include "render/target_pair.h"
#include "tests/render/gl_test_support.h"
#include "tests/render/test_backdrop.h"

namespace lumi {
namespace {

using test::MakeImage;
using test::PixelAt;

TEST(RenderLosable, RegistersWithTheCurrentDocumentUnderANewGuid) {
  RecordingDevice device(64, 64);
  LosableTable table;
  SetCurrentLosableRegistry(&table);
  {
    VRN_PrerenderSurface first(device), second(device);
    ASSERT_EQ(table.Size(), 2u);
    EXPECT_EQ(first.Name().size(), 38u);
    EXPECT_EQ(first.Name().front(), '{');
    EXPECT_EQ(first.Name()[15], '4');  // a random GUID
    EXPECT_NE(first.Name(), second.Name());
    first.width = second.width = 8;
    first.height = second.height = 8;
    table.RestoreAll();
    EXPECT_TRUE(first.Target() && second.Target());
    table.LoseAll();
    EXPECT_FALSE(first.Target() || second.Target());
  }
  EXPECT_EQ(table.Size(), 0u);
  SetCurrentLosableRegistry(nullptr);
  VRN_PrerenderSurface alone(device);
  EXPECT_EQ(table.Size(), 0u);
}

TEST(RenderLosable, AnObjectThatOutlivesItsRegistryLeavesNothingBehind) {
  // Render objects outlive their document's resources; the table going
  // first must not leave them a registry to leave.
  RecordingDevice device(64, 64);
  auto table = std::make_unique<LosableTable>();
  SetCurrentLosableRegistry(table.get());
  auto surface = std::make_unique<VRN_PrerenderSurface>(device);
  SetCurrentLosableRegistry(nullptr);
  ASSERT_EQ(table->Size(), 1u);
  table.reset();
  // Leaving would write into the freed table, which the sanitizers report.
  surface.reset();
}

TEST(RenderLosable, PrerenderSurfaceLosesAndRestoresItsTarget) {
  RecordingDevice device(64, 64);
  test::TestBackdrop backdrop(device, 64, 64);
  VRN_PrerenderSurface surface(device);
  surface.width = 32;
  surface.height = 16;
  surface.Restore();
  ASSERT_TRUE(surface.Target());
  EXPECT_TRUE(surface.Target()->IsRenderTarget());
  EXPECT_EQ(surface.Target()->GetPool(), Pool::Default);
  EXPECT_EQ(surface.Target()->Width(), 32u);
  device.ClearLog();
  surface.BeginDraw(backdrop);
  EXPECT_EQ(device.GetRenderTarget(), surface.Target());
  EXPECT_FALSE(device.GetDepthStencilSurface());
  EXPECT_EQ(backdrop.view.Mode(), PlacementMode::WholeTarget);
  EXPECT_EQ(device.Calls().back(), "Clear 3 00000000 1");
  EXPECT_EQ(surface.EndDraw(backdrop), surface.Target());
  EXPECT_EQ(device.GetRenderTarget(), device.GetBackBuffer());
  EXPECT_TRUE(device.GetDepthStencilSurface());
  EXPECT_EQ(backdrop.Depth(), 0u);
  surface.Lose();
  EXPECT_FALSE(surface.Target());
}

TEST(RenderBlur, SizesShrinkWithTheAmountDownToAFifth) {
  EXPECT_EQ(ComputeBlurSize(1920, 1080, 0), (BlurSize{1920, 1080}));
  EXPECT_EQ(ComputeBlurSize(1920, 1080, 50), (BlurSize{960, 540}));
  EXPECT_EQ(ComputeBlurSize(1920, 1080, 80), (BlurSize{384, 216}));
  EXPECT_EQ(ComputeBlurSize(1920, 1080, 100), (BlurSize{384, 216}));
  EXPECT_EQ(ComputeBlurSize(9, 3, 80), (BlurSize{1, 1}));  // 1.8 and 0.6 truncate below 2
  EXPECT_EQ(ComputeBlurSize(10, 10, 80), (BlurSize{2, 2}));
}

TEST(RenderBlur, RunsTwoPassesAndTwoMorePerIterationEndingInTextureA) {
  RecordingDevice device(64, 64);
  test::TestBackdrop backdrop(device, 64, 64);
  std::string message;
  auto program = Effect::Create(device, "blur", AsBytes(FindBuiltinProgram(202)->text), message);
  ASSERT_TRUE(program) << message;
  VRN_BlurSurface blur(device);
  blur.baseWidth = 100;
  blur.baseHeight = 50;
  blur.SetProgram(program);
  blur.SetBlurAmount(50);
  EXPECT_EQ(blur.Size(), (BlurSize{50, 25}));
  ASSERT_TRUE(blur.TextureA() && blur.TextureB());
  EXPECT_EQ(blur.TextureA()->Width(), 50u);
  ASSERT_TRUE(device.BeginScene());
  for (uint32_t iterations : {0u, 2u}) {
    device.ClearLog();
    blur.BeginDraw(backdrop);
    EXPECT_EQ(device.GetRenderTarget(), blur.TextureA());
    EXPECT_EQ(blur.EndBlur(backdrop, iterations), blur.TextureA());
    std::vector<std::string> passes;
    for (const RecordedDraw& draw : device.Draws()) passes.push_back(device.NameOf(draw.renderTarget.get()));
    const std::string a = device.NameOf(blur.TextureA().get()), b = device.NameOf(blur.TextureB().get());
    std::vector<std::string> expected = {b, a};
    for (uint32_t i = 0; i < iterations; ++i) expected.insert(expected.end(), {b, a});
    EXPECT_EQ(passes, expected);
    EXPECT_EQ(device.GetRenderTarget(), device.GetBackBuffer());
    EXPECT_EQ(program->Values("TexW"), std::vector<float>{50});
    EXPECT_EQ(program->Values("TexH"), std::vector<float>{25});
  }
  EXPECT_EQ(program->CurrentTechnique(), "GaussianBlurH");
  blur.Lose();
  EXPECT_FALSE(blur.TextureA());
  blur.Restore();
  EXPECT_TRUE(blur.TextureA());
}

TEST(RenderTargetPairs, CreateFailsOnZeroSizeAndHoldsNothing) {
  RecordingDevice device(64, 64);
  TargetPair pair;
  ASSERT_TRUE(pair.Create(device, 16, 8));
  EXPECT_TRUE(pair.Current());
  EXPECT_FALSE(pair.Create(device, 0, 8));
  EXPECT_FALSE(pair.Current());
  EXPECT_FALSE(pair.TextureAt(0));
  EXPECT_FALSE(pair.TextureAt(1));
}

TEST(RenderTargetPairs, PingPongBetweenTwoTargets) {
  LUMI_REQUIRE_GL(device, 32, 32);
  TargetPair pair;
  ASSERT_TRUE(pair.Create(*device, 32, 32));
  EXPECT_EQ(pair.Current(), pair.TextureAt(0));
  ASSERT_TRUE(device->BeginScene());
  device->SetRenderState(RenderState::ZEnable, 0);
  pair.BeginDraw(*device);
  EXPECT_EQ(device->GetRenderTarget(), pair.TextureAt(0));
  device->Clear(kClearTarget, 0xffff0000, 1, 0);
  // Flip: draw into the other texture, reading the red one at half colour.
  auto red = pair.Flip(*device);
  EXPECT_EQ(red, pair.TextureAt(0));
  EXPECT_EQ(device->GetRenderTarget(), pair.TextureAt(1));
  EXPECT_EQ(PixelAt(*device->ReadPixels(*pair.TextureAt(1)), 5, 5), 0xff000000u);  // cleared to opaque black
  device->SetTexture(0, red);
  test::DrawScreenRect(*device, 0, 0, 32, 16, 0xff808080);
  auto drawn = pair.Flip(*device);
  EXPECT_EQ(drawn, pair.TextureAt(1));
  EXPECT_EQ(pair.Current(), pair.TextureAt(0));  // flipping twice returns to the first
  device->SetTexture(0, drawn);
  test::DrawScreenRect(*device, 0, 0, 32, 32, 0xffffffff);
  pair.EndDraw(*device);
  EXPECT_EQ(device->GetRenderTarget(), device->GetBackBuffer());
  device->EndScene();
  const RgbaImage result = *device->ReadPixels(*pair.TextureAt(0));
  EXPECT_EQ(PixelAt(result, 5, 5), 0xff800000u);
  EXPECT_EQ(PixelAt(result, 5, 20), 0xff000000u);
}

TEST(RenderTargetPairs, CopyFromScalesASourceIntoTheCurrentTexture) {
  LUMI_REQUIRE_GL(device, 32, 32);
  auto source = test::MakeTexture(
      *device, MakeImage(2, 2, [](uint32_t x, uint32_t y) { return x == 0 && y == 0 ? 0xffff0000u : 0xff0000ffu; }));
  TargetPair pair;
  ASSERT_TRUE(pair.CopyFrom(*device, source.get(), 16, 16));
  const RgbaImage copy = *device->ReadPixels(*pair.Current());
  EXPECT_EQ(copy.width, 16u);
  EXPECT_EQ(PixelAt(copy, 1, 1), 0xffff0000u);
  EXPECT_EQ(PixelAt(copy, 14, 14), 0xff0000ffu);
}

TEST(RenderBlur, SpreadsAPointAndKeepsItsEnergy) {
  LUMI_REQUIRE_GL(device, 64, 64);
  test::TestBackdrop backdrop(*device, 64, 64);
  std::string message;
  auto program = Effect::Create(*device, "blur", AsBytes(FindBuiltinProgram(202)->text), message);
  ASSERT_TRUE(program) << message;
  VRN_BlurSurface blur(*device);
  blur.baseWidth = 64;
  blur.baseHeight = 64;
  blur.SetProgram(program);
  blur.Restore();
  ASSERT_TRUE(device->BeginScene());
  device->SetRenderState(RenderState::ZEnable, 0);
  blur.BeginDraw(backdrop);
  test::DrawScreenRect(*device, 31, 31, 33, 33, 0xffffffff);
  auto result = blur.EndBlur(backdrop, 1);
  device->EndScene();
  ASSERT_TRUE(result);
  const RgbaImage image = *device->ReadPixels(*result);
  double energy = 0;
  for (size_t i = 0; i < image.pixels.size(); i += 4) energy += image.pixels[i];
  EXPECT_NEAR(energy, 4 * 255.0, 4 * 255.0 * 0.06);
  const auto red = [&](uint32_t x, uint32_t y) { return image.pixels[(y * 64 + x) * 4]; };
  EXPECT_LT(red(31, 31), 255 / 3);
  EXPECT_GT(red(31, 31), red(34, 31));
  EXPECT_GT(red(35, 31), 0);
  EXPECT_GT(red(31, 35), 0);
  EXPECT_EQ(red(31, 31), red(32, 32));  // symmetric about the point
  EXPECT_EQ(red(10, 10), 0);
}

}  // namespace
}  // namespace lumi
