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

}  // namespace
}  // namespace lumi
