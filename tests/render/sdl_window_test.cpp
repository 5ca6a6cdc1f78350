#include <gtest/gtest.h>

#include <cstdlib>

#include "platform/gl/gl_context.h"
#include "render/gl/gl_device.h"
#include "tests/render/gl_test_support.h"

namespace lumi {
namespace {

TEST(RenderSdlWindow, PresentsTheBackBufferIntoAWindow) {
  // Without a display, SDL's off-screen driver still gives a window context.
  if (!std::getenv("DISPLAY")) setenv("SDL_VIDEODRIVER", "offscreen", 0);
  std::string error;
  const std::unique_ptr<GlContext> context =
      CreateSdlWindowGlContext({"lumisave test", -1, -1, 64, 48, false, false}, error);
  if (!context) GTEST_SKIP() << "no SDL window: " << error;
  EXPECT_TRUE(context->HasWindow());
  EXPECT_EQ(context->DrawableWidth(), 64u);
  auto device = CreateGlDevice(*context, 64, 48, error);
  ASSERT_TRUE(device) << error;
  ASSERT_TRUE(device->BeginScene());
  device->Clear(kClearTarget | kClearZBuffer, 0xff102030, 1, 0);
  device->EndScene();
  EXPECT_TRUE(device->Present()) << device->LastError();
  EXPECT_EQ(test::PixelAt(test::ReadBack(*device), 3, 3), 0xff102030u);
}

}  // namespace
}  // namespace lumi
