// The behaviour of the generator effects beyond the air brushes: falling
// stars by the random counting rule and its limits, lightning bolts that
// keep their shape without replaying the scene's random numbers, and smoke
// puffs that fade and swell.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "generators/catalogue.h"
#include "params/random.h"
#include "timing/timing.h"

namespace lumi {
namespace {

DS_FallingStars Stars(unsigned int per_second) {
  DS_FallingStars stars;
  stars.area.Build(200, 100, {100, 50, 0});
  stars.star_rate.Set(per_second);
  return stars;
}

TEST(FallingStars, BirthsAverageTheRateAndStayInsideTheLimits) {
  SeedRand(3);
  DS_FallingStars stars = Stars(20);
  stars.fade_in.value = stars.hold.value = stars.fade_out.value = 1000;  // 30 s: none dies
  for (int k = 1; k <= 200; ++k) stars.Advance(static_cast<float>(k) * 0.05f);
  EXPECT_GT(stars.generated.size(), 150u);  // 10 s at 20 a second, on average
  EXPECT_LT(stars.generated.size(), 250u);
  for (const GenParticle& star : stars.generated) {
    EXPECT_GE(star.start_position.x, 0);
    EXPECT_LE(star.start_position.x, 200);
    EXPECT_GE(star.start_position.y, 0);
    EXPECT_LE(star.start_position.y, 100);
    EXPECT_GE(star.values[kOpacity], 0);
    EXPECT_LE(star.values[kOpacity], 1.0001f);
  }
  // A stall counts 0.2 s at most.
  const size_t before = stars.generated.size();
  stars.Advance(100);
  EXPECT_LE(stars.generated.size() - before, 8u);

  // The largest rate a record can hold fills the generator and no more.
  DS_FallingStars flood = Stars(0xFFFFFFFFu);
  for (int k = 1; k <= 10; ++k) flood.Advance(static_cast<float>(k) * 0.05f);
  EXPECT_LE(flood.generated.size(), DS_ParticleGenerator::kMaxParticles);
  EXPECT_GT(flood.generated.size(), 0u);
}

TEST(FallingStars, AStarFadesInFallsAlongItsDirectionAndFadesOut) {
  SeedRand(1);
  DS_FallingStars stars = Stars(100000);
  stars.direction.value = 270;  // straight down
  stars.fall_speed.value = 100;
  stars.fade_in.value = 50;
  stars.hold.value = 100;
  stars.fade_out.value = 50;
  stars.Advance(0.01f);
  ASSERT_FALSE(stars.generated.empty());
  stars.star_rate.Set(0);
  const float x = stars.generated.front().position.x, y = stars.generated.front().position.y;
  std::vector<float> opacity;
  for (int k = 2; k <= 23; ++k) {
    stars.Advance(static_cast<float>(k) * 0.1f - 0.09f);
    if (stars.generated.empty()) continue;
    const GenParticle& star = stars.generated.front();
    opacity.push_back(star.values[kOpacity]);
    EXPECT_NEAR(star.position.x, x, 1e-3f);
    EXPECT_NEAR(star.position.y, y + 10 * static_cast<float>(opacity.size()), 1e-2f);
  }
  EXPECT_TRUE(stars.generated.empty()) << "two seconds of life";
  ASSERT_GE(opacity.size(), 19u);
  EXPECT_NEAR(opacity[0], 0.2f, 1e-4f);  // a fifth of the way in
  EXPECT_NEAR(opacity[4], 1, 1e-4f);     // in after 0.5 s
  EXPECT_NEAR(opacity[12], 1, 1e-4f);    // held
  EXPECT_NEAR(opacity[17], 0.4f, 1e-3f);  // going out
}

DS_LightningGN Lightning(int random_shape) {
  DS_LightningGN bolt;
  bolt.chain_settings = {10, 0, 10, 200, 10, 30};
  bolt.random_shape.value = random_shape;
  bolt.seed.value = 42;
  bolt.bolt_time.value = 300;
  return bolt;
}

// The bolt's link positions after the timeline comes on.
std::vector<Vector3> Flash(DS_LightningGN& bolt, float time) {
  bolt.timeline_state = VRN_Timing::kOff;
  bolt.Advance(time);
  bolt.timeline_state = VRN_Timing::kOn;
  bolt.Advance(time + 0.05f);
  std::vector<Vector3> links;
  for (const GenParticle& link : bolt.generated) links.push_back(link.position);
  return links;
}

TEST(Lightning, EveryBoltHasOneShapeAndTheScenesRandomNumbersGoOn) {
  DS_LightningGN bolt = Lightning(0);
  SeedRand(9);
  const std::vector<Vector3> first = Flash(bolt, 1);
  const int after_first = Rand();
  ASSERT_EQ(first.size(), 10u);
  EXPECT_NEAR(first.back().y, 190, 1e-3f);  // the last link ends at the end point
  const std::vector<Vector3> second = Flash(bolt, 2);
  const int after_second = Rand();
  EXPECT_EQ(first, second);
  EXPECT_NE(after_first, after_second) << "the scene repeats its random choices after each bolt";
  // It flashes, then dies away over its 0.3 s.
  EXPECT_GT(bolt.generated.front().values[kOpacity], 0.7f);
  bolt.Advance(2.2f);
  bolt.Advance(2.4f);
  EXPECT_EQ(bolt.generated.front().values[kOpacity], 0);

  DS_LightningGN wild = Lightning(1);
  EXPECT_NE(Flash(wild, 1), Flash(wild, 2));

  // A damaged chain: a count past all reason and a start that is no number.
  DS_LightningGN damaged = Lightning(0);
  damaged.chain_settings = {NAN, 0, 10, 200, 1e30f, 30};
  damaged.BuildBolt();
  EXPECT_EQ(damaged.generated.size(), DS_LightningGN::kMaxSegments);
  EXPECT_TRUE(std::isfinite(damaged.generated.front().position.x));
}

TEST(Smoke, PuffsRiseFadeAndSwell) {
  SeedRand(4);
  DS_Smoke smoke;
  smoke.centre = {100, 200, 0};
  smoke.origin_settings[DS_ParticleOriginGenerator::kOriginRate].value = 200;  // two a second
  smoke.origin_settings[DS_ParticleOriginGenerator::kOriginLife].value = 300;
  smoke.origin_settings[DS_ParticleOriginGenerator::kLaunchDirection].value = 90;
  smoke.origin_settings[DS_ParticleOriginGenerator::kOriginSpeed].value = 100;
  smoke.origin_settings[DS_ParticleOriginGenerator::kOriginSize].value = 100;
  for (int k = 1; k <= 30; ++k) smoke.Advance(static_cast<float>(k) * 0.05f);
  ASSERT_GE(smoke.sources.size(), 2u);
  const GenParticle& oldest = smoke.sources.front().point;
  EXPECT_LT(oldest.position.y, 200 - 50);  // up at 100 px/s
  EXPECT_LT(oldest.values[kOpacity], 0.9f);
  EXPECT_GT(oldest.values[kSize], 1.1f);
}

TEST(BrownianSwarms, TheSwarmSteersIntoItsMovedRegion) {
  SeedRand(12);
  VRN_BrownAnimation swarm;
  swarm.region.Build(100, 100, {50, 50, 0});
  swarm.count.value = 12;
  swarm.ResetPopulation();
  ASSERT_EQ(swarm.particles.size(), 12u);
  for (int k = 1; k <= 40; ++k) swarm.Advance(static_cast<float>(k) * 0.05f);
  for (const ParticleHandle& p : swarm.particles) EXPECT_LT(p->position.x, 170);
  // The region jumps 400 px right: at 100 px/s they all arrive within 8 s.
  swarm.region.Build(100, 100, {450, 50, 0});
  for (int k = 41; k <= 240; ++k) swarm.Advance(static_cast<float>(k) * 0.05f);
  ASSERT_EQ(swarm.particles.size(), 12u) << "the swarm keeps its particles";
  for (const ParticleHandle& p : swarm.particles) EXPECT_GT(p->position.x, 330);
}

TEST(BrownianSwarms, FirefliesLeaveLightsThatDriftNoFurtherThanTheirSpread) {
  SeedRand(2);
  VRN_Firefly flies;
  flies.region.Build(100, 100, {50, 50, 0});
  flies.count.value = 3;
  flies.wander_speed.value = 0;  // still, so the lights' drift is their own
  flies.light_lifetime.value = 100;
  flies.light_spread.value = 20;
  flies.Attach();
  flies.ResetPopulation();
  for (int k = 1; k <= 10; ++k) flies.Advance(static_cast<float>(k) * 0.1f);
  EXPECT_GE(flies.lights.size(), 12u);  // six a second from each of three
  EXPECT_LE(flies.lights.size(), 18u);
  for (const ParticleHandle& light : flies.lights) {
    float nearest = 1e9f;
    for (const ParticleHandle& fly : flies.particles) {
      nearest = std::min(nearest, std::hypot(light->position.x - fly->position.x, light->position.y - fly->position.y));
    }
    EXPECT_LE(nearest, 20.5f);
  }
  // A light lifetime of 0 makes no lights (and divides nothing by it).
  flies.light_lifetime.value = 0;
  flies.lights.clear();
  for (int k = 11; k <= 20; ++k) flies.Advance(static_cast<float>(k) * 0.1f);
  EXPECT_TRUE(flies.lights.empty());
}

std::vector<float> RayAngles(const DS_RadialRays& rays) {
  std::vector<float> angles;
  for (const GenParticle& ray : rays.generated) {
    angles.push_back(ray.values[kAngle]);
    angles.push_back(ray.values[DS_RadialRays::kRayLength]);
  }
  return angles;
}

TEST(RadialRays, AFixedPatternRepeatsAndLeavesTheScenesNumbersAlone) {
  DS_RadialRays rays;
  rays.ray_count.value = 9;
  rays.seed.value = 3;
  SeedRand(5);
  rays.BuildRays();
  const std::vector<float> first = RayAngles(rays);
  const int after = Rand();
  ASSERT_EQ(first.size(), 18u);
  // Another pattern, as many rays as wished: the scene draws the same next.
  DS_RadialRays other = rays;
  other.seed.value = 4;
  other.ray_count.value = 500;
  SeedRand(5);
  other.BuildRays();
  EXPECT_EQ(Rand(), after);
  rays.BuildRays();
  EXPECT_EQ(RayAngles(rays), first);
  rays.fixed_pattern.value = 0;
  rays.BuildRays();
  EXPECT_NE(RayAngles(rays), first);

  // Mode 2 swings within its amplitude; mode 1 turns back.
  rays.mode.value = 2;
  rays.swing.value = 30;
  for (int k = 1; k <= 100; ++k) {
    rays.Advance(static_cast<float>(k) * 0.1f);
    ASSERT_LE(std::fabs(rays.rotation), 0.5236f);
  }
  rays.mode.value = 1;
  rays.Advance(10.1f);
  EXPECT_NEAR(rays.rotation, -rays.turn_clock.total, 1e-5f);
}

TEST(ImageSequences, PicturesStepThroughTheirDurationsAndSpritesWander) {
  DS_CustomAirBrush brush;
  brush.frame_durations = {45, 95};  // 0.45 s, then 0.95 s
  std::vector<size_t> shown;
  for (int k = 1; k <= 20; ++k) {
    brush.Advance(static_cast<float>(k) * 0.1f);
    shown.push_back(brush.sequence.index);
  }
  EXPECT_EQ(shown[3], 0u);
  EXPECT_EQ(shown[4], 1u);  // at 0.5 s
  EXPECT_EQ(shown[13], 1u);
  EXPECT_EQ(shown[14], 0u);  // at 1.5 s

  SeedRand(8);
  DS_BrownAnimation wanderers;
  wanderers.area.Build(100, 100, {50, 50, 0});
  wanderers.count.value = 6;
  wanderers.PlaceWanderers();
  ASSERT_EQ(wanderers.generated.size(), 6u);
  wanderers.area.Build(100, 100, {650, 50, 0});
  for (int k = 1; k <= 240; ++k) wanderers.Advance(static_cast<float>(k) * 0.05f);
  for (const GenParticle& p : wanderers.generated) EXPECT_GT(p.position.x, 450) << "steers into the moved area";
}

TEST(PathAnimation, SpritesMoveAlongThePathAndWrapRound) {
  DS_PathAnimtion walkers;
  walkers.path.AddPoint({0, 0, 0}, nullptr);
  walkers.path.AddPoint({480, 0, 0}, nullptr);
  walkers.speed.value = 100;
  walkers.PlaceWalkers();
  ASSERT_EQ(walkers.generated.size(), 4u);  // 480 px, one every 120
  for (int k = 1; k <= 10; ++k) walkers.Advance(static_cast<float>(k) * 0.1f);
  EXPECT_NEAR(walkers.generated[0].position.x, 100, 0.5f);
  EXPECT_NEAR(walkers.generated[1].position.x, 220, 0.5f);
  EXPECT_NEAR(walkers.generated[3].position.x, 460, 0.5f);
  for (int k = 11; k <= 15; ++k) walkers.Advance(static_cast<float>(k) * 0.1f);
  EXPECT_NEAR(walkers.generated[3].position.x, 30, 0.5f) << "round past the end";
}

}  // namespace
}  // namespace lumi
