// Lines at play: the strip's cross-sections over a window of the path,
// and the windows of the growing, retracting and sliding lines.
#include <gtest/gtest.h>

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
  line.path.points = {std::make_shared<DX_BSplinePnt>(D3DXVECTOR3{0, 0, 0}),
                      std::make_shared<DX_BSplinePnt>(D3DXVECTOR3{100, 0, 0})};
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

}  // namespace
}  // namespace lumi
