// Playing a document on the headless device and comparing its frames.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "backdrop/slide_player.h"
#include "params/random.h"
#include "tests/render/gl_test_support.h"

namespace lumi::test {

// The frame at time `end`, played at 10 frames a second from a fixed seed,
// the device lost before the frame at `lose_at` (never for a negative time).
inline RgbaImage FrameAt(GraphicsDevice& device, Document& document, float end, float lose_at = -1) {
  SeedRand(1);
  SlidePlayer player(device, document, PlacementMode::Fit);
  std::string error;
  for (int frame = 0; frame <= static_cast<int>(end * 10 + 0.5f); ++frame) {
    const float t = static_cast<float>(frame) / 10;
    if (lose_at >= 0 && std::abs(t - lose_at) < 0.01f) {
      EXPECT_TRUE(player.LoseAndRestore(error)) << error;
    }
    player.Move(t);
    EXPECT_TRUE(player.Draw(error)) << error;
  }
  return ReadBack(device);
}

// Mean and largest difference per colour channel between two frames over
// the columns [left, right), leaving out `margin` rows at the top and bottom.
struct Difference {
  double mean = 0;
  int largest = 0;
};
inline Difference Compare(const RgbaImage& a, const RgbaImage& b, uint32_t left, uint32_t right, uint32_t margin = 0) {
  Difference d;
  size_t count = 0;
  for (uint32_t y = margin; y + margin < a.height; ++y) {
    for (uint32_t x = left; x < right; ++x) {
      for (int c = 0; c < 3; ++c) {
        const size_t i = (static_cast<size_t>(y) * a.width + x) * 4 + c;
        const int step = std::abs(static_cast<int>(a.pixels[i]) - static_cast<int>(b.pixels[i]));
        d.mean += step;
        d.largest = std::max(d.largest, step);
        ++count;
      }
    }
  }
  d.mean /= static_cast<double>(std::max<size_t>(count, 1));
  return d;
}

// The rows [top, bottom) of a frame.
inline RgbaImage Rows(const RgbaImage& image, uint32_t top, uint32_t bottom) {
  RgbaImage part{image.width, bottom - top, {}};
  part.pixels.assign(image.pixels.begin() + size_t{top} * image.width * 4,
                     image.pixels.begin() + size_t{bottom} * image.width * 4);
  return part;
}

}  // namespace lumi::test
