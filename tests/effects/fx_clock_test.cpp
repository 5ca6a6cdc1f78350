#include <gtest/gtest.h>

#include <cmath>

#include "effects/brush_obj.h"
#include "effects/fx_clock.h"
#include "effects/water_effects.h"

namespace lumi {
namespace {

constexpr double kPi = 3.1415927;

TEST(FrameClock, StepsAreCappedAndNeverRunBackwards) {
  FrameClock clock;
  clock.Advance(0, 2);
  clock.Advance(3, 2);  // a stall of 3 s
  EXPECT_DOUBLE_EQ(clock.phase, 0.2 * 2);
  clock.Advance(1, 2);  // the timeline started again
  EXPECT_DOUBLE_EQ(clock.phase, 0.4);
  clock.Advance(1.1, 2);
  EXPECT_NEAR(clock.phase, 0.6, 1e-12);
  clock.Restart();
  EXPECT_EQ(clock.phase, 0);
  EXPECT_EQ(clock.last_time, 0);
}

TEST(FrameClock, AfterADayAtSixtyFramesASecondEveryStepIsStillEven) {
  // A day of speed 40: in a float the phase would step by 0.75 a frame.
  FrameClock clock;
  clock.last_time = 24 * 3600;
  clock.phase = 40.0 * 24 * 3600;
  for (int frame = 1; frame <= 3; ++frame) {
    const double before = clock.phase;
    clock.Advance(24 * 3600 + frame / 60.0, 40);
    EXPECT_NEAR(clock.phase - before, 40.0 / 60, 1e-6) << frame;
  }
  // What a program receives of it keeps its precision once reduced.
  EXPECT_NEAR(ReducedPhase(clock.phase, 2 * kPi), std::fmod(clock.phase, 2 * kPi), 1e-9);
  EXPECT_GE(ReducedPhase(-0.5, 1.0), 0.0);
  EXPECT_DOUBLE_EQ(ReducedPhase(-0.25, 1.0), 0.75);
}

TEST(Oscillation, TriangleSineNoiseAndNone) {
  EXPECT_FLOAT_EQ(Oscillate(kOscillateTriangle, 0, 0), -1);
  EXPECT_NEAR(Oscillate(kOscillateTriangle, kPi, 0), 1, 1e-6);
  EXPECT_NEAR(Oscillate(kOscillateTriangle, kPi / 2, 0), 0, 1e-6);
  // Raw offset 100 is one whole turn: the same wave, not a shift of 0.28.
  const float turn = 100 * static_cast<float>(2 * kPi / 100);
  for (double phase : {0.0, 0.7, 2.0, 5.5}) {
    EXPECT_NEAR(Oscillate(kOscillateTriangle, phase, turn), Oscillate(kOscillateTriangle, phase, 0), 1e-5) << phase;
  }
  // Half a turn of offset moves the triangle from its trough to its crest.
  EXPECT_NEAR(Oscillate(kOscillateTriangle, 0, static_cast<float>(kPi)), 1, 1e-6);
  EXPECT_NEAR(Oscillate(kOscillateSine, 1, 0.5f), std::sin(1.5), 1e-6);
  EXPECT_EQ(Oscillate(0, 1.3, 0.2f), 0);
  EXPECT_EQ(Oscillate(1, 1.3, 0.2f), 0);
  EXPECT_EQ(Oscillate(7, 1.3, 0.2f), 0);
  EXPECT_FLOAT_EQ(Oscillate(kOscillateNoise, 1, 0.5f), ValueNoise1D(3, 75, 75, 0.5));
}

TEST(Oscillation, TheLatticeHashWrapsInUnsignedArithmetic) {
  // Values worked out with unbounded integers reduced modulo 2^32.
  EXPECT_NEAR(LatticeValue(0), -0.2817909838631749, 1e-12);
  EXPECT_NEAR(LatticeValue(1), -0.2263730512931943, 1e-12);
  EXPECT_NEAR(LatticeValue(1000), 0.9561058087274432, 1e-12);
  EXPECT_NEAR(LatticeValue(-1), 0.9001262886449695, 1e-12);
  EXPECT_NEAR(LatticeValue(123456), -0.9669647933915257, 1e-12);
}

TEST(Oscillation, ValueNoiseSumsCosineInterpolatedOctaves) {
  // On a lattice point every octave lands on a lattice value.
  EXPECT_NEAR(ValueNoise1D(1, 150, 75, 0.5), LatticeValue(2), 1e-6);
  EXPECT_NEAR(ValueNoise1D(2, 150, 75, 0.5), LatticeValue(2) + 0.5 * LatticeValue(4), 1e-6);
  // Half-way the cosine weights are equal.
  EXPECT_NEAR(ValueNoise1D(1, 37.5, 75, 0.5), (LatticeValue(0) + LatticeValue(1)) / 2, 1e-6);
  for (double x = -500; x < 500; x += 7.3) {
    const float v = ValueNoise1D(3, x, 75, 0.5);
    EXPECT_TRUE(std::isfinite(v));
    EXPECT_LE(std::abs(v), 1.75f + 1e-5f);
  }
}

TEST(FxFramework, DirectionsLinesAndBrushes) {
  DS_WaterfallFX waterfall;
  waterfall.angle.Set(90);
  EXPECT_NEAR(waterfall.Direction()[0], 0, 1e-6);
  EXPECT_NEAR(waterfall.Direction()[1], -1, 1e-6);  // up the screen
  waterfall.angle.Set(270);
  EXPECT_NEAR(waterfall.Direction()[1], 1, 1e-6);

  // The line y = x through (0, 0) and (1, 1): a x + b y + k = 0.
  const std::array<float, 3> diagonal = LineThrough(0, 0, 1, 1);
  EXPECT_NEAR(diagonal[0], -1 / std::sqrt(2.0f), 1e-6);
  EXPECT_NEAR(diagonal[1], 1 / std::sqrt(2.0f), 1e-6);
  EXPECT_NEAR(diagonal[2], 0, 1e-6);
  const std::array<float, 3> level = LineThrough(0, 0.5f, 2, 0.5f);
  EXPECT_NEAR(level[0] * 0.7f + level[1] * 0.5f + level[2], 0, 1e-6);
  EXPECT_EQ(LineThrough(1, 1, 1, 1), (std::array<float, 3>{0, 0, 0}));

  const GUID before = waterfall.brush_id;
  waterfall.brush_label = u"lake";
  waterfall.brush_flag = 3;
  waterfall.RenewResources();
  EXPECT_NE(waterfall.brush_id, before);
  EXPECT_TRUE(waterfall.brush_label.empty());
  EXPECT_EQ(waterfall.brush_flag, 1);
  EXPECT_FALSE(waterfall.UsesSharedBounds());
  EXPECT_EQ(waterfall.MaskTexture(), nullptr);
}

}  // namespace
}  // namespace lumi
