// The simulation every emitter system shares: particle updates, the clock,
// the step's order, the pre-roll, the counters, the cap on live particles
// and the emitter shapes.
#include <gtest/gtest.h>

#include <cmath>

#include "params/random.h"
#include "particles/particle_routines.h"
#include "particles/particle_system.h"

namespace lumi {
namespace {

// A system that births `per_step` particles at the origin each step, each
// remembering the first update it received.
class CountingSystem : public VRN_ParticleSystemCtrl {
  LUMI_CONSTRUCTOR_CLONE(CountingSystem)

 public:
  void Emit(ParticleList& born, float /*dt*/) override {
    const int64_t n = Room(per_step);
    const size_t first = particles.size();
    SpawnAtPoint(particles, n, {});
    for (size_t i = first; i < particles.size(); ++i) {
      particles[i]->routines.push_back(std::make_shared<IPR_HeadAge>(1.0f));
      born.push_back(particles[i]);
    }
    steps.push_back(frame_delta);
  }
  float PrerollSeconds() const override { return preroll; }

  int64_t per_step = 0;
  float preroll = 5;
  std::vector<float> steps;
};

TEST(ParticleUpdate, LifeRoutineModulatorsAndDirection) {
  Particle p;
  p.life = std::make_shared<IPR_ConstantAge>(2.0f);
  p.modulators.fill(3);
  p.force = {5, 5, 5};
  EXPECT_TRUE(p.Update(1.5f));
  EXPECT_TRUE(p.Update(0.5f));  // exactly 2: still alive
  EXPECT_EQ(p.modulators[2], 1.0f);
  EXPECT_EQ(p.force, (Vector3{}));
  // At rest the direction points down the screen.
  EXPECT_EQ(p.direction, (Vector3{0, 1, 0}));
  EXPECT_EQ(p.normal, (Vector3{-1, 0, 0}));
  EXPECT_FALSE(p.Update(0.01f));

  Particle moving;
  moving.velocity = {3, 4, 0};
  moving.routines.push_back(std::make_shared<IPR_Kinematic>());
  EXPECT_TRUE(moving.Update(0));
  EXPECT_FLOAT_EQ(moving.direction.x, 0.6f);
  EXPECT_FLOAT_EQ(moving.normal.x, -0.8f);
  EXPECT_FLOAT_EQ(moving.normal.y, 0.6f);
  // Reference point: displaced along the direction and the normal.
  moving.modulators[4] = 10;
  moving.modulators[5] = 0;
  EXPECT_FLOAT_EQ(moving.ReferencePoint().x, 6);
  EXPECT_FLOAT_EQ(moving.ReferencePoint().y, 8);
}

TEST(ParticleUpdate, AParticleThatStopsBeingFiniteDies) {
  Particle p;
  p.velocity = {INFINITY, 0, 0};
  p.routines.push_back(std::make_shared<IPR_Kinematic>());
  EXPECT_FALSE(p.Update(0.1f));
}

TEST(ParticleClock, BackwardsGapsAndSpeed) {
  CountingSystem s;
  s.Advance(1.0f);
  EXPECT_FLOAT_EQ(s.frame_delta, 0.2f);  // a gap of 1 s is one 0.2 s step
  s.Advance(0.5f);                       // back in time: no negative step
  EXPECT_EQ(s.frame_delta, 0.0f);
  s.speed.Set(50);
  s.Advance(0.6f);
  EXPECT_NEAR(s.frame_delta, 0.05f, 1e-6);
  s.speed.Set(0);
  s.Advance(0.7f);
  EXPECT_EQ(s.frame_delta, 0.0f);
  EXPECT_NEAR(s.total_time, 0.25, 1e-6);
}

TEST(ParticleStep, BirthsOfAFrameAreSpreadOverIt) {
  CountingSystem s;
  s.per_step = 4;
  s.Step(0.2f);
  ASSERT_EQ(s.particles.size(), 4u);
  for (size_t i = 0; i < 4; ++i) EXPECT_FLOAT_EQ(s.particles[i]->age(), 0.05f * static_cast<float>(i));
  // The dead leave, the others keep their order.
  s.particles[1]->life = std::make_shared<IPR_ConstantAge>(0.0f);
  const Particle* third = s.particles[2].get();
  s.per_step = 0;
  s.Step(0.1f);
  ASSERT_EQ(s.particles.size(), 3u);
  EXPECT_EQ(s.particles[1].get(), third);
}

TEST(ParticlePreroll, WholeStepsBoundedAndEmptyForSwitchedTimelines) {
  CountingSystem s;
  s.ResetPopulation();
  EXPECT_EQ(s.steps.size(), 50u);  // fifty tenths, not the 51 a float sum gives
  s.steps.clear();
  s.preroll = 1e9f;
  s.ResetPopulation();
  EXPECT_EQ(s.steps.size(), 600u);
  s.steps.clear();
  s.preroll = NAN;
  s.ResetPopulation();
  EXPECT_TRUE(s.steps.empty());

  s.preroll = 5;
  s.per_step = 1;
  s.Step(0.1f);
  s.steps.clear();
  s.timing.value = VRN_SmartTiming::kManual;
  s.ResetPopulation();
  EXPECT_TRUE(s.particles.empty());
  EXPECT_TRUE(s.steps.empty());
}

TEST(ParticleCap, LiveParticlesStopAtTheLimit) {
  CountingSystem s;
  s.per_step = 70000;
  s.Step(0.1f);
  s.Step(0.1f);
  EXPECT_EQ(s.particles.size(), VRN_ParticleSystemCtrl::kMostParticles);
  EXPECT_EQ(s.Room(5), 0);
  EXPECT_EQ(s.Room(-3), 0);
}

TEST(EvenCounter, CountsByTotals) {
  EvenCounter c;
  std::vector<int64_t> counts;
  for (int i = 0; i < 6; ++i) counts.push_back(c.Count(20, 0.033f));
  EXPECT_EQ(counts, (std::vector<int64_t>{0, 1, 0, 1, 1, 0}));
  int64_t total = 0;
  for (int i = 0; i < 1000; ++i) total += c.Count(20, 0.033f);
  EXPECT_NEAR(static_cast<double>(total), 20 * 0.033 * 1006 - 3, 1.0);
  EXPECT_EQ(c.Count(0, 1), 0);
  EXPECT_EQ(c.Count(-5, 1), 0);
  // The largest stored rate: a whole count in 64 bits, no wrap.
  EvenCounter big;
  EXPECT_GT(big.Count(static_cast<float>(0xFFFFFFFFu) * 0.2f, 0.2f), int64_t{100000000});
}

TEST(RandomCounter, IntervalsAndTheirEnds) {
  RandomCounter both_zero;
  for (int i = 0; i < 3; ++i) EXPECT_EQ(both_zero.Count(0, 0, 0.1f), 1);
  RandomCounter fixed;
  SeedRand(1);
  // Intervals of exactly 0.5 s: one per passed interval.
  int64_t total = 0;
  for (int i = 0; i < 19; ++i) total += fixed.Count(0.5f, 0.5f, 0.1f);
  EXPECT_EQ(total, 4);  // thresholds 0, 0.5, 1.0 and 1.5 are passed by 1.9 s
  // A negative interval ends the loop instead of running back forever.
  RandomCounter negative;
  EXPECT_EQ(negative.Count(-1, -1, 100), 1);
  EXPECT_EQ(negative.Count(-1, -1, 100), 1);
}

TEST(EmitterShapes, PositionsStayWithinTheirShapes) {
  SeedRand(1);
  ParticleList list;
  MediaQuad area;
  area.corners[0].value = {10, 20, 0};
  area.corners[3].value = {30, 60, 0};
  SpawnInRect(list, 50, area);
  SpawnInCircle(list, 50, {100, 100, 0}, 20);
  SpawnInSector(list, 50, {0, 0, 0}, 90, 60, 10);
  ASSERT_EQ(list.size(), 150u);
  for (size_t i = 0; i < 50; ++i) {
    const Vector3 p = list[i]->position;
    EXPECT_TRUE(p.x >= 10 && p.x <= 30 && p.y >= 20 && p.y <= 60);
    EXPECT_EQ(list[i]->routines.size(), 0u);
  }
  for (size_t i = 50; i < 100; ++i) EXPECT_LE(Length(list[i]->position - Vector3{100, 100, 0}), 10.0001f);
  for (size_t i = 100; i < 150; ++i) {
    const Vector3 p = list[i]->position;
    EXPECT_LE(Length(p), 10.0001f);
    EXPECT_LE(p.y, 0.0001f);  // the sector opens upwards
    if (Length(p) > 0.5f) {
      EXPECT_GE(-p.y / Length(p), std::cos(30 * kPi / 180) - 1e-4f);
    }
  }
  // The rectangle draws y first, then x.
  SeedRand(1);
  ParticleList one;
  SpawnInRect(one, 1, area);
  EXPECT_FLOAT_EQ(one[0]->position.y, 20 + 41.0f / 32767 * 40);
  EXPECT_FLOAT_EQ(one[0]->position.x, 10 + 18467.0f / 32767 * 20);
}

}  // namespace
}  // namespace lumi
