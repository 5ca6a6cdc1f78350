#include <gtest/gtest.h>

#include "render/target_pair.h"
#include "tests/render/gl_test_support.h"

namespace lumi {
namespace {

using test::MakeImage;

// A frame that goes through an off-screen target: a managed picture is
// drawn into a default-pool target, which is then drawn to the back
// buffer at half brightness beside the picture itself.
RgbaImage DrawFrame(GraphicsDevice& device, const std::shared_ptr<Texture>& picture, TargetPair& pair) {
  EXPECT_TRUE(device.BeginScene());
  device.SetRenderState(RenderState::ZEnable, 0);
  pair.BeginDraw(device);
  device.Clear(kClearTarget, 0xff000000, 1, 0);
  device.SetTexture(0, picture);
  test::DrawScreenRect(device, 0, 0, 32, 32, 0xffffffff);
  pair.EndDraw(device);
  device.Clear(kClearTarget | kClearZBuffer, 0xff202020, 1, 0);
  device.SetTexture(0, pair.Current());
  test::DrawScreenRect(device, 0, 0, 32, 64, 0xff808080);
  device.SetTexture(0, picture);
  test::DrawScreenRect(device, 32, 0, 64, 64, 0xffffffff);
  EXPECT_TRUE(device.EndScene());
  EXPECT_TRUE(device.Present());
  return test::ReadBack(device);
}

TEST(RenderDeviceLoss, ALostAndRestoredDeviceDrawsTheSameImage) {
  LUMI_REQUIRE_GL(device, 64, 64);
  auto picture = test::MakeTexture(
      *device, MakeImage(4, 4, [](uint32_t x, uint32_t y) { return (x + y) % 2 ? 0xffff8000u : 0xff0040ffu; }));
  TargetPair pair;
  ASSERT_TRUE(pair.Create(*device, 32, 32));
  const RgbaImage before = DrawFrame(*device, picture, pair);

  device->LoseDevice();
  EXPECT_EQ(device->TestCooperativeLevel(), DeviceState::NotReset);
  EXPECT_TRUE(pair.Current()->IsLost());
  EXPECT_FALSE(picture->IsLost());
  EXPECT_FALSE(device->BeginScene());
  EXPECT_FALSE(device->Present());
  EXPECT_FALSE(device->Reset());  // the pair still holds its targets
  pair.Release();
  ASSERT_TRUE(device->Reset()) << device->LastError();
  ASSERT_TRUE(pair.Create(*device, 32, 32));
  const RgbaImage after = DrawFrame(*device, picture, pair);
  EXPECT_TRUE(test::ImagesMatch("lost-and-restored", after, before, 0));
  // The frame really drew something: half-bright target and picture.
  EXPECT_EQ(test::PixelAt(after, 40, 8), 0xffff8000u);
  EXPECT_NE(test::PixelAt(after, 8, 8), 0xff202020u);
}

TEST(RenderDeviceLoss, ManagedBuffersComeBackWithTheirContents) {
  LUMI_REQUIRE_GL(device, 16, 16);
  const VertexScreenPC quad[4] = {
      {0, 16, 0, 1, 0xff00ff00}, {0, 0, 0, 1, 0xff00ff00}, {16, 16, 0, 1, 0xff00ff00}, {16, 0, 0, 1, 0xff00ff00}};
  auto managed = device->CreateVertexBuffer(sizeof quad, kBufferWriteOnly, Pool::Managed);
  auto dynamic = device->CreateVertexBuffer(sizeof quad, kBufferDynamic, Pool::Default);
  std::memcpy(managed->Lock(0, 0), quad, sizeof quad);
  managed->Unlock();
  device->LoseDevice();
  EXPECT_TRUE(dynamic->IsLost());
  EXPECT_FALSE(dynamic->Lock(0, 0));
  dynamic.reset();
  ASSERT_TRUE(device->Reset()) << device->LastError();
  ASSERT_TRUE(device->BeginScene());
  device->Clear(kClearTarget, 0xff000000, 1, 0);
  device->SetRenderState(RenderState::ZEnable, 0);
  device->SetVertexFormat(VertexFormat::ScreenPC);
  device->SetStreamSource(managed);
  EXPECT_TRUE(device->DrawPrimitive(PrimitiveType::TriangleStrip, 0, 2)) << device->LastError();
  device->EndScene();
  EXPECT_EQ(test::PixelAt(test::ReadBack(*device), 8, 8), 0xff00ff00u);
}

}  // namespace
}  // namespace lumi
