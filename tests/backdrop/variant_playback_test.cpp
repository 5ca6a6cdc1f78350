// The backdrop variants played as the saver plays them: their drawing order
// on the recording device, and their pictures on the headless device.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <numbers>
#include <ranges>

#include "backdrop/variants.h"
#include "render/recording_device.h"
#include "tests/backdrop/playback_support.h"
#include "tests/backdrop/probe_objects.h"
#include "tests/support/masked_slide.h"

namespace lumi {
namespace {

using test::Compare;

// One slide of the 1920 x 1200 lake photograph drawn by `backdrop`.
std::unique_ptr<Document> VariantSlide(std::shared_ptr<DS_2D_Light> backdrop) {
  return test::MaskedSlide("ColdRipple.jpg", test::Painted::Nothing, nullptr, 100, std::move(backdrop));
}

// The draws of the frame at 0.5 s, played on the recording device.
struct Recorded {
  explicit Recorded(std::shared_ptr<DS_2D_Light> backdrop) : document(VariantSlide(backdrop)), light(*backdrop) {
    SlidePlayer player(device, *document, PlacementMode::Fit);
    std::string error;
    for (const float t : {0.0f, 0.5f}) {
      device.ClearLog();
      player.Move(t);
      EXPECT_TRUE(player.DrawScene(error)) << error;
    }
    chain = {light.Chain().TextureAt(0).get(), light.Chain().TextureAt(1).get()};
  }
  bool DrewIntoChain() const {
    return std::ranges::any_of(device.Draws(), [&](const RecordedDraw& d) {
      return d.renderTarget.get() == chain[0] || d.renderTarget.get() == chain[1];
    });
  }
  // The last draw of a program technique.
  const RecordedDraw* LastOf(const std::string& technique) const {
    for (auto it = device.Draws().rbegin(); it != device.Draws().rend(); ++it) {
      const auto& program = it->state.pixelProgram;
      if (program && program->Source().name.find("/" + technique + "/") != std::string::npos) return &*it;
    }
    return nullptr;
  }

  RecordingDevice device{64, 40};
  std::unique_ptr<Document> document;
  DS_2D_Light& light;
  std::array<const Texture*, 2> chain{};
};

// A variant over a picture of a given size, without a device.
template <typename Variant>
struct Sized : Variant {
  Sized(uint32_t width, uint32_t height) { this->SetPicture({nullptr, width, height, height / float(width)}); }
};

void SetFireRectangle(DS_FireFX& fire) {
  const Vector3 corners[4] = {{700, 700, 0}, {700, 1200, 0}, {1200, 700, 0}, {1200, 1200, 0}};
  for (size_t i = 0; i < 4; ++i) fire.rectangle.corners[i].value = corners[i];
  fire.base_colour.Set(0x000060FF);
  fire.tip_colour.Set(0x0080FFFF);
}

TEST(UnderwaterBackdrop, WithoutEffectsTheSceneStillPassesTheChainAndIsDrawnDistorted) {
  auto underwater = std::make_shared<FakeUndervater>();
  Recorded frame(underwater);
  ASSERT_FALSE(frame.device.Draws().empty());
  EXPECT_EQ(frame.device.Draws().front().renderTarget.get(), frame.chain[0]);
  const RecordedDraw* distorted = frame.LastOf("Main");
  ASSERT_NE(distorted, nullptr);
  EXPECT_EQ(distorted->renderTarget, frame.device.GetBackBuffer());
  EXPECT_EQ(distorted->state.textures[0].get(), frame.chain[0]);  // "Background"
  EXPECT_FALSE(frame.light.InOffscreenPhase());
  EXPECT_EQ(DS_2D_Light::SavedTargetDepth(), 0u);
  std::vector<PlacedRect> areas;
  EXPECT_TRUE(frame.light.ReportArea(areas));
  EXPECT_EQ(areas, (std::vector<PlacedRect>{{0, 0, 1920, 1200}}));
}

TEST(UnderwaterBackdrop, AProgramWithoutTheEffectsTechniqueShowsTheSceneAsItIs) {
  auto underwater = std::make_shared<FakeUndervater>();
  underwater->underwater.program.key = CommonResource(105);  // the waterfall's
  Recorded frame(underwater);
  const std::vector<RecordedDraw>& draws = frame.device.Draws();
  const auto onto_screen = std::find_if(draws.rbegin(), draws.rend(), [&](const RecordedDraw& d) {
    return d.state.textures[0].get() == frame.chain[0];
  });
  ASSERT_NE(onto_screen, draws.rend());
  EXPECT_EQ(onto_screen->renderTarget, frame.device.GetBackBuffer());
  EXPECT_EQ(onto_screen->state.pixelProgram, nullptr);
}

TEST(FlameBackdrop, WithoutShimmerTheFireDrawsWithoutTheChain) {
  auto flame = std::make_shared<DS_FlameLight>();
  flame->shimmer_on.Set(0);
  SetFireRectangle(flame->fire);
  Recorded frame(flame);
  EXPECT_FALSE(frame.DrewIntoChain());
  const RecordedDraw* fire = frame.LastOf("Main");
  ASSERT_NE(fire, nullptr);
  EXPECT_EQ(fire->renderTarget, frame.device.GetBackBuffer());
  EXPECT_FALSE(fire->Constant("ColorK1").empty());
  EXPECT_EQ(frame.LastOf(DS_FlameLight::kShimmerTechnique), nullptr);
}

TEST(FlameBackdrop, TheShimmerBandReadsTheFinishedSceneWithTheDefaultParameters) {
  auto flame = std::make_shared<DS_FlameLight>();
  flame->fire_on.Set(0);
  Recorded frame(flame);
  const RecordedDraw* band = frame.LastOf(DS_FlameLight::kShimmerTechnique);
  ASSERT_NE(band, nullptr);
  EXPECT_EQ(band->renderTarget, frame.device.GetBackBuffer());
  EXPECT_EQ(band->state.textures[0].get(), frame.chain[0]);
  EXPECT_FLOAT_EQ(band->Constant("stenght").at(0), 0.0025f);
  const std::vector<float> bump_scale = band->Constant("bump_scale");
  ASSERT_EQ(bump_scale.size(), 2u);
  EXPECT_FLOAT_EQ(bump_scale[0], 0.208f);
  EXPECT_FLOAT_EQ(bump_scale[1], 0.208f * 1200 / 1920);
  // The band moves with its own clock: a step of at most 0.2 s, at 0.05.
  EXPECT_FLOAT_EQ(band->Constant("Offset").at(0), 0.01f);
  EXPECT_FALSE(frame.light.InOffscreenPhase());
}

TEST(FlameBackdrop, TheBandEndsBelowThePictureByItsPosition) {
  Sized<DS_FlameLight> flame(1000, 800);
  EXPECT_EQ(flame.BandSpan(), (std::array<float, 2>{280, 800}));
  flame.band_position.Set(20);
  EXPECT_EQ(flame.BandSpan(), (std::array<float, 2>{360, 880}));
}

TEST(LakeBackdrop, MirroredBandHazeAndReflectionSides) {
  Sized<FakeLake2D> lake(1000, 800);
  const std::array<VertexPT2, 6> v = lake.SurfaceVertices();
  EXPECT_FLOAT_EQ(v[0].y, 500);             // the horizon
  EXPECT_FLOAT_EQ(v[1].v1 * 800, 200);      // the bottom edge shows row 200
  EXPECT_FLOAT_EQ(v[2].u0, 1);              // bump coordinates run to b
  EXPECT_EQ(lake.HazeAlphas(), (std::array<uint32_t, 2>{63, 26}));
  EXPECT_EQ(lake.BumpRotation(), (std::array<float, 4>{0.04f, 0, 0, 0.04f}));
  lake.lake_height.Set(0);  // the lower half mirrors the upper exactly
  EXPECT_FLOAT_EQ(lake.SurfaceVertices()[0].y, 400);
  EXPECT_FLOAT_EQ(lake.SurfaceVertices()[1].v1, 0);
  const std::pair<int, uint32_t> sides[] = {{0, 128}, {1, 256}, {2, 512}, {7, 16384}, {20, 16384}, {31, 16384}, {-3, 128}};
  for (const auto& [exponent, side] : sides) {
    lake.reflection_size_exponent.Set(exponent);
    EXPECT_EQ(lake.ReflectionSide(), side) << exponent;
  }
}

TEST(WaterRingBackdrop, DropsFollowTheRateAndARateOfZeroNeverDrops) {
  DS_WaterRingLight rings;
  EXPECT_FALSE(rings.DropDue(1.9f));
  EXPECT_TRUE(rings.DropDue(2.1f));  // 0.5 a second
  EXPECT_FALSE(rings.DropDue(3.0f));
  EXPECT_FALSE(rings.DropDue(1.0f));  // an earlier time only restarts the clock
  EXPECT_TRUE(rings.DropDue(3.1f));
  rings.drop_rate.Set(0);
  for (const float t : {5.0f, 100.0f, 1e9f}) EXPECT_FALSE(rings.DropDue(t));
}

TEST(WaterRingBackdrop, InSceneModeOneTheFinishedSceneIsDrawnThroughTheGrid) {
  auto rings = std::make_shared<DS_WaterRingLight>();
  rings->scene_mode.Set(1);
  Recorded frame(rings);
  EXPECT_EQ(frame.device.Draws().front().renderTarget.get(), frame.chain[0]);
  const std::vector<RecordedDraw>& draws = frame.device.Draws();
  const auto indexed = std::find_if(draws.rbegin(), draws.rend(), [](const RecordedDraw& d) { return d.indexed; });
  ASSERT_NE(indexed, draws.rend());
  const RecordedDraw& grid = *indexed;
  EXPECT_EQ(grid.renderTarget, frame.device.GetBackBuffer());
  EXPECT_TRUE(grid.indexed);
  EXPECT_EQ(grid.primitiveCount, 2u * 127 * 79);  // the 16:10 picture's 128 x 80 grid
  EXPECT_EQ(grid.state.textures[0].get(), frame.chain[0]);
  EXPECT_FALSE(frame.light.InOffscreenPhase());
}

// Where effects put the chain on the screen, the grid inside the chain is
// placed as the picture is there, over the whole target without the
// camera: the effect's pass brings the camera once, so switching to a
// placement that keeps it inside the chain would apply it twice. After the
// chain the user's own placement holds, not another one.
TEST(WaterRingBackdrop, InsideTheChainTheGridIsPlacedWithoutTheCameraAndTheUsersPlacementComesBack) {
  auto rings = std::make_shared<DS_WaterRingLight>();
  rings->camera.mode.Set(DSM_Camera::kRandom);
  const std::unique_ptr<Document> document = VariantSlide(rings);
  auto reader = test::MakeProbe(true), below = test::MakeProbe(false);
  const auto effect = reader->draws, inside = below->draws;
  document->show->slides[0]->objects.push_back(std::move(reader));  // drawn last
  document->show->slides[0]->objects.push_back(std::move(below));
  RecordingDevice device(64, 40);
  SlidePlayer player(device, *document, PlacementMode::Fill);
  std::string error;
  for (const float t : {0.0f, 2.5f}) {
    device.ClearLog();
    player.Move(t);
    ASSERT_TRUE(player.DrawScene(error)) << error;
  }
  ASSERT_FALSE(inside->empty());
  ASSERT_FALSE(effect->empty());
  EXPECT_EQ(inside->back().mode, PlacementMode::WholeTarget);
  EXPECT_EQ(effect->back().mode, PlacementMode::Fill);
  EXPECT_EQ(rings->ModeInForce(), PlacementMode::Fill);
  const std::vector<RecordedDraw>& draws = device.Draws();
  const auto grid = std::find_if(draws.begin(), draws.end(), [](const RecordedDraw& d) { return d.indexed; });
  ASSERT_NE(grid, draws.end());
  EXPECT_EQ(grid->renderTarget, rings->Chain().TextureAt(0));
  EXPECT_EQ(grid->state.world, Matrix::Identity()) << "no camera inside the chain";
}

TEST(GlassBallBackdrop, GeneratedTexturesEyeAndSway) {
  const std::vector<uint8_t> mask = DS_GlassBallLight::CircleMask();
  EXPECT_EQ(mask[512 * 1024 + 512], 0);
  EXPECT_EQ(mask[0], 255);
  EXPECT_EQ(mask.back(), 255);
  const std::vector<uint32_t> bump = DS_GlassBallLight::HemisphereBump();
  EXPECT_EQ(bump[128 * 256 + 255], 0u);  // the last column
  const auto u = [&](size_t i, size_t j) { return static_cast<int16_t>(bump[i * 256 + j] & 0xFFFF); };
  const auto v = [&](size_t i, size_t j) { return static_cast<int16_t>(bump[i * 256 + j] >> 16); };
  EXPECT_GT(u(128, 200), 0);  // the right side falls away to the right
  EXPECT_LT(u(128, 60), 0);
  // The last row falls to the height 0 below it, never to a row 256.
  EXPECT_EQ(v(255, 128), static_cast<int16_t>(std::atan(std::sqrt(255.0)) * 25600 / (std::numbers::pi / 2)));
  const std::vector<uint32_t> gradient = DS_GlassBallLight::Gradient(0x000000FF, 0x00FF0000);
  EXPECT_EQ(gradient.front(), 0x00FF0000u);  // red at the top, ARGB with alpha 0
  EXPECT_EQ(gradient.back(), 0x000000FFu);   // blue at the bottom
  DS_GlassBallLight ball;
  EXPECT_FLOAT_EQ(ball.EyeDistance(1, 1), -600);
  EXPECT_EQ(ball.EyeDistance(0, 1), 0);  // an empty quad shows no ball
  EXPECT_FLOAT_EQ(DS_GlassBallLight::Sway(0), 1);
  EXPECT_FLOAT_EQ(DS_GlassBallLight::Sway(0.5), 0);
  EXPECT_FLOAT_EQ(DS_GlassBallLight::Sway(1), -1);
}

TEST(GlassBallBackdrop, TheSharedClockNeverRunsBackOrJumps) {
  DS_GlassBallLight ball;
  ball.UpdateCamera(5);
  const double before = ball.SharedTotal();
  ball.UpdateCamera(5.1f);
  const double step = ball.SharedTotal() - before;
  EXPECT_NEAR(step, 0.1 * 0.99 * 0.0625, 1e-6);
  ball.UpdateCamera(0);  // the next slide starts at 0
  EXPECT_DOUBLE_EQ(ball.SharedTotal(), before + step);
  ball.UpdateCamera(100);  // a stall
  EXPECT_NEAR(ball.SharedTotal(), before + step + 0.2 * 0.99 * 0.0625, 1e-6);
}

// Rendered: 128 x 80 shows the 16:10 picture whole.
constexpr uint32_t kVariantWidth = 128, kVariantHeight = 80;

TEST(VariantPictures, UnderWaterTheWholeSceneWobbles) {
  LUMI_REQUIRE_GL(device, kVariantWidth, kVariantHeight);
  auto plain = VariantSlide(nullptr);
  const RgbaImage picture = test::FrameAt(*device, *plain, 1);
  auto make = [] {
    auto underwater = std::make_shared<FakeUndervater>();
    underwater->underwater.amplitude.Set(300);
    return VariantSlide(underwater);
  };
  auto first = make(), second = make();
  const RgbaImage early = test::FrameAt(*device, *first, 1), later = test::FrameAt(*device, *second, 1.5f);
  EXPECT_GT(Compare(early, picture, 0, kVariantWidth).mean, 1.0);
  EXPECT_GT(Compare(later, early, 0, kVariantWidth).mean, 0.5);
}

TEST(VariantPictures, TheShimmerChangesOnlyTheBand) {
  LUMI_REQUIRE_GL(device, kVariantWidth, kVariantHeight);
  // The chain's resampling alone changes pixels: compare with a band of no
  // strength.
  const auto frame = [&](unsigned int strength) {
    auto flame = std::make_shared<DS_FlameLight>();
    flame->fire_on.Set(0);
    flame->shimmer_strength.Set(strength);
    auto document = VariantSlide(flame);
    return test::FrameAt(*device, *document, 1);
  };
  const RgbaImage still = frame(0), shimmer = frame(400);
  // The band starts 35% down the picture (row 28) and fades in below it.
  EXPECT_LE(Compare(test::Rows(shimmer, 0, 28), test::Rows(still, 0, 28), 0, kVariantWidth).largest, 1);
  EXPECT_GT(Compare(test::Rows(shimmer, 50, 80), test::Rows(still, 50, 80), 0, kVariantWidth).mean, 1.0);
  auto plain = VariantSlide(nullptr);
  EXPECT_LT(Compare(still, test::FrameAt(*device, *plain, 1), 0, kVariantWidth).mean, 4.0) << "the scene, not black";
}

// Mean channel difference between each row of the band [top, bottom) and
// the row mirrored about `axis`.
double MirrorDifference(const RgbaImage& image, uint32_t top, uint32_t bottom, float axis) {
  double sum = 0;
  size_t count = 0;
  for (uint32_t y = top; y < bottom; ++y) {
    const auto mirrored = static_cast<uint32_t>(2 * axis - static_cast<float>(y) - 1);
    for (uint32_t x = 0; x < image.width; ++x) {
      for (int c = 0; c < 3; ++c) {
        sum += std::abs(image.pixels[(size_t{y} * image.width + x) * 4 + c] -
                        image.pixels[(size_t{mirrored} * image.width + x) * 4 + c]);
        ++count;
      }
    }
  }
  return sum / static_cast<double>(count);
}

TEST(VariantPictures, TheLakesLowerHalfMirrorsTheUpper) {
  LUMI_REQUIRE_GL(device, kVariantWidth, kVariantHeight);
  auto plain = VariantSlide(nullptr);
  const RgbaImage picture = test::FrameAt(*device, *plain, 0.5f);
  auto lake = std::make_shared<FakeLake2D>();
  lake->lake_height.Set(0);
  lake->haze_opacity.Set(0);
  auto lake_document = VariantSlide(lake);
  const RgbaImage mirrored = test::FrameAt(*device, *lake_document, 0.5f);
  // Rows near the horizon are left out: the reflection is a reduced copy.
  const double lake_difference = MirrorDifference(mirrored, 44, 78, 40);
  EXPECT_LT(lake_difference, 8.0);
  EXPECT_GT(MirrorDifference(picture, 44, 78, 40), lake_difference + 10);
  EXPECT_LE(Compare(test::Rows(mirrored, 0, 38), test::Rows(picture, 0, 38), 0, kVariantWidth).largest, 1);
}

TEST(VariantPictures, RingsSpreadFromADrop) {
  LUMI_REQUIRE_GL(device, kVariantWidth, kVariantHeight);
  const auto frame = [&](float t) {
    auto rings = std::make_shared<DS_WaterRingLight>();
    rings->drop_rate.Set(0);  // the one drop at the start
    rings->drop_depth.Set(100);
    auto document = VariantSlide(rings);
    return test::FrameAt(*device, *document, t);
  };
  // The width of what moved in a tenth of a second: the ring's front.
  const auto spread = [&](float t) {
    const RgbaImage before = frame(t), after = frame(t + 0.1f);
    int left = kVariantWidth, right = -1;
    for (uint32_t y = 0; y < kVariantHeight; ++y) {
      for (uint32_t x = 0; x < kVariantWidth; ++x) {
        const size_t i = (size_t{y} * kVariantWidth + x) * 4 + 1;
        if (std::abs(before.pixels[i] - after.pixels[i]) > 3) left = std::min<int>(left, x), right = std::max<int>(right, x);
      }
    }
    return right - left;
  };
  const int early = spread(0.2f), later = spread(1.0f);
  EXPECT_GT(early, 0);
  EXPECT_GT(later, early + 10);
}

TEST(VariantPictures, TheBallsCircleHidesTheSurroundings) {
  LUMI_REQUIRE_GL(device, kVariantWidth, kVariantHeight);
  auto ball = std::make_shared<DS_GlassBallLight>();
  ball->top_colour.Set(0x000000FF);  // red all over
  ball->bottom_colour.Set(0x000000FF);
  ball->highlight_1_on.Set(0);
  ball->highlight_2_on.Set(0);
  ball->motion_mode.Set(0);
  ball->SetPlacement(PlacementMode::Fit);
  auto document = VariantSlide(ball);
  const RgbaImage frame = test::FrameAt(*device, *document, 0.5f);
  const auto red = [&](uint32_t x, uint32_t y) { return test::ColorNear(test::PixelAt(frame, x, y) | 0xFF000000, 0xFFFF0000, 2); };
  // The ball of radius 0.515 × 40 rows about the middle; its square's
  // corners lie outside the circle.
  EXPECT_TRUE(red(2, 2));
  EXPECT_TRUE(red(64 - 18, 40 - 18));
  EXPECT_TRUE(red(64 + 18, 40 + 18));
  EXPECT_FALSE(red(64, 40));
  EXPECT_FALSE(red(64 - 8, 40 + 5));
}

// The lowest row holding a lit pixel; -1 for none.
int LowestLitRow(const RgbaImage& image) {
  for (int y = static_cast<int>(image.height) - 1; y >= 0; --y) {
    for (uint32_t x = 0; x < image.width; ++x) {
      if (image.pixels[(static_cast<size_t>(y) * image.width + x) * 4 + 1] > 60) return y;
    }
  }
  return -1;
}

TEST(VariantPictures, GlyphsRainDownOverBlack) {
  LUMI_REQUIRE_GL(device, kVariantWidth, kVariantHeight);
  const auto frame = [&](float t) {
    auto rain = std::make_shared<DS_MatrixCodeLight>();
    rain->picture_mode.Set(1);
    rain->insert_mode.Set(0);
    rain->density.Set(100);
    rain->cell_size.Set(40);
    rain->normal_colour.Set(0x0000FF00);
    rain->highlight_colour.Set(0x00FFFFFF);
    auto document = VariantSlide(rain);
    return test::FrameAt(*device, *document, t);
  };
  // One tick a frame, one cell (two rows of the screen) a tick.
  const int early = LowestLitRow(frame(0.8f)), later = LowestLitRow(frame(2.4f));
  EXPECT_GE(early, 0);
  EXPECT_LT(early, 26);
  EXPECT_GT(later, early + 10);
}

}  // namespace
}  // namespace lumi
