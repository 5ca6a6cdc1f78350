#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

#include "render/vertex_formats.h"
#include "scene/notices.h"
#include "tests/effects/effect_stage.h"

namespace lumi {
namespace {

using test::EffectStage;
using test::MakeWaterfall;

float Only(const std::vector<float>& values) { return values.size() == 1 ? values[0] : NAN; }

// Steps the clock to `phase` (speed 1) in frames of at most 0.2 s.
void PlayTo(EffectStage& stage, float phase) {
  for (float t = 0; t < phase; t = std::min(t + 0.2f, phase)) stage.Frame(t);
  stage.Frame(phase);
}

TEST(WaterfallDrawing, ThreeLayersAreStaggeredAndEachDrawKeepsItsOwnValues) {
  auto waterfall = MakeWaterfall();
  waterfall->layer_count.Set(3);
  waterfall->layer_opacity.Set(40);  // 0.6
  waterfall->angle.Set(270);         // (0, 1): down the screen
  waterfall->first_parameter.Set(50);  // flow length 0.2
  EffectStage stage;
  stage.Add(std::move(waterfall));
  stage.Start();
  stage.Frame(0);
  const auto waves = stage.DrawsOf("ColorWaves");
  ASSERT_EQ(waves.size(), 3u);
  const float f[3] = {0, 1.0f / 3, 2.0f / 3};
  for (size_t i = 0; i < 3; ++i) {
    EXPECT_NEAR(Only(waves[i]->Constant("transluency")), (1 - std::abs(2 * f[i] - 1)) * 0.6f, 1e-5f) << i;
    const std::vector<float> shift = waves[i]->Constant("shift");
    ASSERT_EQ(shift.size(), 2u);
    EXPECT_NEAR(shift[0], 0, 1e-6f);
    EXPECT_NEAR(shift[1], -f[i] * 0.2f, 1e-5f) << i;
  }
  EXPECT_EQ(stage.DrawsOf("Noise").size(), 1u);
  // At phase 0.5 the first layer has slid half its length.
  PlayTo(stage, 0.5f);
  const std::vector<float> shift = stage.DrawsOf("ColorWaves").front()->Constant("shift");
  EXPECT_NEAR(shift[0], 0, 1e-6f);
  EXPECT_NEAR(shift[1], -0.1f, 1e-5f);
}

TEST(WaterfallDrawing, NoiseAmplitudeZeroSkipsTheNoiseAndNoLayersSkipTheWaves) {
  auto noise_only = MakeWaterfall();
  EffectStage first;
  first.Add(std::move(noise_only));
  first.Start();
  first.Frame(0);
  EXPECT_EQ(first.DrawsOf("Noise").size(), 1u);
  EXPECT_TRUE(first.DrawsOf("ColorWaves").empty());

  auto waves_only = MakeWaterfall();
  waves_only->noise_amplitude.Set(0);
  waves_only->layer_count.Set(2);
  EffectStage second;
  second.Add(std::move(waves_only));
  second.Start();
  second.Frame(0);
  EXPECT_TRUE(second.DrawsOf("Noise").empty());
  EXPECT_EQ(second.DrawsOf("ColorWaves").size(), 2u);
}

TEST(WaterfallDrawing, TheNoiseStreamsAlongTheFlowAndStaysWithinOneTile) {
  auto waterfall = MakeWaterfall();
  waterfall->angle.Set(270);
  waterfall->pattern_scale.Set(0);  // counts as raw 1: s = 0.02
  EffectStage stage;
  stage.Add(std::move(waterfall));
  stage.Start();
  PlayTo(stage, 0.1f);
  const RecordedDraw& noise = *stage.DrawsOf("Noise").front();
  // −d × 0.1 × phase / s = (0, −0.5), handed over modulo 1.
  const std::vector<float> shift = noise.Constant("noise_shift");
  ASSERT_EQ(shift.size(), 2u);
  EXPECT_NEAR(shift[0], 0, 1e-5f);
  EXPECT_NEAR(shift[1], 0.5f, 1e-4f);
  const std::vector<float> scale = noise.Constant("bump_scale");
  ASSERT_EQ(scale.size(), 2u);
  EXPECT_NEAR(scale[0], 2 / 0.02f, 1e-2f);
  EXPECT_NEAR(scale[1], 1 / 0.02f, 1e-2f);
  EXPECT_NEAR(Only(noise.Constant("noise_amplitude")), 0.01f, 1e-6f);
}

TEST(WaterfallDrawing, TheRectangleMeshMapsPicturePixelsAndIsZeroWithoutAPicture) {
  for (const bool with_picture : {true, false}) {
    EffectStage stage(with_picture);
    stage.Add(MakeWaterfall());
    stage.Start();
    stage.Frame(0);
    const RecordedDraw& noise = *stage.DrawsOf("Noise").front();
    ASSERT_TRUE(noise.state.stream);
    std::vector<VertexPT> vertices(9);
    ASSERT_GE(noise.state.stream->Data().size(), sizeof(VertexPT) * 9);
    std::memcpy(vertices.data(), noise.state.stream->Data().data(), sizeof(VertexPT) * 9);
    // The middle of the 2 x 2 grid: pixel (32, 16) of the 64 x 32 picture.
    const VertexPT& middle = vertices[4];
    EXPECT_FLOAT_EQ(middle.x, 32);
    EXPECT_FLOAT_EQ(middle.y, 16);
    EXPECT_FLOAT_EQ(middle.u, with_picture ? 0.5f : 0.0f);
    EXPECT_FLOAT_EQ(middle.v, with_picture ? 0.5f : 0.0f);
    EXPECT_FLOAT_EQ(vertices[8].u, with_picture ? 0.75f : 0.0f);
  }
}

TEST(WaterfallDrawing, AHugeLayerCountDrawsAtMost256LayersWithOneNotice) {
  auto waterfall = MakeWaterfall();
  waterfall->layer_count.Set(4294967295u);
  EffectStage stage;
  stage.Add(std::move(waterfall));
  stage.Start();
  stage.Frame(0);
  EXPECT_EQ(stage.DrawsOf("ColorWaves").size(), DS_WaterfallFX::kMostLayers);
  size_t notices = 0;
  for (const std::string& notice : Notices()) notices += notice.find("4294967295 wave layers") != std::string::npos;
  EXPECT_EQ(notices, 1u);
}

TEST(WaterfallDrawing, AsAChainPassItFirstHandsThePictureOnOverTheWholeTarget) {
  for (const int drawing_off : {0, 1}) {
    auto waterfall = MakeWaterfall(1);
    waterfall->layer_count.Set(1);
    waterfall->drawing_off.Set(drawing_off);
    EffectStage stage;
    stage.Add(std::move(waterfall));
    stage.Start();
    stage.Frame(0);
    // After the picture into the chain: the chain's copy over the whole
    // screen, with blending off, before any water.
    const std::vector<RecordedDraw>& draws = stage.device.Draws();
    ASSERT_GE(draws.size(), 2u);
    const RecordedDraw& copy = draws[1];
    EXPECT_EQ(copy.state.pixelProgram, nullptr);
    EXPECT_EQ(copy.renderTarget, stage.device.GetBackBuffer());
    EXPECT_EQ(test::StateAt(copy, RenderState::AlphaBlendEnable), 0u);
    EXPECT_EQ(copy.state.textures[0], draws[0].renderTarget);
    EXPECT_EQ(copy.indexed, false);  // the picture quad, not the rectangle
    size_t rectangle_draws = 0;
    for (const RecordedDraw& draw : draws) rectangle_draws += draw.indexed;
    EXPECT_EQ(rectangle_draws, drawing_off ? 0u : 2u) << drawing_off;  // the noise and one layer
  }
}

TEST(WaterfallDrawing, ThreeChainedWaterfallsAlternateTheTargetsAndTheLastDrawsOnTheScreen) {
  EffectStage stage;
  for (int i = 0; i < 3; ++i) stage.Add(MakeWaterfall(1));
  stage.Start();
  stage.Frame(0);
  const auto noise = stage.DrawsOf("Noise");
  ASSERT_EQ(noise.size(), 3u);
  EXPECT_NE(noise[0]->renderTarget, noise[1]->renderTarget);
  EXPECT_NE(noise[0]->renderTarget, stage.device.GetBackBuffer());
  EXPECT_NE(noise[1]->renderTarget, stage.device.GetBackBuffer());
  EXPECT_EQ(noise[2]->renderTarget, stage.device.GetBackBuffer());
  // Each reads what the one before it drew.
  EXPECT_EQ(noise[1]->state.textures[0], noise[0]->renderTarget);
  EXPECT_EQ(noise[2]->state.textures[0], noise[1]->renderTarget);
}

}  // namespace
}  // namespace lumi
