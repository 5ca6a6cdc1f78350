#include "tests/render/gl_test_support.h"

#include <stb_image_write.h>

#include <cstdlib>
#include <filesystem>

#include "platform/gl/gl_context.h"
#include "render/gl/gl_device.h"

namespace lumi::test {

std::unique_ptr<GraphicsDevice> MakeGlDevice(uint32_t width, uint32_t height, bool compressedTextures) {
  // Torn down at exit, before the leak checker's look at the threads.
  static const std::unique_ptr<GlContext> context = [] {
    std::string error;
    auto made = CreateTestGlContext(error);
    if (!made) std::fprintf(stderr, "headless OpenGL unavailable: %s\n", error.c_str());
    return made;
  }();
  if (!context) return nullptr;
  std::string error;
  auto device = CreateGlDevice(*context, width, height, error, {compressedTextures});
  EXPECT_TRUE(device) << error;
  return device;
}

uint32_t PixelAt(const RgbaImage& image, uint32_t x, uint32_t y) {
  const uint8_t* p = &image.pixels[(size_t{y} * image.width + x) * 4];
  return Argb(p[3], p[0], p[1], p[2]);
}

::testing::AssertionResult ColorNear(uint32_t actual, uint32_t expected, int tolerance) {
  for (int shift = 0; shift < 32; shift += 8) {
    const int a = (actual >> shift) & 255, e = (expected >> shift) & 255;
    if (std::abs(a - e) > tolerance) {
      char text[64];
      std::snprintf(text, sizeof text, "%08x, expected %08x", actual, expected);
      return ::testing::AssertionFailure() << text;
    }
  }
  return ::testing::AssertionSuccess();
}

::testing::AssertionResult ImagesMatch(const std::string& name, const RgbaImage& actual, const RgbaImage& expected,
                                       int tolerance) {
  if (actual.width != expected.width || actual.height != expected.height) {
    return ::testing::AssertionFailure() << name << ": size " << actual.width << "x" << actual.height << ", expected "
                                         << expected.width << "x" << expected.height;
  }
  RgbaImage diff{actual.width, actual.height, std::vector<uint8_t>(actual.pixels.size())};
  size_t bad = 0;
  int worst = 0;
  uint32_t firstX = 0, firstY = 0;
  for (size_t i = 0; i < actual.pixels.size(); i += 4) {
    int pixelWorst = 0;
    for (size_t c = 0; c < 4; ++c)
      pixelWorst = std::max(pixelWorst, std::abs(actual.pixels[i + c] - expected.pixels[i + c]));
    diff.pixels[i] = diff.pixels[i + 1] = diff.pixels[i + 2] = static_cast<uint8_t>(std::min(255, pixelWorst * 8));
    diff.pixels[i + 3] = 255;
    if (pixelWorst > tolerance) {
      if (bad++ == 0) {
        firstX = static_cast<uint32_t>(i / 4 % actual.width);
        firstY = static_cast<uint32_t>(i / 4 / actual.width);
      }
    }
    worst = std::max(worst, pixelWorst);
  }
  if (bad == 0) return ::testing::AssertionSuccess();
  const std::filesystem::path folder = std::filesystem::path(LUMI_BINARY_DIR) / "test-output" / "render";
  std::filesystem::create_directories(folder);
  const auto write = [&](const char* suffix, const RgbaImage& image) {
    const std::string path = (folder / (name + suffix)).string();
    stbi_write_png(path.c_str(), static_cast<int>(image.width), static_cast<int>(image.height), 4, image.pixels.data(),
                   static_cast<int>(image.width * 4));
  };
  write("-actual.png", actual);
  write("-expected.png", expected);
  write("-diff.png", diff);
  char first[64];
  std::snprintf(first, sizeof first, "%08x, expected %08x", PixelAt(actual, firstX, firstY),
                PixelAt(expected, firstX, firstY));
  return ::testing::AssertionFailure() << name << ": " << bad << " pixels off by more than " << tolerance << " (worst "
                                       << worst << "); first at (" << firstX << ", " << firstY << ") is " << first
                                       << "; pictures in " << folder.string();
}

RgbaImage ReadBack(GraphicsDevice& device) {
  auto image = device.ReadPixels(*device.GetBackBuffer());
  EXPECT_TRUE(image) << device.LastError();
  return image ? *image : RgbaImage{};
}

std::shared_ptr<Texture> MakeTexture(GraphicsDevice& device, const RgbaImage& image) {
  auto texture =
      device.CreateTexture({image.width, image.height, 1, TextureFormat::A8R8G8B8, kUsageNone, Pool::Managed});
  EXPECT_TRUE(texture) << device.LastError();
  if (!texture) return nullptr;
  std::vector<uint8_t> bgra(image.pixels);
  for (size_t i = 0; i < bgra.size(); i += 4) std::swap(bgra[i], bgra[i + 2]);
  EXPECT_TRUE(texture->WriteLevel(0, bgra.data(), bgra.size()));
  return texture;
}

void DrawScreenRect(GraphicsDevice& device, float x0, float y0, float x1, float y1, uint32_t color) {
  const VertexScreenPCT quad[4] = {{x0, y1, 0, 1, color, 0, 1},
                                   {x0, y0, 0, 1, color, 0, 0},
                                   {x1, y1, 0, 1, color, 1, 1},
                                   {x1, y0, 0, 1, color, 1, 0}};
  auto buffer = device.CreateVertexBuffer(sizeof quad, kBufferWriteOnly, Pool::Managed);
  ASSERT_TRUE(buffer);
  std::memcpy(buffer->Lock(0, 0), quad, sizeof quad);
  buffer->Unlock();
  device.SetVertexFormat(VertexFormat::ScreenPCT);
  device.SetStreamSource(buffer);
  EXPECT_TRUE(device.DrawPrimitive(PrimitiveType::TriangleStrip, 0, 2)) << device.LastError();
}

}  // namespace lumi::test
