// The behaviours attached to particles: motion, drag and wind, the
// wandering and vortex routines, value changes and waves, the noise, path
// walking and the crossing conditions and rain actions.
#include <gtest/gtest.h>

#include <cmath>

#include "params/random.h"
#include "particles/interaction_routines.h"
#include "particles/particle_routines.h"

namespace lumi {
namespace {

TEST(MotionRoutines, KinematicDragAndWind) {
  Particle p;
  p.velocity = {10, 0, 0};
  p.acceleration = {0, 100, 0};
  IPR_Kinematic move;
  move.Update(0.1f, p);
  EXPECT_NEAR(p.position.x, 1, 1e-6);
  EXPECT_NEAR(p.position.y, 0.5, 1e-6);
  EXPECT_NEAR(p.velocity.y, 10, 1e-5);

  // Air resistance raw 3,000 (k = 30) at 0.1 s would turn the velocity
  // round; it may at most stop it.
  Particle q;
  q.velocity = {100, 0, 0};
  q.routines = {std::make_shared<IPR_AirResist>(30.0f), std::make_shared<IPR_Kinematic>()};
  for (int i = 0; i < 5; ++i) {
    q.Update(0.1f);
    EXPECT_GE(q.velocity.x, 0);
  }
  EXPECT_EQ(q.velocity.x, 0);
  // A gentle drag slows without stopping.
  Particle r;
  r.velocity = {100, 0, 0};
  IPR_AirResist drag(1);
  drag.Update(0.1f, r);
  EXPECT_FLOAT_EQ(r.force.x, -100);

  Particle w;
  w.routines = {std::make_shared<IPR_Wind>(Vector3{50, 0, 0}, 1000.0f), std::make_shared<IPR_Kinematic>()};
  for (int i = 0; i < 5; ++i) w.Update(0.1f);
  EXPECT_NEAR(w.velocity.x, 50, 1e-3);  // reaches the wind, never overshoots it
}

TEST(MotionRoutines, VortexTurnsAboutItsCentre) {
  MediaParamT<Vector3> centre;
  centre.value = {100, 100, 0};
  IPR_VortexVel vortex(centre, 10.0f, 2.0f, false);
  Particle p;
  p.position = {110, 100, 0};
  vortex.Update(0.1f, p);
  EXPECT_FLOAT_EQ(p.velocity.x, 10);
  EXPECT_FLOAT_EQ(p.velocity.y, 20);
  IPR_VortexVel reverse(centre, 0.0f, 2.0f, true);
  reverse.Update(0.1f, p);
  EXPECT_FLOAT_EQ(p.velocity.y, -20);
  p.position = centre.value;  // at the centre nothing happens
  p.velocity = {1, 2, 3};
  vortex.Update(0.1f, p);
  EXPECT_EQ(p.velocity, (Vector3{1, 2, 3}));
}

TEST(MotionRoutines, BrownianStaysFiniteWithZeroRatesAndReturnsHome) {
  MediaQuad region;
  region.corners[0].value = {0, 0, 0};
  region.corners[3].value = {100, 100, 0};
  SeedRand(3);
  // No acceleration time: the return velocity is taken at once. No change
  // rate: the course never changes.
  IPR_Brownian wander(region, 1.0f, 0.0f, 0.0f);
  Particle p;
  p.position = {500, 50, 0};
  for (int i = 0; i < 100; ++i) {
    wander.Update(0.1f, p);
    ASSERT_TRUE(std::isfinite(p.position.x));
  }
  EXPECT_LT(p.position.x, 500);
  // The particle's own velocity is never touched.
  EXPECT_EQ(p.velocity, (Vector3{}));
}

TEST(ValueRoutines, IncrementBudgetRampAndHarmonic) {
  Particle p;
  p.alpha_random() = 1;
  IPR_Increment fade(2, 0, 1, -2);
  for (int i = 0; i < 10; ++i) {
    p.age() += 0.1f;
    fade.Update(0.1f, p);
  }
  EXPECT_NEAR(p.alpha_random(), 0, 1e-6);  // exactly the budget, nothing after 0.5 s

  IPR_IncrementM ramp(1, 1, 0, 2, 3);
  const auto ramped = [&](float age) {
    Particle q;
    q.age() = age;
    ramp.Update(0, q);
    return q.modulators[1];
  };
  EXPECT_EQ(ramped(1), 1);
  EXPECT_FLOAT_EQ(ramped(2.5f), 0.5f);
  EXPECT_EQ(ramped(3.5f), 0);

  const float c = 0.3f;
  IPR_Harmonic wave(1, 0.4f, 1 - c, 5, c);
  for (float age = 0; age < 3; age += 0.05f) {
    Particle q;
    q.age() = age;
    wave.Update(0, q);
    EXPECT_GE(q.modulators[1], 1 - 2 * c - 1e-6);
    EXPECT_LE(q.modulators[1], 1 + 1e-6);
  }
}

TEST(ValueNoise, MovesWithTimeWhateverTheSeed) {
  EXPECT_GE(ValueNoise::Hash(12345), -1.0f);
  EXPECT_LE(ValueNoise::Hash(12345), 1.0f);
  // The largest seed a look draws: the noise must still vary in steps of
  // the frame, not stand still.
  for (uint32_t seed : {2u, 32766u * 32766u + 2}) {
    const ValueNoise noise(5, seed);
    float lowest = noise.At(0), highest = lowest;
    for (int i = 1; i < 200; ++i) {
      const float v = noise.At(i * 0.01);
      EXPECT_LT(std::fabs(v - noise.At((i - 1) * 0.01)), 0.3f) << "not smooth at seed " << seed;
      lowest = std::min(lowest, v);
      highest = std::max(highest, v);
    }
    EXPECT_GT(highest - lowest, 0.05f) << "still at seed " << seed;
  }
}

std::shared_ptr<std::vector<SplineSample>> StraightPath() {
  // (0,0) → (10,0) → (10,0) (no length) → (10,20).
  auto path = std::make_shared<std::vector<SplineSample>>();
  path->push_back({{0, 0, 0}, {1, 0, 0}, 10, 10});
  path->push_back({{10, 0, 0}, {0, 1, 0}, 0, 10});
  path->push_back({{10, 0, 0}, {0, 1, 0}, 20, 30});
  path->push_back({{10, 20, 0}, {0, 1, 0}, 0, 0});
  return path;
}

TEST(PathRoutines, TrackerPointsAndDegeneratePaths) {
  const SharedPath path = StraightPath();
  EXPECT_EQ(PathLength(*path), 30);
  SeedRand(1);
  IPR_PathTracker tracker(path, 10.0f, 0, 1.0f);  // factor exactly 1
  Particle p;
  EXPECT_TRUE(tracker.Update(0.5f, p));
  EXPECT_FLOAT_EQ(p.position.x, 5);
  EXPECT_TRUE(tracker.Update(1.0f, p));
  EXPECT_FLOAT_EQ(p.position.x, 10);
  EXPECT_FLOAT_EQ(p.position.y, 5);
  EXPECT_FALSE(tracker.Update(5.0f, p));  // past the end: placed there, dies
  EXPECT_FLOAT_EQ(p.position.y, 20);

  IPR_PathPoint point(path, 0);
  Particle q;
  q.age() = 12;
  EXPECT_TRUE(point.Update(0, q));
  EXPECT_FLOAT_EQ(q.position.y, 2);
  EXPECT_EQ(q.path_index, 2);
  q.age() = 99;
  EXPECT_FALSE(point.Update(0, q));
  EXPECT_FLOAT_EQ(q.position.y, 20);
  q.age() = -1;
  EXPECT_FALSE(point.Update(0, q));

  IPR_IndexedPathPoint indexed(path, 0);
  q.path_index = 99;
  EXPECT_TRUE(indexed.Update(0, q));
  EXPECT_FLOAT_EQ(q.position.y, 20);

  const SharedPath empty = std::make_shared<std::vector<SplineSample>>();
  IPR_PathTracker lost(empty, 10.0f, 0, 1.0f);
  EXPECT_FALSE(lost.Update(0.1f, q));
  EXPECT_EQ(lost.Lifetime(), 0);
}

TEST(Interactions, LeavingTheQuadKillsThroughDie) {
  MediaQuad pane;
  pane.corners[0].value = {0, 0, 0};
  pane.corners[1].value = {0, 100, 0};
  pane.corners[2].value = {100, 0, 0};
  pane.corners[3].value = {100, 100, 0};
  auto inside = std::make_shared<PRC_CrossQuad>(pane);
  IPR_InteractionRoutine guard(inside, std::make_shared<PRA_Die>());
  Particle p;
  p.modulators[4] = p.modulators[5] = 0;
  p.position = {50, 50, 0};
  EXPECT_TRUE(guard.Update(0, p));
  for (Vector3 out : {Vector3{-1, 50, 0}, {101, 50, 0}, {50, -1, 0}, {50, 101, 0}}) {
    p.position = out;
    EXPECT_FALSE(guard.Update(0, p));
  }
  IPR_RainInteractionRoutine falling(inside, std::make_shared<PRA_Die>());
  p.state_flags = kRainFallingIn;
  EXPECT_TRUE(falling.Update(0, p));
}

TEST(Interactions, MergingDropsPoolTheirWater) {
  auto absorbed = std::make_shared<Particle>();
  auto target = std::make_shared<Particle>();
  absorbed->size_random() = 1.2f;
  target->size_random() = 1.2f;
  target->position = {10, 0, 0};
  PRA_RainMerge merge;
  EXPECT_FALSE(merge.Apply(*absorbed, target));
  EXPECT_NE(absorbed->state_flags & kRainMerged, 0u);
  EXPECT_FALSE(merge.Apply(*absorbed, target));  // merged drops merge no more
  absorbed->Update(0.05f);
  EXPECT_FLOAT_EQ(absorbed->position.x, 5);
  EXPECT_FALSE(absorbed->Update(0.1f));
  EXPECT_FLOAT_EQ(target->size_random(), 1.3f);  // 1.2 × ∛2, capped
  EXPECT_NE(target->state_flags & kRainSliding, 0u);

  // A drop of size 0 slides without dividing by 0.
  Particle tiny;
  tiny.state_flags = kRainSliding;
  tiny.size_random() = 0;
  tiny.velocity = {0, 1, 0};
  IPR_RainDynamic slide({0, 10, 0});
  slide.Update(0.1f, tiny);
  EXPECT_TRUE(std::isfinite(tiny.acceleration.y));
}

}  // namespace
}  // namespace lumi
