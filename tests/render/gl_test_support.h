// A headless OpenGL device for the tests, and image comparison that leaves
// the actual, expected and difference pictures behind when it fails.
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>

#include "render/device.h"
#include "tests/support/picture_files.h"

namespace lumi {
class GlContext;
}

namespace lumi::test {

// This system's headless context set up for tests (gl_test_context_<system>.cpp).
std::unique_ptr<GlContext> CreateTestGlContext(std::string& error);

// One headless context for the whole test program; each call makes a new
// device on it. Null (and the test is skipped) without headless OpenGL.
std::unique_ptr<GraphicsDevice> MakeGlDevice(uint32_t width, uint32_t height, bool compressedTextures = true);

#define LUMI_REQUIRE_GL(device, width, height)             \
  auto device = ::lumi::test::MakeGlDevice(width, height); \
  if (!device) GTEST_SKIP() << "no headless OpenGL on this machine"

uint32_t PixelAt(const RgbaImage& image, uint32_t x, uint32_t y);
// Two 0xAARRGGBB colours alike within tolerance in every channel.
::testing::AssertionResult ColorNear(uint32_t actual, uint32_t expected, int tolerance = 1);

// Compares every channel within tolerance; on failure writes
// <name>-actual.png, -expected.png and -diff.png under the build folder.
::testing::AssertionResult ImagesMatch(const std::string& name, const RgbaImage& actual, const RgbaImage& expected,
                                       int tolerance);

// Draws the back buffer of the device and returns it.
RgbaImage ReadBack(GraphicsDevice& device);

// A managed A8R8G8B8 texture filled from 0xAARRGGBB pixels.
std::shared_ptr<Texture> MakeTexture(GraphicsDevice& device, const RgbaImage& image);

// Draws a pre-transformed textured rectangle covering (x0, y0)-(x1, y1) in
// target pixels with the given vertex colour.
void DrawScreenRect(GraphicsDevice& device, float x0, float y0, float x1, float y1, uint32_t color);

}  // namespace lumi::test
