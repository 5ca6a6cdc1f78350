#include <gtest/gtest.h>

#include <cstring>
#include <random>

#include "render/decoded_picture.h"
#include "render/picture_loader.h"
#include "render/recording_device.h"
#include "tests/support/picture_files.h"

namespace lumi {
namespace {

using test::Bytes;
using test::DdsHeader;
using test::Encode;
using test::Gif;
using test::Put32;

// A DXT5 file of arbitrary blocks: every block pattern is a picture.
Bytes RandomDxt5Dds(uint32_t width, uint32_t height, std::mt19937& random) {
  Bytes file = DdsHeader(width, height, 1, 0x4, "DXT5");
  for (uint32_t i = 0; i < width * height; ++i) file.push_back(static_cast<uint8_t>(random()));
  return file;
}

TEST(RenderPictures, DecodesPngBmpTgaAndJpegKeepingTheirSize) {
  const RgbaImage sample = test::GradientPicture();
  for (const char* kind : {"png", "bmp", "tga", "jpg"}) {
    std::string error;
    const auto picture = DecodePicture(Encode(sample, kind), error);
    ASSERT_TRUE(picture) << kind << ": " << error;
    EXPECT_EQ(picture->width, 16u);
    EXPECT_EQ(picture->height, 8u);
    ASSERT_EQ(picture->frames.size(), 1u);
    const auto& bgra = picture->frames[0].levels[0];
    ASSERT_EQ(bgra.size(), 16u * 8 * 4);
    const bool lossy = std::string(kind) == "jpg";
    // Pixel (12, 5): B, G, R as A8R8G8B8 memory.
    const size_t at = (5 * 16 + 12) * 4;
    EXPECT_NEAR(bgra[at + 0], 0x80, lossy ? 12 : 0) << kind;
    EXPECT_NEAR(bgra[at + 1], 5 * 32, lossy ? 12 : 0) << kind;
    EXPECT_NEAR(bgra[at + 2], 12 * 16, lossy ? 12 : 0) << kind;
    if (!lossy) {
      EXPECT_EQ(bgra[3], 0x40) << kind;
    }
  }
}

TEST(RenderPictures, DecodesEveryGifFrameWithItsDelay) {
  std::string error;
  const auto picture = DecodePicture(Gif({0, 2, 3}, {10, 25, 4}), error);
  ASSERT_TRUE(picture) << error;
  ASSERT_EQ(picture->frames.size(), 3u);
  EXPECT_EQ(picture->frames[0].delayMs, 100u);
  EXPECT_EQ(picture->frames[1].delayMs, 250u);
  EXPECT_EQ(picture->frames[2].delayMs, 40u);
  EXPECT_EQ(picture->frames[0].levels[0][2], 255);  // red in B, G, R, A order
  EXPECT_EQ(picture->frames[1].levels[0][0], 255);  // blue
  EXPECT_EQ(picture->frames[2].levels[0][1], 255);  // white
  EXPECT_EQ(picture->frames[2].levels[0][2], 255);
  Bytes huge = Gif({0}, {1});
  huge[6] = huge[8] = 0xff;  // claims 65535 x 65535
  huge[7] = huge[9] = 0xff;
  EXPECT_FALSE(DecodePicture(huge, error));
  huge[7] = huge[9] = 0x17;  // 6143 x 6143
  EXPECT_FALSE(DecodePicture(huge, error));
  EXPECT_EQ(error, "animated picture size 6143 x 6143 is out of range");
}

TEST(RenderPictures, BrokenPicturesGiveAClearMessage) {
  std::string error;
  EXPECT_FALSE(DecodePicture({}, error));
  EXPECT_EQ(error, "the picture is empty");
  const Bytes noise = {1, 2, 3, 4, 5, 6, 7, 8, 9};
  EXPECT_FALSE(DecodePicture(noise, error));
  EXPECT_NE(error.find("not a picture"), std::string::npos) << error;
  Bytes png = Encode(test::GradientPicture(), "png");
  png.resize(png.size() / 2);
  EXPECT_FALSE(DecodePicture(png, error));
  EXPECT_FALSE(error.empty());
  Bytes jpeg = Encode(test::GradientPicture(), "jpg");
  jpeg.resize(40);
  EXPECT_FALSE(DecodePicture(jpeg, error));
  EXPECT_FALSE(error.empty());
  RecordingDevice device(16, 16);
  std::string message;
  const LoadedPicture loaded = LoadPicture(device, noise, {}, message);
  EXPECT_TRUE(loaded.Empty());
  EXPECT_EQ(message.rfind("picture of 9 bytes: ", 0), 0u) << message;
}

TEST(RenderDds, ReadsUncompressedLevelsAndBumpMaps) {
  Bytes file = DdsHeader(4, 2, 3, 0x41, nullptr, 32, {0xff0000, 0xff00, 0xff, 0xff000000});
  for (uint8_t i = 0; i < (8 + 2 + 1) * 4; ++i) file.push_back(i);
  std::string error;
  auto picture = ReadDds(file, error);
  ASSERT_TRUE(picture) << error;
  EXPECT_EQ(picture->format, TextureFormat::A8R8G8B8);
  ASSERT_EQ(picture->frames[0].levels.size(), 3u);
  EXPECT_EQ(picture->frames[0].levels[1], (Bytes{32, 33, 34, 35, 36, 37, 38, 39}));

  Bytes rgb = DdsHeader(2, 1, 1, 0x40, nullptr, 24, {0xff0000, 0xff00, 0xff, 0});
  rgb.insert(rgb.end(), {0x10, 0x20, 0x30, 0x40, 0x50, 0x60});
  picture = ReadDds(rgb, error);
  ASSERT_TRUE(picture) << error;
  EXPECT_EQ(picture->frames[0].levels[0], (Bytes{0x10, 0x20, 0x30, 0xff, 0x40, 0x50, 0x60, 0xff}));

  Bytes r5g6b5 = DdsHeader(1, 1, 1, 0x40, nullptr, 16, {0xf800, 0x07e0, 0x001f, 0});
  r5g6b5.insert(r5g6b5.end(), {0x1f, 0xf8});  // full red and blue, no green
  picture = ReadDds(r5g6b5, error);
  ASSERT_TRUE(picture) << error;
  EXPECT_EQ(picture->frames[0].levels[0], (Bytes{255, 0, 255, 255}));

  Bytes bump = DdsHeader(2, 2, 1, 0x80000, nullptr, 16, {0xff, 0xff00, 0, 0});
  bump.insert(bump.end(), {1, 2, 3, 4, 5, 6, 7, 8});
  picture = ReadDds(bump, error);
  ASSERT_TRUE(picture) << error;
  EXPECT_EQ(picture->format, TextureFormat::V8U8);
  EXPECT_EQ(picture->frames[0].levels[0], (Bytes{1, 2, 3, 4, 5, 6, 7, 8}));
}

TEST(RenderDds, RefusesWhatItCannotReadAndKeepsCompleteLevels) {
  std::string error;
  Bytes file = DdsHeader(8, 8, 4, 0x4, "DXT1");
  file.resize(file.size() + 32 + 8);  // level 0 and level 1, no more
  auto picture = ReadDds(file, error);
  ASSERT_TRUE(picture) << error;
  EXPECT_EQ(picture->frames[0].levels.size(), 2u);
  file.resize(128 + 20);
  EXPECT_FALSE(ReadDds(file, error));
  EXPECT_EQ(error, "DDS file is truncated: its first level needs 32 bytes, 20 remain");
  EXPECT_FALSE(ReadDds(DdsHeader(8, 8, 1, 0x4, "ATI2"), error));
  EXPECT_EQ(error, "DDS compression \"ATI2\" is not supported");
  EXPECT_FALSE(ReadDds(DdsHeader(0, 8, 1, 0x4, "DXT1"), error));
  EXPECT_FALSE(ReadDds(DdsHeader(70000, 70000, 1, 0x4, "DXT1"), error));
  EXPECT_EQ(error, "DDS size 70000 x 70000 is out of range");
  Bytes cube = DdsHeader(8, 8, 1, 0x4, "DXT1");
  Put32(cube, 112, 0x200);
  EXPECT_FALSE(ReadDds(cube, error));
  EXPECT_FALSE(ReadDds(Bytes(100, 0), error));
  Bytes wrongSize = DdsHeader(8, 8, 1, 0x4, "DXT1");
  Put32(wrongSize, 4, 100);
  EXPECT_FALSE(ReadDds(wrongSize, error));
}

}  // namespace
}  // namespace lumi

namespace lumi {
namespace {

// Damaged files of every kind decode or fail with a message, never crash
// (run under the sanitizers to catch reads out of bounds).
TEST(RenderPictures, SurvivesDamagedFiles) {
  std::mt19937 random(99);
  const std::vector<Bytes> files = {Encode(test::GradientPicture(), "png"), Encode(test::GradientPicture(), "jpg"), Encode(test::GradientPicture(), "bmp"),
                                    Gif({0, 1, 2}, {1, 2, 3}), RandomDxt5Dds(16, 8, random)};
  int failures = 0;
  for (const Bytes& original : files) {
    for (int trial = 0; trial < 60; ++trial) {
      Bytes damaged = original;
      if (trial % 3 == 0) damaged.resize(random() % damaged.size());
      for (int flips = 0; flips < 4 && !damaged.empty(); ++flips) {
        damaged[random() % damaged.size()] = static_cast<uint8_t>(random());
      }
      std::string error;
      if (!DecodePicture(damaged, error)) {
        ++failures;
        EXPECT_FALSE(error.empty());
      }
    }
  }
  EXPECT_GT(failures, 0);
}

}  // namespace
}  // namespace lumi
