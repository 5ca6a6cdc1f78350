#include <gtest/gtest.h>

#include "tests/render/gl_test_support.h"

namespace lumi {
namespace {

using test::ImagesMatch;
using test::MakeImage;
using test::PixelAt;

TEST(RenderGlDevice, ClearsAndReadsBackWithRowsTopFirst) {
  LUMI_REQUIRE_GL(device, 64, 32);
  EXPECT_NE(device->RendererName().find("OpenGL"), std::string::npos);
  ASSERT_TRUE(device->BeginScene());
  ASSERT_TRUE(device->Clear(kClearTarget | kClearZBuffer, 0xff336699, 1, 0));
  device->SetRenderState(RenderState::ZEnable, 0);
  device->SetRenderState(RenderState::CullMode, static_cast<uint32_t>(Cull::None));
  test::DrawScreenRect(*device, 0, 0, 64, 8, 0xffff0000);
  ASSERT_TRUE(device->EndScene());
  const RgbaImage image = test::ReadBack(*device);
  const RgbaImage expected = MakeImage(64, 32, [](uint32_t, uint32_t y) { return y < 8 ? 0xffff0000u : 0xff336699u; });
  EXPECT_TRUE(ImagesMatch("clear-and-top-band", image, expected, 0));
}

// Two slots in turn each hand over the frame drawn before their copy
// started, rows top first like ReadPixels, even after the next frame drew.
TEST(RenderGlDevice, ReadbackSlotsHandOverTheFrameDrawnBeforeTheirStart) {
  LUMI_REQUIRE_GL(device, 48, 16);
  const auto draw = [&](uint32_t band) {
    ASSERT_TRUE(device->BeginScene());
    ASSERT_TRUE(device->Clear(kClearTarget | kClearZBuffer, 0xff102030, 1, 0));
    device->SetRenderState(RenderState::ZEnable, 0);
    device->SetRenderState(RenderState::CullMode, static_cast<uint32_t>(Cull::None));
    test::DrawScreenRect(*device, 0, 0, 48, 4, band);
    ASSERT_TRUE(device->EndScene());
  };
  const auto expected = [](uint32_t band) {
    return MakeImage(48, 16, [band](uint32_t, uint32_t y) { return y < 4 ? band : 0xff102030u; });
  };
  Texture& back = *device->GetBackBuffer();
  draw(0xffff0000);
  ASSERT_TRUE(device->StartReadback(back, 0));
  draw(0xff00ff00);
  ASSERT_TRUE(device->StartReadback(back, 1));
  draw(0xff0000ff);
  EXPECT_FALSE(device->StartReadback(back, 0)) << "slot 0 is still pending";
  const auto first = device->FinishReadback(0);
  ASSERT_TRUE(first) << device->LastError();
  EXPECT_TRUE(ImagesMatch("readback-slot-0", *first, expected(0xffff0000), 0));
  ASSERT_TRUE(device->StartReadback(back, 0));
  // The third comes into the first one's storage, overwritten whole.
  const auto second = device->FinishReadback(1), third = device->FinishReadback(0, first->pixels);
  ASSERT_TRUE(second && third);
  EXPECT_TRUE(ImagesMatch("readback-slot-1", *second, expected(0xff00ff00), 0));
  EXPECT_TRUE(ImagesMatch("readback-again", *third, *device->ReadPixels(back), 0));
  EXPECT_FALSE(device->FinishReadback(0)) << "taken already";
  EXPECT_FALSE(device->StartReadback(back, GraphicsDevice::kReadbackSlots));
  // A reset drops what was on its way.
  ASSERT_TRUE(device->StartReadback(*device->GetBackBuffer(), 1));
  ASSERT_TRUE(device->Reset());
  EXPECT_FALSE(device->FinishReadback(1));
}

}  // namespace
}  // namespace lumi
