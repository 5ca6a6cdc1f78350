// Emission from a generator's sources: how many are born per frame, where
// along a source's motion, and the limits after a stall or a wild rate;
// moving origins and their limits.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "generators/catalogue.h"
#include "generators/processes.h"
#include "params/random.h"

namespace lumi {
namespace {

class Emitter : public DS_ParticleGenerator {
  LUMI_CONSTRUCTOR_CLONE(Emitter)

 public:
  explicit Emitter(unsigned int per_second) {
    rate.Set(per_second);
    emitting.Set(1);
    lifetime.Set(1000);
    AddSource(Vector3{});
  }
};

TEST(Emission, TenPerSecondAtTwentyFramesASecondCarriesTheFraction) {
  Emitter g(10);
  size_t total = 0;
  for (int k = 1; k <= 100; ++k) {
    const size_t born = g.EmitFromSources(static_cast<float>(k) * 0.05f);
    ASSERT_LE(born, 1u) << "frame " << k;
    total += born;
  }
  EXPECT_GE(total, 49u);  // five seconds
  EXPECT_LE(total, 50u);
  EXPECT_EQ(g.generated.size(), total);
}

TEST(Emission, BirthsSpreadAlongTheSourcesJump) {
  Emitter g(40);
  g.sources[0].point.position = {100, 0, 0};
  ASSERT_EQ(g.EmitFromSources(0.1001f), 4u);
  for (size_t i = 0; i < 4; ++i) EXPECT_FLOAT_EQ(g.generated[i].position.x, 20.0f * static_cast<float>(i + 1));
  EXPECT_EQ(g.sources[0].previous, g.sources[0].point.position);
  EXPECT_EQ(g.generated[0].start_position, g.generated[0].position);
}

TEST(Emission, NothingIsBornWhileEmittingIsOff) {
  Emitter g(100);
  g.emitting.Set(0);
  EXPECT_EQ(g.EmitFromSources(1), 0u);
  EXPECT_TRUE(g.generated.empty());
}

TEST(Emission, AStallBringsAtMostAFifthOfASecondsBirths) {
  Emitter g(10);
  EXPECT_EQ(g.EmitFromSources(0.1001f), 1u);
  EXPECT_EQ(g.EmitFromSources(30), 2u);  // 30 s off, counted as 0.2 s
  EXPECT_EQ(g.EmitFromSources(30.1001f), 1u);
}

TEST(Emission, AWildRateStopsAtTheParticleLimit) {
  Emitter g(4000000000u);
  g.AddSource(Vector3{1, 0, 0});
  for (int k = 1; k <= 3; ++k) g.EmitFromSources(static_cast<float>(k));
  EXPECT_EQ(g.generated.size(), DS_ParticleGenerator::kMaxParticles);
  while (g.sources.size() < DS_ParticleGenerator::kMaxSources) g.AddSource(Vector3{});
  EXPECT_EQ(g.AddSource(Vector3{}), nullptr);
}

TEST(Emission, ParticlesFadeOverTheirLifetimeAndDie) {
  Emitter g(10);
  g.lifetime.Set(1);
  ASSERT_EQ(g.EmitFromSources(0.1001f), 1u);
  g.clock.last_time = 0.1f;
  for (int k = 2; k <= 6; ++k) g.Advance(static_cast<float>(k) * 0.1f);
  ASSERT_EQ(g.generated.size(), 1u);
  EXPECT_NEAR(g.generated[0].values[kOpacity], 0.5f, 1e-5f);
  for (int k = 7; k <= 12; ++k) g.Advance(static_cast<float>(k) * 0.1f);
  EXPECT_TRUE(g.generated.empty());
}


class Origins : public DS_ParticleOriginGenerator {
  LUMI_CONSTRUCTOR_CLONE(Origins)

 public:
  explicit Origins(unsigned int hundredths_per_second) {
    origin_settings[kOriginRate].Set(hundredths_per_second);
    origin_settings[kOriginLife].Set(150);
    origin_settings[kLaunchDirection].Set(90);  // straight up
    origin_settings[kOriginSpeed].Set(100);
    origin_settings[kOriginSize].Set(100);
    centre = {100, 300, 0};
  }
  void Run(float seconds) {
    for (int k = 1; static_cast<float>(k) * 0.05f <= seconds + 1e-4f; ++k) Advance(static_cast<float>(k) * 0.05f);
  }
};

TEST(Origins, OriginsRiseFromTheCentreAtTheirRateAndLiveTheirLife) {
  Origins g(200);  // two a second
  g.Run(1.05f);
  ASSERT_EQ(g.sources.size(), 2u);
  EXPECT_FLOAT_EQ(g.sources[0].point.position.x, 100);
  EXPECT_LT(g.sources[0].point.position.y, g.sources[1].point.position.y);  // the first has risen further
  g.level = 0;  // the timeline off: no new origins, the old ones end
  g.Run(3);
  EXPECT_TRUE(g.sources.empty());
}

TEST(Origins, ARateOfZeroAddsNoneAndAWildOneStopsAtTheLimit) {
  Origins none(0);
  none.Run(1);
  EXPECT_TRUE(none.sources.empty());
  Origins wild(4000000000u);
  wild.Run(0.2f);
  EXPECT_EQ(wild.sources.size(), DS_ParticleGenerator::kMaxSources);
}

TEST(Origins, ASimpleFireworkWithoutGravityBurstsInStraightLines) {
  SeedRand(2);
  DS_FireworkSimple firework;
  firework.burst.gravity.Set(0);
  firework.burst.life.Set(100);  // 1 s
  firework.burst.count.Set(20);
  GenSource* rocket = firework.AddSource(Vector3{300, 200, 0});
  rocket->point.Attach<PAgeConst>(0.1f);
  firework.Advance(0.1f);
  firework.Advance(0.2f);  // the rocket ends and bursts
  ASSERT_EQ(firework.generated.size(), 20u);
  const Vector3 from{300, 200, 0};
  std::vector<Vector3> first;
  for (int k = 3; k <= 30; ++k) {
    firework.Advance(static_cast<float>(k) * 0.1f - 0.0001f);
    if (firework.generated.empty()) break;
    for (size_t i = 0; i < firework.generated.size(); ++i) {
      const Vector3 d = firework.generated[i].position - from;
      if (first.size() <= i) first.push_back(d);
      const Vector3 f = first[i];
      EXPECT_NEAR(d.x * f.y - d.y * f.x, 0, 1e-2f * (1 + std::abs(d.x) + std::abs(d.y)));
    }
  }
  EXPECT_TRUE(firework.generated.empty());  // life progress 1 after a second
}

}  // namespace
}  // namespace lumi
