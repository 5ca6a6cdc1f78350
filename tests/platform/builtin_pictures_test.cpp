// The pictures the build draws for the executable's own resources.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <memory>

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
  // Smooth noise over the whole range of grey: neighbours differ a little,
  // never in a checker pattern.
  const Decoded noise = Decode(2);
  ASSERT_TRUE(noise.pixels);
  int lowest = 255, highest = 0;
  double step = 0;
  for (int y = 0; y < 512; ++y) {
    for (int x = 0; x + 1 < 512; ++x) {
      lowest = std::min(lowest, noise.At(x, y));
      highest = std::max(highest, noise.At(x, y));
      step += std::abs(noise.At(x + 1, y) - noise.At(x, y));
    }
  }
  EXPECT_LT(lowest, 30);
  EXPECT_GT(highest, 225);
  EXPECT_LT(step / (512 * 511), 4.0) << "mean step between neighbours";

  // Antialiased text on an opaque black square, away from the edges.
  const Decoded loading = Decode(5);
  ASSERT_TRUE(loading.pixels);
  EXPECT_EQ(loading.width, loading.height);
  int white = 0;
  for (int y = 0; y < loading.height; ++y) {
    for (int x = 0; x < loading.width; ++x) white += loading.At(x, y) > 200;
  }
  EXPECT_GT(white, 500);
  EXPECT_LT(white, loading.width * loading.height / 8);
  EXPECT_EQ(loading.At(0, 0), 0);
  EXPECT_EQ(loading.At(loading.width / 2, 0), 0);
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
