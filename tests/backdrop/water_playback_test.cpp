#include <gtest/gtest.h>

#include "effects/water_effects.h"
#include "tests/backdrop/playback_support.h"
#include "tests/support/masked_slide.h"

namespace lumi {
namespace {

using test::Painted;

// A stream covers the whole picture; a dry stream's rectangle has no size.
enum class Water { None, Lake, Stream, DryStream };

// One slide of the lake photograph with one water effect.
std::unique_ptr<Document> MakeDocument(Water water, int uses_background, Painted painted) {
  std::unique_ptr<DS_FX_Constructor> effect;
  if (water == Water::Lake) {
    auto lake = std::make_unique<DS_WaterFX>();
    lake->shimmer_amplitude.Set(60);
    effect = std::move(lake);
  } else if (water == Water::Stream || water == Water::DryStream) {
    auto stream = std::make_unique<DS_WaterfallFX>();
    stream->program.key = CommonResource(105);
    stream->noise_map.key = CommonResource(62);
    stream->noise_amplitude.Set(400);
    stream->layer_count.Set(3);
    stream->threshold.Set(400);
    stream->base_colour.Set(0xffffff);
    stream->first_parameter.Set(50);
    fx::ResetSlider(stream->speed, 50, 0.02f);
    // The whole 1920 x 1200 picture.
    const Vector3 corners[4] = {{0, 0, 0}, {0, 1200, 0}, {1920, 0, 0}, {1920, 1200, 0}};
    for (size_t i = 0; i < 4; ++i) stream->rectangle.corners[i].value = water == Water::Stream ? corners[i] : corners[0];
    effect = std::move(stream);
  }
  if (effect) effect->uses_background.Set(uses_background);
  return test::MaskedSlide("ColdRipple.jpg", painted, std::move(effect));
}

RgbaImage FrameAt(GraphicsDevice& device, Document& document, float end, float lose_at = -1) {
  return test::FrameAt(device, document, end, lose_at);
}

// The picture's rows without 8 at the top and bottom.
double MeanDifference(const RgbaImage& a, const RgbaImage& b, uint32_t left, uint32_t right) {
  return test::Compare(a, b, left, right, 8).mean;
}
int LargestDifference(const RgbaImage& a, const RgbaImage& b, uint32_t left, uint32_t right) {
  return test::Compare(a, b, left, right, 8).largest;
}

// The 96 x 64 screen shows the 16:10 picture from x = 0 to 96 (fitted);
// the painted half is x < 48. Columns near the edge are left out.
constexpr uint32_t kWaterInsideEnd = 40, kWaterOutsideStart = 56, kWidth = 96;

TEST(WaterPlayback, TheLakeRipplesOnlyWhereItWasPainted) {
  LUMI_REQUIRE_GL(device, kWidth, 64);
  auto plain = MakeDocument(Water::None, 0, Painted::Nothing);
  const RgbaImage picture = FrameAt(*device, *plain, 1);
  auto lake = MakeDocument(Water::Lake, 0, Painted::LeftHalf);
  const RgbaImage at_one = FrameAt(*device, *lake, 1);
  EXPECT_GT(MeanDifference(at_one, picture, 0, kWaterInsideEnd), 1.0);
  EXPECT_LE(LargestDifference(at_one, picture, kWaterOutsideStart, kWidth), 1);
  // Half a second later the water has moved; the rest has not.
  auto again = MakeDocument(Water::Lake, 0, Painted::LeftHalf);
  const RgbaImage later = FrameAt(*device, *again, 1.5f);
  EXPECT_GT(MeanDifference(later, at_one, 0, kWaterInsideEnd), 0.5);
  EXPECT_LE(LargestDifference(later, at_one, kWaterOutsideStart, kWidth), 1);
}

TEST(WaterPlayback, AStreamWithoutSizeLeavesThePictureAlone) {
  LUMI_REQUIRE_GL(device, kWidth, 64);
  auto plain = MakeDocument(Water::None, 0, Painted::Nothing);
  auto dry = MakeDocument(Water::DryStream, 0, Painted::LeftHalf);
  EXPECT_TRUE(test::ImagesMatch("water-dry-stream", FrameAt(*device, *dry, 1), FrameAt(*device, *plain, 1), 0));
}

TEST(WaterPlayback, AsChainPassesLakeAndStreamChangeOnlyThePaintedPart) {
  LUMI_REQUIRE_GL(device, kWidth, 64);
  for (const Water water : {Water::Lake, Water::Stream}) {
    // The chain's resampling alone changes pixels: compare with the same
    // slide over an empty mask.
    auto unpainted = MakeDocument(water, 1, Painted::Nothing);
    const RgbaImage expected = FrameAt(*device, *unpainted, 1);
    auto painted = MakeDocument(water, 1, Painted::LeftHalf);
    const RgbaImage actual = FrameAt(*device, *painted, 1);
    EXPECT_GT(MeanDifference(actual, expected, 0, kWaterInsideEnd), 1.0) << static_cast<int>(water);
    EXPECT_LE(LargestDifference(actual, expected, kWaterOutsideStart, kWidth), 1) << static_cast<int>(water);
    // And the picture is there, not the chain's black.
    auto plain = MakeDocument(Water::None, 0, Painted::Nothing);
    const RgbaImage picture = FrameAt(*device, *plain, 1);
    EXPECT_LT(MeanDifference(expected, picture, 0, kWidth), 8.0) << static_cast<int>(water);
    // The chain at the screen's size (a software rasteriser's) looks like
    // the supersampled one; on a screen this small the second resampling
    // of the picture shows most.
    device->SetQuality(RenderQuality::Best);
    auto best = MakeDocument(water, 1, Painted::LeftHalf);
    const RgbaImage best_frame = FrameAt(*device, *best, 1);
    device->SetQuality(RenderQuality::Fastest);
    auto fastest = MakeDocument(water, 1, Painted::LeftHalf);
    const RgbaImage fastest_frame = FrameAt(*device, *fastest, 1);
    device->SetQuality(RenderQuality::Automatic);
    EXPECT_LT(MeanDifference(fastest_frame, best_frame, 0, kWidth), 5.0) << static_cast<int>(water);
  }
}

TEST(WaterPlayback, ADeviceLossAfterAChainFrameRestoresTheSameFrame) {
  LUMI_REQUIRE_GL(device, kWidth, 64);
  auto steady = MakeDocument(Water::Stream, 1, Painted::LeftHalf);
  const RgbaImage expected = FrameAt(*device, *steady, 1.5f);
  auto lost = MakeDocument(Water::Stream, 1, Painted::LeftHalf);
  const RgbaImage after_loss = FrameAt(*device, *lost, 1.5f, 1.0f);
  EXPECT_TRUE(test::ImagesMatch("water-device-loss", after_loss, expected, 0));
}

}  // namespace
}  // namespace lumi
