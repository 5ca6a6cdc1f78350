// DXT pictures against libsquish, and pictures loaded as textures of the
// OpenGL device.
#include <gtest/gtest.h>
#include <squish.h>

#include <cstring>
#include <random>

#include "render/decoded_picture.h"
#include "render/dxt_decoder.h"
#include "render/picture_loader.h"
#include "tests/render/gl_test_support.h"

namespace lumi {
namespace {

using test::Bytes;
using test::DdsHeader;
using test::Encode;
using test::Gif;

Bytes CompressedDds(const RgbaImage& image, int squishFlag, const char* fourCc) {
  Bytes file = DdsHeader(image.width, image.height, 1, 0x4, fourCc);
  Bytes blocks(
      squish::GetStorageRequirements(static_cast<int>(image.width), static_cast<int>(image.height), squishFlag));
  squish::CompressImage(image.pixels.data(), static_cast<int>(image.width), static_cast<int>(image.height),
                        blocks.data(), squishFlag);
  file.insert(file.end(), blocks.begin(), blocks.end());
  return file;
}

TEST(RenderDxt, BlockDecoderAgreesWithLibsquish) {
  std::mt19937 random(1234);
  const std::pair<TextureFormat, int> formats[] = {
      {TextureFormat::DXT1, squish::kDxt1}, {TextureFormat::DXT3, squish::kDxt3}, {TextureFormat::DXT5, squish::kDxt5}};
  for (const auto& [format, flag] : formats) {
    for (int trial = 0; trial < 300; ++trial) {
      uint8_t block[16];
      for (uint8_t& byte : block) byte = static_cast<uint8_t>(random());
      if (trial % 2) std::swap(block[flag == squish::kDxt1 ? 0 : 8], block[flag == squish::kDxt1 ? 2 : 10]);
      uint8_t ours[64], theirs[64];
      DecodeDxtBlock(format, block, ours);
      squish::Decompress(theirs, block, flag);
      ASSERT_EQ(0, std::memcmp(ours, theirs, 64)) << FormatName(format) << " trial " << trial;
    }
  }
  const uint8_t short_data[4] = {};
  EXPECT_FALSE(DecodeDxtImage(TextureFormat::DXT1, 8, 8, short_data, sizeof short_data));
}

TEST(RenderDxt, CompressedTexturesDrawWhatLibsquishDecodes) {
  for (const bool compressed : {true, false}) {
    auto device = test::MakeGlDevice(16, 8, compressed);
    if (!device) GTEST_SKIP() << "no headless OpenGL on this machine";
    const RgbaImage sample = test::GradientPicture();
    const std::tuple<const char*, int> kinds[] = {
        {"DXT1", squish::kDxt1}, {"DXT3", squish::kDxt3}, {"DXT5", squish::kDxt5}};
    for (const auto& [fourCc, flag] : kinds) {
      const Bytes file = CompressedDds(sample, flag, fourCc);
      std::string message;
      const LoadedPicture picture = LoadPicture(*device, file, {}, message);
      ASSERT_FALSE(picture.Empty()) << message;
      EXPECT_EQ(picture.width, 16u);
      RgbaImage expected{16, 8, std::vector<uint8_t>(16 * 8 * 4)};
      squish::DecompressImage(expected.pixels.data(), 16, 8, file.data() + 128, flag);
      ASSERT_TRUE(device->BeginScene());
      device->Clear(kClearTarget, 0, 1, 0);
      device->SetRenderState(RenderState::ZEnable, 0);
      device->SetTexture(0, picture.frames[0]);
      test::DrawScreenRect(*device, 0, 0, 16, 8, 0xffffffff);
      device->EndScene();
      EXPECT_TRUE(test::ImagesMatch(std::string("dds-") + fourCc + (compressed ? "" : "-decoded"),
                                    test::ReadBack(*device), expected, compressed ? 2 : 0));
    }
  }
}

TEST(RenderPictures, LoadPictureMakesTexturesOfTheSourceSize) {
  LUMI_REQUIRE_GL(device, 16, 16);
  std::string message;
  const LoadedPicture png = LoadPicture(*device, Encode(test::GradientPicture(), "png"), {Pool::Managed, 0}, message);
  ASSERT_FALSE(png.Empty()) << message;
  EXPECT_EQ(png.width, 16u);
  EXPECT_EQ(png.height, 8u);
  EXPECT_EQ(png.frames[0]->Levels(), 5u);
  const LoadedPicture gif = LoadPicture(*device, Gif({0, 1}, {5, 7}), {}, message);
  ASSERT_EQ(gif.frames.size(), 2u) << message;
  EXPECT_EQ(gif.delaysMs, (std::vector<uint32_t>{50, 70}));
  EXPECT_EQ(gif.frames[1]->Width(), 2u);
}

}  // namespace
}  // namespace lumi
