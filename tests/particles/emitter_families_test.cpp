// Splashes, sprays, streams, the vortex and the rays of light at play: how
// many particles each emits, where they start and where they head, and
// the three quads of a ray.
#include <gtest/gtest.h>

#include <cmath>

#include "params/random.h"
#include "particles/ray_of_light.h"
#include "particles/splash_systems.h"
#include "particles/stream_systems.h"
#include "particles/vortex_system.h"

namespace lumi {
namespace {

float AngleOf(const Vector3& v) { return std::atan2(-v.y, v.x) * 180 / kPi; }

TEST(SplashEmission, StartsEmptyAndLaunchesWithinTheWholeSpreadOnEachSide) {
  VRN_SplashPtclSys splash;
  splash.count.Set(200);
  splash.lifetime.Set(150);
  splash.launch.Set(90);
  splash.launch.spread.Set(30);
  splash.launch_speed.Set(100);
  splash.emitter_choice.Set(1);
  splash.sector_emitter.point.value = {50, 50, 0};
  splash.sector_emitter.radius.Set(10);
  splash.ResetPopulation();
  EXPECT_TRUE(splash.particles.empty());
  splash.timeline_level = 0.5f;
  splash.Step(0.1f);
  EXPECT_EQ(splash.particles.size(), 100u);
  float lowest = 90, highest = 90;
  for (const ParticleHandle& p : splash.particles) {
    // Within the sector's radius, then up to a frame's flight.
    EXPECT_LE(Length(p->position - Vector3{50, 50, 0}), 20.01f);
    EXPECT_NEAR(Length(p->velocity), 100, 1e-3);
    lowest = std::min(lowest, AngleOf(p->velocity));
    highest = std::max(highest, AngleOf(p->velocity));
    EXPECT_FLOAT_EQ(p->life->Lifetime(), 1.5f);
  }
  EXPECT_GE(lowest, 60 - 1e-3f);
  EXPECT_LE(highest, 120 + 1e-3f);
  EXPECT_LT(lowest, 70);  // beyond half the spread
  EXPECT_GT(highest, 110);
}

TEST(SprayEmission, RateUnderTheLevelAndThePreRollOfFog) {
  VRN_SprayPtclSys spray;
  spray.lifetime.Set(10000);
  spray.timeline_level = 0.5f;
  for (int i = 0; i < 30; ++i) spray.Step(0.1f);
  EXPECT_NEAR(static_cast<double>(spray.particles.size()), 30, 1);  // 10 a second for 3 s
  // Fog counts in hundredths: raw 2000 is 20 a second, for its 8 s.
  DS_PtclFog fog;
  fog.counter.rate.Set(2000);
  fog.lifetime.Set(10000);
  fog.ResetPopulation();
  EXPECT_NEAR(static_cast<double>(fog.particles.size()), 160, 1);
}

// A 100 × 200 quad, corner 0 top-left, 1 bottom-left, 2 top-right, 3
// bottom-right.
DS_StreamPtclSys Stream() {
  DS_StreamPtclSys stream;
  stream.area.Build(100, 200, {50, 100, 0});
  stream.lifetime.Set(1000);
  stream.stream_speed.Set(50);  // 100 px/s
  stream.min_speed.Set(100);
  return stream;
}

TEST(StreamEmission, FromTheTopEdgeStraightToTheBottomOne) {
  DS_StreamPtclSys stream = Stream();
  stream.Step(0.5f);
  ASSERT_EQ(stream.particles.size(), 10u);
  for (const ParticleHandle& p : stream.particles) {
    EXPECT_NEAR(p->velocity.x, 0, 1e-3);
    EXPECT_NEAR(p->velocity.y, 100, 1e-3);
    EXPECT_GE(p->position.x, 0);
    EXPECT_LE(p->position.x, 100);
    EXPECT_LE(p->position.y, 50.0f);  // at most half a second from the top edge
  }
  // With an aim spread the targets scatter along the bottom edge.
  DS_StreamPtclSys aimed = Stream();
  aimed.aim_spread.Set(50);
  aimed.Step(1);
  bool slanted = false;
  for (const ParticleHandle& p : aimed.particles) slanted |= std::fabs(p->velocity.x) > 1;
  EXPECT_TRUE(slanted);
  // A quad shrunk to one point gives no direction: the particles stay put.
  DS_StreamPtclSys point = Stream();
  point.area.Build(0, 0, {5, 5, 0});
  point.Step(0.5f);
  ASSERT_FALSE(point.particles.empty());
  for (const ParticleHandle& p : point.particles) {
    EXPECT_EQ(p->velocity, (Vector3{0, 0, 0}));
    EXPECT_EQ(p->position, (Vector3{5, 5, 0}));
  }
}

TEST(VortexEmission, ArmsAtWholeShares) {
  for (unsigned int arms : {4u, 0u}) {
    SCOPED_TRACE(arms);
    VRN_VortexPtclSys vortex;
    vortex.arms.Set(arms);
    vortex.arm_speed.Set(0);  // the arms stand still
    vortex.range.Set(1000);
    vortex.launch_speed.Set(50);
    vortex.counter.rate.Set(500);  // 100 a second
    vortex.Step(0.5f);
    ASSERT_EQ(vortex.particles.size(), 50u);
    bool off_axis = false;
    for (const ParticleHandle& p : vortex.particles) {
      // Launched at a multiple of 360 / arms; the swirl (0) keeps the
      // velocity radial.
      const float angle = AngleOf(p->velocity);
      const float share = 360.0f / static_cast<float>(std::max(arms, 1u));
      EXPECT_NEAR(std::remainder(angle, share), 0, 1e-2) << angle;
      off_axis |= std::fabs(angle) > 1;
    }
    EXPECT_EQ(off_axis, arms == 4);
  }
}

TEST(RaysOfLight, HeldAtTheirCountAndFadingInOverHalfTheirLife) {
  DS_RayOfLight rays;
  rays.count.Set(5);
  rays.ray_lifetime.Set(10);  // 1 s
  rays.ray_width.Set(8);
  for (int frame = 1; frame <= 25; ++frame) {
    rays.Advance(0.1f * static_cast<float>(frame));
    ASSERT_EQ(rays.particles.size(), 5u);
    for (const ParticleHandle& p : rays.particles) {
      // Two updates a frame: the opacity follows twice the age's triangle.
      const float a = p->age();
      EXPECT_NEAR(p->alpha_random(), a <= 0.5f ? 2 * a : 2 - 2 * a, 1e-4) << a;
    }
  }
  // Huge counts stop at the population's cap.
  rays.count.Set(0xFFFFFFFF);
  rays.Advance(3);
  EXPECT_EQ(rays.particles.size(), VRN_ParticleSystemCtrl::kMostParticles);
}

TEST(RaysOfLight, ThreeQuadsFromTheSourceEdgeWideningToTheFarEdge) {
  DS_RayOfLight rays;
  rays.area.Build(100, 100, {50, 50, 0});
  rays.start_fade.Set(10);
  rays.end_fade.Set(20);
  rays.end_width.Set(20);  // twice as wide at the far edge
  rays.edge_fade.Set(100);  // a ray within half the edge fades
  rays.look.colour.Set(0x00FFFFFF);
  VertexPCT quads[12];
  rays.RayQuads(0.25f, 10, 1, quads);
  // Quad vertices A, B, C, D: A and C at the far end, B and D at the near.
  // g 0.25 from corner 2: x = 75 on both edges.
  EXPECT_FLOAT_EQ(quads[1].y, 0);
  EXPECT_FLOAT_EQ(quads[1].x, 70);
  EXPECT_FLOAT_EQ(quads[3].x, 80);
  EXPECT_FLOAT_EQ(quads[0].y, 10);
  EXPECT_FLOAT_EQ(quads[4 + 0].y, 80);  // the body ends at 1 − end fade
  EXPECT_FLOAT_EQ(quads[8 + 0].y, 100);
  EXPECT_FLOAT_EQ(quads[8 + 2].x - quads[8 + 0].x, 20);
  EXPECT_FLOAT_EQ(quads[8 + 0].v, 1);
  EXPECT_FLOAT_EQ(quads[1].u, 0);
  EXPECT_FLOAT_EQ(quads[3].u, 1);
  // Transparent at both ends, half the opacity inside at g 0.25 of 0.5.
  EXPECT_EQ(quads[1].color >> 24, 0u);
  EXPECT_EQ(quads[8].color >> 24, 0u);
  EXPECT_EQ(quads[0].color >> 24, 128u);
  EXPECT_EQ(quads[4].color >> 24, 128u);
}

}  // namespace
}  // namespace lumi
