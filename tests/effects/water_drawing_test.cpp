#include <gtest/gtest.h>

#include <cmath>

#include "tests/effects/effect_stage.h"

namespace lumi {
namespace {

using test::EffectStage;
using test::ExpectValues;
using test::MakeWater;

bool AllFinite(const std::vector<float>& values) {
  for (float v : values) {
    if (!std::isfinite(v)) return false;
  }
  return true;
}

// The one water draw of a frame at time t of a stage holding `water`.
struct OneWater {
  explicit OneWater(std::unique_ptr<DS_WaterFX> water, bool with_picture = true) : stage(with_picture) {
    stage.Add(std::move(water));
    stage.Start();
  }
  RecordedDraw Draw(float t, std::string_view technique = "Main") {
    stage.Frame(t);
    const auto draws = stage.DrawsOf(technique);
    EXPECT_EQ(draws.size(), 1u);
    return draws.empty() ? RecordedDraw{} : *draws.front();
  }
  EffectStage stage;
};

TEST(WaterDrawing, TheDefaultsGiveTheProgramAGentleDriftOverThePicture) {
  OneWater one(MakeWater());
  const RecordedDraw draw = one.Draw(0);
  ExpectValues(draw.Constant("P1"), {-0.998f, -1, -0.998f});
  ExpectValues(draw.Constant("P2"), {1, 1.03267f, 1});
  const float dx = 0.766044f, dy = 0.642788f;
  ExpectValues(draw.Constant("Direction1"), {dx * -45.4545f, dy * -45.4545f}, 1e-3f);
  ExpectValues(draw.Constant("Direction2"), {dx * -0.0025f, dy * -0.0025f}, 1e-6f);
  ExpectValues(draw.Constant("BampTrans"), {0.02f, 0, 0, 0.02f});
  ExpectValues(draw.Constant("Time"), {0});
  ExpectValues(draw.Constant("Vhalf"), {1 / std::sqrt(5.0f), 2 / std::sqrt(5.0f), 0});
  ExpectValues(draw.Constant("Color"), {1, 1, 1});
  // A 64 x 32 picture (a = 2) and pattern scale 0.6.
  ExpectValues(draw.Constant("Scale"), {2 / 0.6f, 1 / 0.6f});
  // Blended over the picture on the screen, reading the picture and the mask.
  EXPECT_EQ(draw.renderTarget, one.stage.device.GetBackBuffer());
  EXPECT_EQ(test::StateAt(draw, RenderState::AlphaBlendEnable), 1u);
  EXPECT_EQ(test::StateAt(draw, RenderState::SrcBlend), static_cast<uint32_t>(Blend::SrcAlpha));
  EXPECT_EQ(test::StateAt(draw, RenderState::DestBlend), static_cast<uint32_t>(Blend::InvSrcAlpha));
  EXPECT_EQ(draw.state.textures[0], one.stage.picture);
  EXPECT_EQ(draw.state.textures[1], one.stage.mask);
  EXPECT_EQ(draw.state.textures[2], one.stage.bump);
}

TEST(WaterDrawing, TintAndTimeFollowTheSettingsAndTheClock) {
  auto water = MakeWater();
  water->tint.Set(0x0000ff);
  OneWater one(std::move(water));
  ExpectValues(one.Draw(0).Constant("Color"), {1, 0, 0});
  one.Draw(0.2f);
  one.Draw(0.4f);
  const RecordedDraw later = one.Draw(0.6f);
  // Phase 0.6 at speed 1: Time 1.2, the bump transform turned by 2.7 rad.
  ExpectValues(later.Constant("Time"), {1.2f});
  const float c = 0.02f * std::cos(2.7f), s = 0.02f * std::sin(2.7f);
  ExpectValues(later.Constant("BampTrans"), {c, -s, s, c});
}

TEST(WaterDrawing, AStallAdvancesByAFifthOfASecondOnly) {
  OneWater one(MakeWater());
  one.Draw(0);
  one.Draw(1);
  ExpectValues(one.Draw(4).Constant("Time"), {2 * 0.4f});
}

TEST(WaterDrawing, RefractionAtItsEndsStaysFinite) {
  // Raw 0 is no refraction: P2.y takes its limit 1. Raw 10,000 and above
  // count as 9,999 instead of dividing by 0 or rooting a negative.
  const auto p2 = [](unsigned int raw) {
    auto water = MakeWater();
    water->refraction_factor.Set(raw);
    OneWater one(std::move(water));
    return one.Draw(0).Constant("P2");
  };
  ExpectValues(p2(0), {1, 1, 1});
  const std::vector<float> at_most = p2(9999);
  EXPECT_TRUE(AllFinite(at_most));
  EXPECT_GT(at_most[1], 1000);
  ExpectValues(p2(10000), at_most);
  ExpectValues(p2(30000), at_most);
}

TEST(WaterDrawing, PatternScaleZeroAndAMissingPictureDivideByNothing) {
  auto water = MakeWater();
  water->pattern_scale.Set(0);
  OneWater one(std::move(water));
  ExpectValues(one.Draw(0).Constant("Scale"), {2 / 0.02f, 1 / 0.02f}, 1e-2f);
  // Without a picture the aspect counts as 1.
  OneWater blank(MakeWater(), false);
  ExpectValues(blank.Draw(0).Constant("Scale"), {1 / 0.6f, 1 / 0.6f});
}

TEST(WaterDrawing, EveryQuarterTurnFlowsItsOwnWayAndStaysFinite) {
  // Not mirrored: 90 flows down the screen (+y).
  const std::vector<std::pair<unsigned int, std::vector<float>>> cases = {
      {0, {1, 0}}, {90, {0, 1}}, {180, {-1, 0}}, {270, {0, -1}}};
  for (const auto& [angle, d] : cases) {
    auto water = MakeWater();
    water->flow_angle.Set(angle);
    OneWater one(std::move(water));
    const RecordedDraw first = one.Draw(0);
    const RecordedDraw second = one.Draw(0.5f);
    ExpectValues(second.Constant("Direction2"), {d[0] * -0.0025f, d[1] * -0.0025f}, 1e-6f);
    for (const char* name : {"Direction1", "Direction2", "BampTrans", "P2", "Time", "Scale"}) {
      EXPECT_TRUE(AllFinite(second.Constant(name))) << angle << " " << name;
    }
    EXPECT_NE(first.Constant("Time"), second.Constant("Time")) << angle;
    EXPECT_NE(first.Constant("BampTrans"), second.Constant("BampTrans")) << angle;
  }
}

TEST(WaterDrawing, TwoWatersSharingTheirProgramEachDrawWithTheirOwnValues) {
  EffectStage stage;
  auto first = MakeWater();
  first->flow_angle.Set(0);
  auto second = MakeWater();
  second->flow_angle.Set(180);
  second->tint.Set(0x00ff00);
  stage.Add(std::move(first));
  stage.Add(std::move(second));
  stage.Start();
  stage.Frame(0);
  EXPECT_EQ(stage.ImageEffect(0).Program(), stage.ImageEffect(1).Program());
  const auto draws = stage.DrawsOf("Main");
  ASSERT_EQ(draws.size(), 2u);
  // Drawn from the last object to the first.
  ExpectValues(draws[0]->Constant("Direction2"), {0.0025f, 0}, 1e-6f);
  ExpectValues(draws[0]->Constant("Color"), {0, 1, 0});
  ExpectValues(draws[1]->Constant("Direction2"), {-0.0025f, 0}, 1e-6f);
  ExpectValues(draws[1]->Constant("Color"), {1, 1, 1});
}

TEST(WaterDrawing, AChainPassWritesTheWholeScreenFromTheChain) {
  OneWater one(MakeWater(1));
  const RecordedDraw draw = one.Draw(0, "MainFX");
  EXPECT_EQ(test::StateAt(draw, RenderState::AlphaBlendEnable), 0u);
  EXPECT_EQ(draw.renderTarget, one.stage.device.GetBackBuffer());
  EXPECT_NE(draw.state.textures[0], one.stage.picture);  // the chain's texture
  EXPECT_TRUE(one.stage.DrawsOf("Main").empty());
}

TEST(WaterDrawing, WithoutAMaskOrAProgramNothingIsPaintedButTheChainGoesOn) {
  for (const bool missing_mask : {true, false}) {
    for (const int uses_background : {0, 1}) {
      auto water = MakeWater(uses_background);
      if (missing_mask) {
        water->brush_id = GUID{};
      } else {
        water->program.key = CommonResource(4321);
      }
      OneWater one(std::move(water));
      one.stage.Frame(0);
      EXPECT_TRUE(one.stage.DrawsOf("Main").empty());
      EXPECT_TRUE(one.stage.DrawsOf("MainFX").empty());
      // A chain pass copies the chain (where the picture went first) to the
      // screen through the fixed stages, blending off.
      const std::vector<RecordedDraw>& draws = one.stage.device.Draws();
      size_t copies = 0;
      for (const RecordedDraw& draw : draws) {
        copies += draw.state.pixelProgram == nullptr && draw.renderTarget == one.stage.device.GetBackBuffer() &&
                  draw.state.textures[0] == draws.front().renderTarget &&
                  test::StateAt(draw, RenderState::AlphaBlendEnable) == 0;
      }
      EXPECT_EQ(copies, uses_background == 1 ? 1u : 0u) << missing_mask;
    }
  }
}

TEST(WaterDrawing, OnlyAnEnabledChainPassCountsAsAReader) {
  EffectStage stage;
  stage.Add(MakeWater(0));
  stage.Add(MakeWater(1));
  stage.Start();
  EXPECT_FALSE(stage.Object(0).NeedsBackground());
  EXPECT_TRUE(stage.Object(1).NeedsBackground());
  stage.Object(1).SetEnabled(false);
  EXPECT_FALSE(stage.Object(1).NeedsBackground());
  EXPECT_EQ(stage.Object(0).GetKind(), 4);
}

}  // namespace
}  // namespace lumi
