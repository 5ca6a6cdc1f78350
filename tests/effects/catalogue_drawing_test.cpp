// What the catalogue's effects hand their programs, frame by frame, on a
// 64 x 32 picture (aspect 2) with the mask's rectangle (16, 8) to (48, 24).
#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <numbers>

#include "effects/catalogue_effects.h"
#include "tests/effects/effect_stage.h"

namespace lumi {
namespace {

using test::ExpectValues;
using test::MakeEffect;
using test::OneEffect;

// Frames every 0.2 s from 0 up to t; the draw of the last one.
RecordedDraw DrawAt(OneEffect& one, float t, std::string_view technique = "Main") {
  for (float at = 0; at < t - 0.01f; at += 0.2f) one.stage.Frame(at);
  return one.Draw(t, technique);
}

TEST(CatalogueDrawing, WavesRunAlongTheirAngleAndTravelWithTime) {
  for (const int flag : {0, 1}) {
    auto waves = MakeEffect<DS_WavesFX>();
    waves->wave_angle.Set(90);
    waves->flag.Set(flag);
    OneEffect one(std::move(waves));
    ExpectValues(one.Draw(0).Constant("time"), {0});
    // Speed 25: phase 5 at 0.2 s, time 0.4.
    const RecordedDraw draw = DrawAt(one, 0.2f);
    ExpectValues(draw.Constant("time"), {0.4f});
    ExpectValues(draw.Constant("direction"), {0, 1});
    ExpectValues(draw.Constant("direction_n"), flag ? std::vector<float>{0, 1} : std::vector<float>{1, 0});
    ExpectValues(draw.Constant("frequency"), {1 / 0.026f}, 1e-3f);
    ExpectValues(draw.Constant("amplitude"), {0.0125f});
    ExpectValues(draw.Constant("Scale"), {2, 1, 0.5f, 1});
  }
}

TEST(CatalogueDrawing, LightPulsesBlinksEveryHalfTurnOfItsSine) {
  // Speed 40: phases 0, 8, 16 at 0, 0.2, 0.4 s; sin(0.2 phase) changes
  // sign at phase 5π ≈ 15.7.
  auto blink = MakeEffect<DS_LightFX>();
  blink->mode.Set(1);
  OneEffect blinking(std::move(blink));
  ExpectValues(blinking.Draw(0).Constant("multiplier"), {0});
  ExpectValues(blinking.Draw(0.2f).Constant("multiplier"), {0.4f});
  ExpectValues(blinking.Draw(0.4f).Constant("multiplier"), {0});
  OneEffect pulsing(MakeEffect<DS_LightFX>());
  ExpectValues(pulsing.Draw(0).Constant("multiplier"), {0.2f});
  ExpectValues(pulsing.Draw(0.2f).Constant("multiplier"), {0.4f * (std::sin(1.6f) + 1) / 2});
}

TEST(CatalogueDrawing, LightTwoIsAChainPassForBlendModesOneToFourOnly) {
  const std::vector<std::pair<int, std::string>> modes = {{0, "Blend_Normal"},     {1, "Blend_Screen"},
                                                          {2, "Blend_ColorDodge"}, {3, "Linear_Dodge"},
                                                          {4, "Blend_Sum"},        {7, "Blend_Normal"},
                                                          {-1, "Blend_Normal"}};
  for (const auto& [mode, technique] : modes) {
    auto light = MakeEffect<DS_LightFX_II>();
    light->blend_mode.Set(mode);
    light->colour.Set(0x0000FF);
    light->intensity.Set(50);
    OneEffect one(std::move(light));
    const bool chain = mode >= 1 && mode <= 4;
    EXPECT_EQ(one.stage.Object(0).NeedsBackground(), chain) << mode;
    const RecordedDraw draw = one.Draw(0, technique);
    ExpectValues(draw.Constant("BlendColor"), {1, 0, 0, 0.5f});
    EXPECT_EQ(test::StateAt(draw, RenderState::AlphaBlendEnable), chain ? 0u : 1u) << mode;
    EXPECT_EQ(draw.indexed, false) << "the picture quad";
  }
}

TEST(CatalogueDrawing, RotationTurnsEitherWayAndStretchesAlongItsEllipse) {
  // Speed raw 200 × 0.005: phase 0.2 at 0.2 s.
  const float c = std::cos(0.2f), s = std::sin(0.2f);
  const std::vector<std::tuple<int, unsigned int, std::vector<float>>> cases = {
      {0, 0, {c, s, -s, c}},             // stretch raw 0 is a plain turn
      {1, 0, {c, -s, s, c}},             // the other way
      {0, 500, {c, 0.5f * s, -2 * s, c}}  // s = 0.5
  };
  for (const auto& [direction, stretch, expected] : cases) {
    auto rotation = MakeEffect<DS_RotationFX>();
    rotation->speed.Set(200);
    rotation->direction.Set(direction);
    rotation->stretch.Set(stretch);
    rotation->centre.Set({32, 16, 0});
    OneEffect one(std::move(rotation));
    const RecordedDraw draw = DrawAt(one, 0.2f);
    ExpectValues(draw.Constant("coord_transf"), expected);
    ExpectValues(draw.Constant("offset"), {-0.5f, -0.5f});
    ExpectValues(draw.Constant("mix_color"), {1, 1, 1, 1});
  }
}

TEST(CatalogueDrawing, SignedAmplitudesFollowTheirModes) {
  // A = 0.01, B = 0.02 (move, along the x axis), speed 1: at phase 0.2 the
  // sine swing is 0.015 sin 0.2 − 0.005; the triangle, −1 (−B) at phase 0,
  // has risen by 0.2 / 2π × 4.
  const float sine = 0.015f * std::sin(0.2f) - 0.005f;
  const float triangle = (0.2f / (2 * std::numbers::pi_v<float>) - 0.25f) * 4 * 0.015f - 0.005f;
  const std::vector<std::pair<int, float>> modes = {{0, 0.01f}, {1, -0.01f}, {2, triangle}, {3, sine}, {9, 0}};
  for (const auto& [mode, e] : modes) {
    auto move = MakeEffect<DS_MoveFX>();
    move->mode.Set(mode);
    move->second_amplitude.Set(100);
    OneEffect one(std::move(move));
    one.Draw(0);
    const RecordedDraw draw = one.Draw(0.2f);
    // Moved against the direction: −(direction × e).
    ExpectValues(draw.Constant("Direction"), {-e, 0}, 2e-4f);
  }
  // Expand: +A as (A, 0), −B as (0, B); the centre in picture coordinates.
  for (const int mode : {0, 1}) {
    auto expand = MakeEffect<DS_ExpandFX>();
    expand->mode.Set(mode);
    expand->b.Set(20);
    expand->centre.Set({32, 8, 0});
    OneEffect one(std::move(expand));
    const RecordedDraw draw = one.Draw(0);
    ExpectValues(draw.Constant("amplitude"), mode == 0 ? std::vector<float>{0.25f, 0} : std::vector<float>{0, 0.1f});
    ExpectValues(draw.Constant("Center"), {0.5f, 0.25f});
  }
  // Bend: −A, +A, the sine swing between −B and +A, and 0 for a version-1
  // record's mode 2, read as 5.
  const std::vector<std::pair<int, float>> bends = {
      {0, -0.2f}, {1, 0.2f}, {3, 0.15f * std::sin(0.2f) + 0.05f}, {5, 0}};
  for (const auto& [mode, angle] : bends) {
    auto bend = MakeEffect<DS_BendFX>();
    bend->mode.Set(mode);
    bend->a.Set(100);
    bend->b.Set(50);
    bend->bend.Set(25);
    bend->speed.Set(50);
    bend->centre.Set({32, 8, 0});
    OneEffect one(std::move(bend));
    one.Draw(0);
    const RecordedDraw draw = one.Draw(0.2f);
    ExpectValues(draw.Constant("Angle"), {angle});
    ExpectValues(draw.Constant("Bend"), {0.5f});
    EXPECT_TRUE(draw.indexed) << "the rectangle";
  }
}

TEST(CatalogueDrawing, PerspectiveTiltsByItsAmplitudesAndNothingWithoutThem) {
  auto flat = MakeEffect<DS_PerspectiveFX>();
  flat->mode.Set(3);
  flat->depth_factor.Set(5);
  OneEffect still(std::move(flat));
  RecordedDraw draw = still.Draw(0);
  ExpectValues(draw.Constant("amplitude"), {0});
  ExpectValues(draw.Constant("p_amplitude"), {0});
  // Mode 0 with A = 1 and depth 2: g = 1.
  auto tilted = MakeEffect<DS_PerspectiveFX>();
  tilted->amplitude_a.Set(500);
  tilted->depth_factor.Set(2);
  OneEffect one(std::move(tilted));
  draw = one.Draw(0);
  ExpectValues(draw.Constant("amplitude"), {std::cos(1.0f) - 1});
  ExpectValues(draw.Constant("p_amplitude"), {std::sin(1.0f) * 20}, 1e-3f);
}

TEST(CatalogueDrawing, CentredEffectsHandTheirProgramsPictureCoordinates) {
  auto radial = MakeEffect<DS_RadialWaveFX>();
  radial->centre.Set({16, 24, 0});
  OneEffect rings(std::move(radial));
  RecordedDraw draw = DrawAt(rings, 0.2f);
  // Speed 50: phase 10, time −0.8 taken into [0, 2π).
  ExpectValues(draw.Constant("time"), {static_cast<float>(2 * kEffectPi) - 0.8f});
  ExpectValues(draw.Constant("bg_scale_factor"), {1, 32.0f * 75 / 25 / 64});
  ExpectValues(draw.Constant("center"), {0.25f, 0.75f});
  ExpectValues(draw.Constant("frequency"), {1 / 0.006f}, 1e-2f);

  OneEffect underwater(MakeEffect<DS_UnderwaterFX>());
  draw = DrawAt(underwater, 0.2f);
  ExpectValues(draw.Constant("frequency"), {2 / 0.101f, 1 / 0.101f}, 1e-3f);
  ExpectValues(draw.Constant("amplitude"), {0.00625f});
  ExpectValues(draw.Constant("time"), {0.4f});

  auto copy = MakeEffect<DS_BackgroundCopy>();
  copy->source_rectangle.x.Set(16);
  copy->source_rectangle.y.Set(8);
  copy->horizontal_flag.Set(1);
  OneEffect copying(std::move(copy));
  ExpectValues(copying.Draw(0).Constant("offset"), {1.25f, 0.25f});
}

TEST(CatalogueDrawing, BandsShiftByTheFractionOfTheirTurns) {
  auto linear = MakeEffect<DS_KestrinLinear>();
  linear->first_parameter.Set(10);
  linear->angle.Set(90);
  linear->speed.Set(100);  // 10 a second
  OneEffect bands(std::move(linear));
  RecordedDraw draw = DrawAt(bands, 0.2f);
  ExpectValues(draw.Constant("Shift"), {2 / (2 * std::numbers::pi_v<float>)});
  ExpectValues(draw.Constant("Direction"), {0, -0.02f});
  for (const float t : {0.4f, 0.6f}) bands.stage.Frame(t);
  draw = bands.Draw(0.8f);
  ExpectValues(draw.Constant("Shift"), {8 / (2 * std::numbers::pi_v<float>) - 1});

  for (const int flag : {0, 1}) {
    auto radial = MakeEffect<DS_KestrinRadial>();
    radial->amplitude.Set(10);
    radial->axis_flag.Set(flag);
    OneEffect one(std::move(radial));
    ExpectValues(one.Draw(0).Constant("Amplitude"), flag ? std::vector<float>{0.05f, 0} : std::vector<float>{0, 0.05f});
  }

  auto vortical = MakeEffect<DS_KestrinVortical>();
  vortical->amplitude.Set(10);
  vortical->direction.Set(1);
  vortical->ellipse_angle.Set(90);
  vortical->ellipse_deformation.Set(40);
  OneEffect swirl(std::move(vortical));
  draw = swirl.Draw(0);
  ExpectValues(draw.Constant("Amplitude"), {-0.01f});
  ExpectValues(draw.Constant("ElipsDeform"), {0.2f});
  const std::vector<float> turned = draw.Constant("r_matrix2"), back = draw.Constant("r_matrix3");
  ASSERT_EQ(turned.size(), 16u);
  ExpectValues({turned[0], turned[1], turned[4], turned[5]}, {0, 1, -1, 0});
  ExpectValues({back[0], back[1], back[4], back[5]}, {0, -1, 1, 0});
}

TEST(CatalogueDrawing, HeatShimmersOnItsOwnClockAndNightFallsWithTheTimeline) {
  auto heat = MakeEffect<DS_HeatDistortion>();
  heat->shimmer_speed.Set(500);
  heat->strength.Set(50);
  heat->bump_size.Set(100);
  heat->speed.Set(7);  // the shimmer does not follow the speed
  OneEffect shimmer(std::move(heat));
  const RecordedDraw draw = DrawAt(shimmer, 0.4f);
  ExpectValues(draw.Constant("Offset"), {0.2f, -0.2f});
  ExpectValues(draw.Constant("bump_scale"), {0.1f, 0.05f});
  ExpectValues(draw.Constant("stenght"), {0.005f});
  EXPECT_EQ(draw.state.textures[2], shimmer.stage.noise) << "the module's noise picture";

  auto night = MakeEffect<DS_DayToNight>();
  night->multiply_colour.Set(0x00FF8000);
  night->desaturation.Set(40);
  OneEffect falling(std::move(night));
  const RecordedDraw dark = falling.Draw(0);
  ExpectValues(dark.Constant("mul_color"), {0, 128.0f / 255, 1, 1});
  ExpectValues(dark.Constant("Fade"), {1});
  ExpectValues(dark.Constant("Disaturate"), {0.4f});
}

TEST(CatalogueDrawing, PatternsTileThroughTheirTransformAndStepTheirFrames) {
  auto brush = MakeEffect<DS_PatternBrush>();
  brush->pattern_image.key = test::kStagePattern;
  brush->rotation_angle.Set(90);
  brush->x_offset.Set(10);
  brush->y_offset.Set(20);
  OneEffect one(std::move(brush));
  RecordedDraw draw = one.Draw(0);
  // 64 x 32 over 16 x 8 at size 1: scaled 4 both ways, then a quarter turn.
  ExpectValues(draw.Constant("coord_transf"), {0, 4, -4, 0});
  ExpectValues(draw.Constant("scale"), {2, 1});
  ExpectValues(draw.Constant("offset"), {-0.1f, 0.2f});
  ExpectValues(draw.Constant("mix_color"), {1, 1, 1, 1});
  EXPECT_EQ(draw.state.textures[2], one.stage.pattern_frames[0]);
  // Speed 1: the second frame after a tenth of a second of phase.
  draw = one.Draw(0.2f);
  EXPECT_EQ(draw.state.textures[2], one.stage.pattern_frames[1]);

  auto flipped = MakeEffect<DS_PatternBrushC>();
  flipped->pattern_image.key = test::kStagePattern;
  flipped->horizontal_flip.Set(1);
  flipped->pattern_size.Set(0);  // counts as raw 1: 0.01
  OneEffect mirrored(std::move(flipped));
  ExpectValues(mirrored.Draw(0).Constant("coord_transf"), {-400, 0, 0, 400}, 1e-2f);
}

TEST(CatalogueDrawing, CloudsDriftOverTheirRectangleInPerspective) {
  auto cloud = MakeEffect<DS_CloudFX>(1);
  cloud->cloud_image.key = test::kStagePicture;
  cloud->colour_1.Set(0x0000FF);
  cloud->colour_2.Set(0x00FFFFFF);
  cloud->angle.Set(90);
  cloud->speed.Set(1000);  // 1 a second
  cloud->threshold.Set(25);
  cloud->density.Set(10);
  cloud->perspective.b.Set(50);
  cloud->perspective.c.Set(4);
  cloud->perspective.t.Set(30);
  cloud->perspective.flag.Set(1);
  OneEffect one(std::move(cloud));
  // Never a pass of the chain: drawn over the target on its rectangle.
  EXPECT_FALSE(one.stage.Object(0).NeedsBackground());
  const RecordedDraw draw = DrawAt(one, 0.2f);
  EXPECT_TRUE(draw.indexed);
  EXPECT_EQ(draw.state.textures[0], one.stage.picture) << "the cloud picture as \"Background\"";
  ExpectValues(draw.Constant("mask_tex_shift"), {0.5f, 0.25f, 0.5f, 0.25f});
  // Up the screen by the phase; x stays (within a whole tile).
  const std::vector<float> velocity = draw.Constant("Velocity");
  ASSERT_EQ(velocity.size(), 2u);
  EXPECT_NEAR(std::remainder(velocity[0], 1.0f), 0, 1e-5);
  EXPECT_NEAR(velocity[1], 0.2f, 1e-5);
  ExpectValues(draw.Constant("Scale"), {2 / 0.4f, 1 / 0.4f});
  ExpectValues(draw.Constant("ColorK1"), {1, 0, 0});
  ExpectValues(draw.Constant("ColorK2"), {1, 1, 1});
  ExpectValues(draw.Constant("Threshold"), {1.5f});
  ExpectValues(draw.Constant("Density"), {0.2f});
  ExpectValues(draw.Constant("PX_Transform"), {0.5f});
  ExpectValues(draw.Constant("PY_TransformH"), {1.5f});
  ExpectValues(draw.Constant("PY_TransformZ"), {1});
  ExpectValues(draw.Constant("tex_shift"), {1, -1, -0.3f, 1});
}

TEST(CatalogueDrawing, FireDrawsItsShapeIntoItsSurfaceThenColoursItOverThePicture) {
  for (const int uses_background : {0, 1}) {
    auto fire = MakeEffect<DS_FireFX>(uses_background);
    fire->pattern_image.key = test::kStagePicture;
    fire->base_colour.Set(0x000040FF);
    fire->tip_colour.Set(0x0080FFFF);
    fire->density.Set(150);  // 0.5
    fire->speed.Set(50);     // 1 a second
    OneEffect one(std::move(fire));
    one.stage.Frame(0);
    const auto shapes = one.Frame(0.2f, "AsEffect");
    const auto colours = one.stage.DrawsOf("Main");
    ASSERT_EQ(shapes.size(), 1u) << uses_background;
    ASSERT_EQ(colours.size(), 1u) << uses_background;
    const RecordedDraw& shape = *shapes[0];
    const RecordedDraw& colour = *colours[0];
    // The shape goes into the fire's own surface, over the 8 x 8 grid.
    EXPECT_NE(shape.renderTarget, one.stage.device.GetBackBuffer());
    EXPECT_TRUE(shape.indexed);
    EXPECT_EQ(shape.primitiveCount, 128u);
    ExpectValues(shape.Constant("c11"), {0, 1.3f * 0.2f});
    ExpectValues(shape.Constant("c12"), {0, 2.1f * 0.2f});
    ExpectValues(shape.Constant("c13"), {0, 2.3f * 0.2f});
    EXPECT_EQ(shape.Constant("WorldViewProj").size(), 16u);
    // Coloured on the screen from that surface, over the same grid.
    EXPECT_EQ(colour.renderTarget, one.stage.device.GetBackBuffer());
    EXPECT_EQ(colour.state.textures[2], shape.renderTarget);
    EXPECT_EQ(colour.primitiveCount, 128u);
    ExpectValues(colour.Constant("ColorK1"), {1, 64.0f / 255, 0});
    ExpectValues(colour.Constant("ColorK2"), {0, 191.0f / 255, 128.0f / 255});
    ExpectValues(colour.Constant("bg_scale_factor"), {1.0f / 64, 1.0f / 32});
    ExpectValues(colour.Constant("Brightness"), {0.3f});
    ExpectValues(colour.Constant("Density"), {0.5f});
    // As a pass of the chain the picture is copied first, so the screen
    // outside the fire is not left black.
    EXPECT_EQ(test::ChainCopies(one.stage), uses_background == 1 ? 1u : 0u);
    EXPECT_EQ(one.stage.Object(0).NeedsBackground(), uses_background == 1);
  }
}

}  // namespace
}  // namespace lumi
