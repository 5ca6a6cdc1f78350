// The pictures the build draws for the executable's own resources.
#include <gtest/gtest.h>

#include <memory>
#include <set>

#include "platform/resource_lookup.h"

#define STB_IMAGE_IMPLEMENTATION
#include "stb_image.h"

namespace lumi {
namespace {

struct Decoded {
  int width = 0;
  int height = 0;
  std::unique_ptr<stbi_uc, void (*)(void*)> pixels{nullptr, stbi_image_free};

  // Grey level where the pixel is opaque, -1 where it is transparent.
  int At(int x, int y) const {
    const stbi_uc* p = pixels.get() + (static_cast<std::size_t>(y) * width + x) * 4;
    return p[3] == 0 ? -1 : p[0];
  }
};

Decoded Decode(std::uint16_t id) {
  const auto bytes = FindModuleResource(nullptr, PeResourceName(std::u16string_view(u"DDS")), id);
  Decoded decoded;
  if (!bytes) return decoded;
  int channels = 0;
  decoded.pixels.reset(stbi_load_from_memory(bytes->data(), static_cast<int>(bytes->size()), &decoded.width,
                                             &decoded.height, &channels, 4));
  return decoded;
}

TEST(BuiltInPictures, NoiseAndLoading) {
  const Decoded noise = Decode(2);
  ASSERT_TRUE(noise.pixels);
  std::set<int> levels;
  for (int i = 0; i < 512; ++i) levels.insert(noise.At(i, (i * 7) % 512));
  EXPECT_GT(levels.size(), 200u);

  const Decoded loading = Decode(5);
  ASSERT_TRUE(loading.pixels);
  int white = 0;
  for (int y = 0; y < loading.height; ++y) {
    for (int x = 0; x < loading.width; ++x) {
      const int level = loading.At(x, y);
      ASSERT_TRUE(level == 0 || level == 255) << x << "," << y;
      white += level == 255;
    }
  }
  // Text, on an opaque black ground, away from the edges.
  EXPECT_GT(white, 200);
  EXPECT_LT(white, loading.width * loading.height / 4);
  EXPECT_EQ(loading.At(0, 0), 0);
}

TEST(BuiltInPictures, MarkersPointTheirWay) {
  const Decoded right = Decode(66);
  ASSERT_TRUE(right.pixels);
  EXPECT_EQ(right.At(0, 0), 255);                          // tail: full breadth
  EXPECT_EQ(right.At(right.width - 1, 0), -1);             // tip: a point
  EXPECT_EQ(right.At(right.width - 1, right.height / 2), 255);

  const Decoded up = Decode(68);
  ASSERT_TRUE(up.pixels);
  EXPECT_EQ(up.At(0, up.height - 1), 255);
  EXPECT_EQ(up.At(0, 0), -1);
  EXPECT_EQ(up.At(up.width / 2, 0), 255);

  const Decoded frame = Decode(57);
  ASSERT_TRUE(frame.pixels);
  EXPECT_EQ(frame.width, 128);
  EXPECT_EQ(frame.height, 32);
  EXPECT_EQ(frame.At(0, 0), 255);
  EXPECT_EQ(frame.At(127, 31), 255);
  EXPECT_EQ(frame.At(64, 16), -1);

  const Decoded board = Decode(70);
  ASSERT_TRUE(board.pixels);
  // Four cells to a side.
  EXPECT_NE(board.At(0, 0), board.At(board.width / 4, 0));
  EXPECT_EQ(board.At(0, 0), board.At(board.width / 4, board.height / 4));
}

}  // namespace
}  // namespace lumi
