// Lines at play: the strip's cross-sections over a window of the path,
// and the windows of the growing, retracting and sliding lines.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "particles/line_strip.h"
#include "particles/line_systems.h"

namespace lumi {
namespace {

// A straight path from (0, 0) to (100, 0) sampled every 25 pixels.
std::vector<SplineSample> Straight() {
  std::vector<SplineSample> path;
  for (int i = 0; i <= 4; ++i) {
    SplineSample s{{25.0f * static_cast<float>(i), 0, 0}, {1, 0, 0}};
    if (i < 4) {
      s.distance_to_next = 25;
      s.length_to_next = 25.0f * static_cast<float>(i + 1);
    }
    path.push_back(s);
  }
  return path;
}

TEST(LineStrip, SectionsAtTheEndsAndEveryInnerSample) {
  StripStyle style;
  style.width = [](float x) { return x / 10; };
  style.alpha = [](float) { return 510.0f; };  // clamped to opaque
  style.rgb = 0x00112233;
  style.repeat = 0;  // a width of 0 repeats every pixel, never endlessly
  std::vector<VertexPCT> sections;
  BuildStripSections(Straight(), 10, 60, style, sections);
  ASSERT_EQ(sections.size(), 8u);  // at 10, 25, 50 and 60
  const float at[4] = {10, 25, 50, 60};
  for (int k = 0; k < 4; ++k) {
    const VertexPCT& left = sections[2 * k];
    const VertexPCT& right = sections[2 * k + 1];
    EXPECT_FLOAT_EQ(left.x, at[k]);
    EXPECT_FLOAT_EQ(right.y - left.y, at[k] / 10);
    EXPECT_FLOAT_EQ(left.v, 60 - at[k]);
    EXPECT_EQ(left.u, 0);
    EXPECT_EQ(right.u, 1);
    EXPECT_EQ(left.color, 0xFF112233u);
  }
  VertexPCT quad[4];
  StripQuad(sections, 0, quad);
  EXPECT_FLOAT_EQ(quad[1].x, 10);  // B and D near, A and C far
  EXPECT_FLOAT_EQ(quad[0].x, 25);
  // Empty windows and paths of no length draw nothing.
  BuildStripSections(Straight(), 60, 60, style, sections);
  EXPECT_TRUE(sections.empty());
  BuildStripSections({Straight()[0]}, 0, 10, style, sections);
  EXPECT_TRUE(sections.empty());
}

// A line along (0, 0) to (100, 0): handles of 0 keep it straight.
template <class Line>
Line OnStraightPath() {
  Line line;
  line.line_width.Set(4);
  line.path.points = {std::make_shared<DX_BSplinePnt>(Vector3{0, 0, 0}),
                      std::make_shared<DX_BSplinePnt>(Vector3{100, 0, 0})};
  line.Attach();
  line.ResetPopulation();
  EXPECT_EQ(line.particles.size(), 1u);  // the head
  EXPECT_EQ(line.samples.size(), 101u);
  EXPECT_NEAR(line.length, 100, 1e-3);
  return line;
}

TEST(LineWindows, GrowingRetractingAndSliding) {
  auto growing = OnStraightPath<VRN_GrovingLine>();
  growing.timeline_level = 0.45f;
  growing.Advance(0.1f);
  EXPECT_FLOAT_EQ(growing.window_start, 0);
  EXPECT_NEAR(growing.window_end, 45, 1e-3);
  EXPECT_NEAR(growing.particles[0]->position.x, 45, 1e-3);  // the head at the end
  // Sections at 0, at the 46 samples the eased line has inside, and at 45.
  EXPECT_EQ(growing.sections.size(), 2u * 48);
  growing.retract.Set(1);
  growing.timeline_state = VRN_Timing::kFadingOut;
  growing.Advance(0.2f);
  EXPECT_NEAR(growing.window_start, 55, 1e-3);
  EXPECT_NEAR(growing.window_end, 100, 1e-3);
  // Coincident control points: a line of no length draws nothing.
  growing.length = 0;
  growing.samples.resize(1);
  growing.Advance(0.3f);
  EXPECT_TRUE(growing.sections.empty());

  auto sliding = OnStraightPath<VRN_SlidingLine>();
  sliding.slide_length.Set(20);
  sliding.ping_pong.Set(1);
  sliding.timeline_state = VRN_Timing::kOn;
  sliding.timeline_on_phase = 0.5f;
  sliding.Advance(0.1f);
  EXPECT_NEAR(sliding.window_start, 40, 1e-3);
  EXPECT_NEAR(sliding.window_end, 60, 1e-3);
  EXPECT_TRUE(sliding.reversed);  // turned round as it came on
  EXPECT_NEAR(sliding.samples[0].position.x, 100, 1e-3);
  sliding.timeline_state = VRN_Timing::kOff;
  sliding.Advance(0.2f);
  sliding.timeline_state = VRN_Timing::kOn;
  sliding.Advance(0.3f);
  EXPECT_FALSE(sliding.reversed);  // and back at the next start
  // The ramps run over the piece: 0 at its tail, 1 at its head.
  sliding.width_ramp.in_end.Set(100);
  EXPECT_NEAR(sliding.WidthAt(sliding.window_end), 4, 1e-4);
  EXPECT_NEAR(sliding.WidthAt(sliding.window_end - 10), 2, 1e-4);
  sliding.slide_length.Set(0);
  sliding.Advance(0.4f);
  EXPECT_TRUE(sliding.sections.empty());
}

// Comets on (0, 0) to (100, 0): three a second at 100 pixels a second, with
// trails 50 long.
VRN_ShootingLine Comets(size_t points) {
  VRN_ShootingLine comets;
  comets.timing.value = VRN_SmartTiming::kManual;
  comets.raws = {300, 100, 50, 4, 0, 0, 0, 0, 0};
  comets.path.points = {std::make_shared<DX_BSplinePnt>(Vector3{0, 0, 0}),
                        std::make_shared<DX_BSplinePnt>(Vector3{100, 0, 0})};
  comets.path.points.resize(points);
  comets.Attach();
  comets.ResetPopulation();
  return comets;
}

TEST(ShootingLine, CometsRunTheirTrailsOffThePathsEnd) {
  auto comets = Comets(2);
  comets.Step(0.45f);
  ASSERT_EQ(comets.particles.size(), 1u);
  comets.raws[0] = 0;
  comets.Advance(0);
  // The head at 45, the trail through the samples back to the start,
  // fading from the head to nothing at the tail.
  const auto samples_up_to = [&](float x) {
    return static_cast<size_t>(std::count_if(comets.samples->begin() + 1, comets.samples->end(),
                                             [&](const SplineSample& s) { return s.position.x <= x; }));
  };
  EXPECT_NEAR(comets.particles[0]->position.x, 45, 1.5);
  ASSERT_EQ(comets.strip_quads.size(), 4u * samples_up_to(45));
  EXPECT_NEAR(comets.strip_quads[1].color >> 24, 255 * (1 - 45.0 / 50), 1);  // the path's start
  const VertexPCT& head = comets.strip_quads[comets.strip_quads.size() - 4];
  EXPECT_GE(head.color >> 24, 250u);
  EXPECT_LT(head.v, 0.03);
  EXPECT_FLOAT_EQ(head.x, comets.particles[0]->position.x);
  comets.Step(0.9f);  // head at 135 is gone, the tail at 85 still runs
  comets.Advance(0);
  ASSERT_EQ(comets.particles.size(), 1u);
  EXPECT_EQ(comets.particles[0]->alpha_random(), 0);
  EXPECT_EQ(comets.strip_quads.size(), 4u * (samples_up_to(100) - samples_up_to(85)));
  comets.Step(0.2f);  // the tail has passed the end
  EXPECT_TRUE(comets.particles.empty());

  // The wave moves the trail sideways by its width at phase 0.
  comets.raws[4] = 10;
  Particle comet;
  Vector3 direction;
  EXPECT_NEAR(std::abs(comets.WavingPoint(comet, 50, direction).y), 10, 1e-4);
  EXPECT_NEAR(direction.x, 1, 1e-4);

  // A path of one point sends nothing; comets that never move give no
  // pre-roll, which would otherwise never end.
  auto lone = Comets(1);
  lone.Step(5);
  EXPECT_TRUE(lone.particles.empty());
  comets.raws[1] = 0;
  EXPECT_EQ(comets.PrerollSeconds(), 0);
  comets.raws[1] = 50;
  EXPECT_NEAR(comets.PrerollSeconds(), 2, 1e-3);
}

TEST(WavingLine, HeldAtBothEndsWavingBetween) {
  VRN_WavingLine line;
  line.ends = {Vector3{0, 0, 0}, Vector3{100, 0, 0}};
  line.first_raws = {4, 10, 100, 0, 0};  // a still wave, one length along the line
  line.Advance(0);
  ASSERT_EQ(line.sections.size(), 2u * (VRN_WavingLine::kSections + 1));
  const auto middle = [&](size_t k) { return (line.sections[2 * k].y + line.sections[2 * k + 1].y) / 2; };
  EXPECT_NEAR(middle(0), 0, 1e-4);
  EXPECT_NEAR(middle(VRN_WavingLine::kSections), 0, 1e-3);
  EXPECT_NEAR(middle(VRN_WavingLine::kSections / 2), -10, 1e-3);  // half a wave: the trough
  EXPECT_NEAR(line.sections[1].y - line.sections[0].y, 4, 1e-4);
  line.ends[1] = line.ends[0];
  line.Advance(0.1f);
  EXPECT_TRUE(line.sections.empty());
}

}  // namespace
}  // namespace lumi
