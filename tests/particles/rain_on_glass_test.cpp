// Rain on glass: drops that touch merge into one with their water, a drop
// that leaves the pane dies, and new drops fly in at their variant's cell.
#include <gtest/gtest.h>

#include <cmath>

#include "particles/interaction_routines.h"
#include "particles/rain_on_glass.h"

namespace lumi {
namespace {

DS_RainOnGlass Pane() {
  DS_RainOnGlass rain;
  rain.area.Build(200, 200, {100, 100, 0});
  rain.counter.rate.Set(0);
  rain.look.size.Set(20);
  rain.Attach();
  return rain;
}

ParticleHandle Drop(Vector3 at, float size) {
  auto p = std::make_shared<Particle>();
  p->position = at;
  p->size_random() = size;
  p->frame_scale_u = p->frame_scale_v = 0.5f;
  p->frame_offset_u = p->frame_offset_v = 0.5f;
  p->transform = MatrixRotationZ(1);
  return p;
}

TEST(RainOnGlass, TouchingDropsMergeIntoOneWithTheirWater) {
  DS_RainOnGlass rain = Pane();
  rain.particles = {Drop({100, 100, 0}, 0.6f), Drop({104, 99, 0}, 0.8f)};
  // Drops update twice a frame: the 0.1 s of merging end in the fourth.
  for (int i = 0; i < 3; ++i) rain.Step(0.02f);
  EXPECT_EQ(rain.particles.size(), 2u);
  rain.Step(0.02f);
  ASSERT_EQ(rain.particles.size(), 1u);
  const Particle& kept = *rain.particles[0];
  EXPECT_NEAR(kept.size_random(), std::cbrt(0.6f * 0.6f * 0.6f + 0.8f * 0.8f * 0.8f), 1e-5);
  // The absorbing drop now slides, drawn with the sliding cell upright.
  EXPECT_NE(kept.state_flags & kRainSliding, 0u);
  EXPECT_EQ(kept.frame_offset_u, 0);
  EXPECT_EQ(kept.frame_offset_v, 0);
  EXPECT_EQ(kept.transform, Matrix{});
  // Far apart, nothing merges.
  DS_RainOnGlass apart = Pane();
  apart.particles = {Drop({50, 100, 0}, 0.6f), Drop({150, 100, 0}, 0.8f)};
  for (int i = 0; i < 4; ++i) apart.Step(0.02f);
  EXPECT_EQ(apart.particles.size(), 2u);
}

TEST(RainOnGlass, DropsFlyInAndDieWhenTheyLeaveThePane) {
  DS_RainOnGlass rain = Pane();
  rain.counter.rate.Set(500);  // 100 a second
  rain.slide_acceleration.Set(2000);
  rain.slide_direction.Set(270);  // down the screen
  rain.Step(0.05f);
  ASSERT_EQ(rain.particles.size(), 5u);
  for (const ParticleHandle& p : rain.particles) {
    EXPECT_NE(p->state_flags & kRainFallingIn, 0u);
    EXPECT_EQ(p->frame_scale_u, 0.5f);
    EXPECT_LT(p->alpha_random(), 1);
  }
  for (int i = 0; i < 60; ++i) {
    rain.Step(0.05f);
    for (const ParticleHandle& p : rain.particles) {
      // Drops flying in, or flowing into another, are checked once they land.
      if ((p->state_flags & (kRainFallingIn | kRainMerged)) != 0) continue;
      EXPECT_LE(p->ReferencePoint().y, 200);
    }
  }
}

}  // namespace
}  // namespace lumi
