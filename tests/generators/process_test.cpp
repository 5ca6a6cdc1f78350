// The generators' particle processes: where values land, when particles
// die, and that copies keep their own state.
#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "generators/processes.h"
#include "params/random.h"

namespace lumi {
namespace {

// Updates until the particle dies; the number of the fatal update, or 0.
int UpdatesUntilDeath(GenParticle& p, float dt, int limit) {
  for (int i = 1; i <= limit; ++i) {
    if (!p.Update(dt)) return i;
  }
  return 0;
}

TEST(Processes, LifeAndAgeEndOnTheUpdateThatReachesTheLimit) {
  GenParticle life;
  life.Attach<PLifeConst>(0.25f);
  EXPECT_EQ(UpdatesUntilDeath(life, 1, 10), 4);
  GenParticle age;
  age.Attach<PAgeConst>(1.0f);
  EXPECT_EQ(UpdatesUntilDeath(age, 0.25f, 10), 4);
  EXPECT_FLOAT_EQ(age.values[kAge], 1);
}

TEST(Processes, FadeIsLinearAndLandsExactlyOnItsAmount) {
  GenParticle p;
  p.Attach<PAgeConst>(10.0f);
  p.Attach<PFade>(kOpacity, 0.0f, 2.0f, -1.0f);
  for (int i = 0; i < 4; ++i) p.Update(0.25f);
  EXPECT_NEAR(p.values[kOpacity], 0.5f, 1e-6f);
  for (int i = 0; i < 4; ++i) p.Update(0.3f);  // the last jumps past the end
  EXPECT_EQ(p.values[kOpacity], 0.0f);
  p.Update(0.3f);
  EXPECT_EQ(p.values[kOpacity], 0.0f);
}

TEST(Processes, SteadyGrowsOnlyInsideItsBounds) {
  GenParticle p;
  p.Attach<PLifeConst>(0.1f);
  p.Attach<PSteady>(kSize, 0.3f, 0.6f, 2.0f);
  std::vector<float> sizes;
  for (int i = 0; i < 9; ++i) {
    p.Update(1);
    sizes.push_back(p.values[kSize]);
  }
  // Progress 0.1 … 0.9: growth at 0.4, 0.5 (0.3 and 0.6 are bounds, not inside).
  EXPECT_FLOAT_EQ(sizes[2], 1);
  EXPECT_FLOAT_EQ(sizes[4], 5);
  EXPECT_FLOAT_EQ(sizes[8], 5);
}

TEST(Processes, TwinkleFlashesButNeverFallsBelowItsBase) {
  SeedRand(7);
  GenParticle p;
  p.Attach<PTwinkle>(kSize, 2.0f);
  float highest = 0;
  for (int i = 0; i < 2000; ++i) {
    p.Update(0.05f);
    ASSERT_GE(p.values[kSize], 2.0f);
    ASSERT_LE(p.values[kSize], 3.0f);
    highest = std::max(highest, p.values[kSize]);
  }
  EXPECT_GT(highest, 2.5f);
}

TEST(Processes, CopiesKeepTheirOwnProcesses) {
  GenParticle original;
  original.Attach<PAgeConst>(10.0f);
  original.Attach<PFade>(kOpacity, 0.0f, 1.0f, -1.0f);
  original.Attach<PKinetic>(Vector3{10, 0, 0}, Vector3{0, 10, 0});
  GenParticle copy = original;
  copy.Update(1);
  EXPECT_EQ(copy.values[kOpacity], 0.0f);
  EXPECT_FLOAT_EQ(copy.position.x, 10);
  EXPECT_FLOAT_EQ(copy.position.y, 5);  // a × dt² / 2
  // The original's fade still has its whole amount, its motion its speed.
  original.Update(0.5f);
  EXPECT_NEAR(original.values[kOpacity], 0.5f, 1e-6f);
  EXPECT_FLOAT_EQ(original.position.x, 5);
}

TEST(Processes, BrownianSteersBackIntoItsRegion) {
  SeedRand(3);
  auto field = std::make_shared<BrownianField>();
  field->low = {0, 0, 0};
  field->high = {100, 100, 0};
  GenParticle p(Vector3{500, 50, 0});
  p.Attach<PBrownian>(field);
  for (int i = 0; i < 200; ++i) p.Update(0.05f);  // 400 px to go at 100 px/s
  EXPECT_LE(p.position.x, 110);  // one step of overshoot at most
  // The region moves; the particle follows it.
  field->low = {1000, 0, 0};
  field->high = {1100, 100, 0};
  for (int i = 0; i < 300; ++i) p.Update(0.05f);
  EXPECT_GE(p.position.x, 990);
  EXPECT_LE(p.position.x, 1110);
}

}  // namespace
}  // namespace lumi
