// Bursts and fountains at play: emission per timeline cycle and per
// second, lifetimes, focused and unfocused launches, and the random draws
// of new particles worked by hand from the generator's sequence.
#include <gtest/gtest.h>

#include <cmath>

#include "params/random.h"
#include "particles/burst_systems.h"
#include "particles/particle_routines.h"
#include "particles/value_noise.h"

namespace lumi {
namespace {

// The first draws of the generator seeded with 1.
constexpr int kDraws[] = {41,    18467, 6334,  26500, 19169, 15724, 11478, 29358, 26962, 24464,
                          5705,  28145, 23281, 16827, 9961,  491,   2995,  11942, 4827,  5436, 32391};

float R01(int i) { return static_cast<float>(kDraws[i]) / 32767; }
float Rad(float degrees) { return degrees * kPi / 180; }

VRN_BurstPtclSys Burst(unsigned int count) {
  VRN_BurstPtclSys burst;
  burst.count.Set(count);
  burst.range.Set(200);
  burst.launch_speed.Set(50);  // 200 px/s
  burst.launch.Set(90);
  burst.launch.spread.Set(60);
  return burst;
}

TEST(BurstEmission, OneCycleEmitsCountAndARestartEmitsAgain) {
  VRN_BurstPtclSys burst = Burst(100);
  burst.Attach();
  EXPECT_NE(burst.look.look_flags & ParticleLook::kWobble, 0);
  burst.ResetPopulation();
  burst.timeline_level = 0.25f;
  burst.Step(0.1f);
  EXPECT_EQ(burst.particles.size(), 25u);
  burst.timeline_level = 1;
  burst.Step(0.1f);
  EXPECT_EQ(burst.emitted_count, 100);
  EXPECT_EQ(burst.particles.size(), 100u);
  burst.Step(0.1f);
  EXPECT_EQ(burst.particles.size(), 100u);  // nothing more in this cycle
  // The particles live range / speed = 1 s.
  EXPECT_FLOAT_EQ(burst.particles.back()->life->Lifetime(), 1.0f);
  for (int i = 0; i < 9; ++i) burst.Step(0.1f);
  EXPECT_EQ(burst.particles.size(), 0u);
  burst.timeline_state = 1;  // the timeline starts again
  burst.Step(0.1f);
  EXPECT_EQ(burst.particles.size(), 100u);
  burst.ResetPopulation();
  EXPECT_TRUE(burst.particles.empty());
  EXPECT_EQ(burst.emitted_count, 0);
}

TEST(BurstEmission, ALevelJumpSpreadsTheBirthsOverTheFrame) {
  VRN_BurstPtclSys burst = Burst(100);
  burst.Step(0.2f);
  ASSERT_EQ(burst.particles.size(), 100u);
  EXPECT_FLOAT_EQ(burst.particles[0]->age(), 0);
  EXPECT_FLOAT_EQ(burst.particles[50]->age(), 0.1f);
  // Each moved along its velocity for its share of the frame.
  const Particle& p = *burst.particles[50];
  EXPECT_NEAR(Length(p.velocity), 200, 1e-3);
}

TEST(BurstEmission, HugeCountsAreCapped) {
  VRN_BurstPtclSys burst = Burst(0xFFFFFFFFu);
  burst.Step(0.1f);
  EXPECT_EQ(burst.particles.size(), VRN_ParticleSystemCtrl::kMostParticles);
}

TEST(BurstLaunch, ASpeedOfZeroStillEndsItsParticles) {
  VRN_BurstPtclSys burst = Burst(1);
  burst.launch_speed.Set(0);
  EXPECT_FLOAT_EQ(burst.Lifetime(), 200);  // range over 1 px/s, finite
  burst.range.Set(0);
  EXPECT_EQ(burst.Lifetime(), 0);
}

TEST(BurstLaunch, FocusedLaunchesAimAtTheFocusOrAlongTheDirection) {
  VRN_BurstPtclSys burst = Burst(50);
  burst.focused.Set(1);
  burst.start_radius.Set(20);
  burst.emitter.point.value = {100, 100, 0};
  SeedRand(7);
  burst.Step(0.0f);
  // With spread 60 the focus lies 20 / sin 30° = 40 px ahead along D, so
  // every velocity points at (100, 60).
  for (const ParticleHandle& p : burst.particles) {
    const Vector3 to_focus = Vec3Normalize(Vector3{100, 60, 0} - p->position);
    EXPECT_NEAR(Dot(to_focus, Vec3Normalize(p->velocity)), 1, 1e-4);
  }
  // Spread 0 launches along D from anywhere on the disc.
  for (unsigned int spread : {0u, 360u, 720u}) {
    VRN_BurstPtclSys straight = Burst(20);
    straight.focused.Set(1);
    straight.start_radius.Set(20);
    straight.launch.spread.Set(spread);
    straight.Step(0.0f);
    for (const ParticleHandle& p : straight.particles) {
      EXPECT_NEAR(p->velocity.x, 0, 1e-3) << spread;
      EXPECT_NEAR(p->velocity.y, -200, 1e-3) << spread;  // up the screen, forwards
    }
  }
}

TEST(BurstLaunch, NonFiniteEmitterPointsCountAsTheOrigin) {
  VRN_BurstPtclSys burst = Burst(5);
  burst.emitter.point.value = {NAN, INFINITY, 1};
  burst.Step(0.1f);
  for (const ParticleHandle& p : burst.particles) {
    EXPECT_TRUE(std::isfinite(p->position.x) && std::isfinite(p->position.y));
  }
}

TEST(FountainEmission, RateTimesLevel) {
  VRN_FontainPtclSys fountain;
  fountain.range.Set(10000);
  fountain.launch_speed.Set(25);
  fountain.timeline_level = 0.5f;
  for (int i = 0; i < 30; ++i) fountain.Step(0.1f);
  EXPECT_NEAR(static_cast<double>(fountain.particles.size()), 30, 1);  // 10 a second for 3 s
  // The pre-roll fills a continuous fountain to rate × lifetime.
  VRN_FontainPtclSys steady;
  steady.range.Set(200);
  steady.launch_speed.Set(50);  // 1 s of life at 20 a second
  steady.ResetPopulation();
  EXPECT_NEAR(static_cast<double>(steady.particles.size()), 20, 1);
}

TEST(FountainVariants, FlamesAccelerateAlongTheLaunchAndSmokeDriftsWithTheWind) {
  DS_PtclFire fire;
  fire.range.Set(1000);
  fire.launch_speed.Set(25);
  fire.launch.Set(90);
  fire.look.gravity.Set(20);  // 100 px/s², up the screen along the launch
  fire.Attach();
  fire.Step(0.1f);
  ASSERT_FALSE(fire.particles.empty());
  EXPECT_NEAR(fire.particles[0]->acceleration.x, 0, 1e-3);
  EXPECT_NEAR(fire.particles[0]->acceleration.y, -100, 1e-3);

  // Wind raw 60: 100 px/s to the right; gravity and drag of the look are off.
  DS_PtclSmoke smoke;
  smoke.range.Set(10000);
  smoke.launch_speed.Set(0);
  smoke.wind.Set(60);
  smoke.look.air_resistance.Set(100);  // the wind's strength 1
  smoke.look.look_flags |= ParticleLook::kPhysics;
  smoke.look.gravity_mode.Set(ParticleLook::kGravityDown);
  smoke.look.gravity.Set(100);
  smoke.Attach();
  EXPECT_EQ(smoke.look.look_flags & ParticleLook::kPhysics, 0);
  for (int i = 0; i < 100; ++i) smoke.Step(0.1f);
  const Particle& oldest = *smoke.particles.front();
  EXPECT_EQ(oldest.acceleration.y, 0);
  EXPECT_NEAR(oldest.velocity.x, 100, 1);  // it has caught the wind
  EXPECT_NEAR(oldest.velocity.y, 0, 1e-3);
}

TEST(FountainDraws, TwoParticlesFromSeedOneUseEveryDrawInOrder) {
  VRN_FontainPtclSys f;
  f.launch_speed.Set(25);  // 100 px/s
  f.range.Set(200);
  f.launch.Set(90);
  f.launch.spread.Set(60);
  f.start_radius.Set(10);
  f.look.spin_jitter.Set(50);  // m = 0.5
  f.look.alpha_wave.mode.Set(OscillationSetting::kCosine);
  f.look.size_wave.mode.Set(OscillationSetting::kNoise);
  f.emitter.point.value = {300, 200, 0};
  SeedRand(1);

  Particle a;
  a.position = f.emitter.point.value;
  f.InitParticle(a);
  // cell column 41 and row 18467 of a 1 × 1 grid, r1 6334, sizes 26500.
  EXPECT_FLOAT_EQ(a.size_random(), R01(3));
  EXPECT_FLOAT_EQ(a.spin(), R01(2) * 0.5f + 0.5f);
  EXPECT_EQ(a.alpha_random(), 0);  // drawn (19169), then cleared
  // angle jitter 15724; the alpha wave's phase 11478.
  EXPECT_NEAR(a.modulators[2], std::cos(R01(6) * 6.2831855f) * 0.5f + 0.5f, 1e-5);
  // The size wave's seed 29358: s = 29358² + 2.
  const ValueNoise noise(5, 29358u * 29358u + 2);
  EXPECT_NEAR(a.modulators[1], noise.At(0) * 0.5f + 0.5f, 1e-5);
  // Direction 26962 within 60..120 degrees, radius 24464 of 10.
  const float theta = Rad(60 + R01(8) * 60);
  EXPECT_NEAR(a.velocity.x, 100 * std::cos(theta), 1e-3);
  EXPECT_NEAR(a.velocity.y, -100 * std::sin(theta), 1e-3);
  EXPECT_NEAR(a.position.x, 300 + std::cos(theta) * R01(9) * 10, 1e-3);
  EXPECT_NEAR(a.position.y, 200 - std::sin(theta) * R01(9) * 10, 1e-3);

  f.focused.Set(1);
  f.three_d.Set(1);
  Particle b;
  b.position = f.emitter.point.value;
  f.InitParticle(b);
  EXPECT_FLOAT_EQ(b.size_random(), R01(13));  // 5705, 28145 cells, 23281 r1, 16827
  EXPECT_FLOAT_EQ(b.spin(), R01(12) * 0.5f + 0.5f);
  EXPECT_NEAR(b.modulators[2], std::cos(R01(16) * 6.2831855f) * 0.5f + 0.5f, 1e-5);
  // Focused: radius 4827 first, then the 3-D direction 5436 and its turn
  // about y by 32391 within ±180°.
  const float r = R01(18) * 10;
  const float phi = Rad(R01(19) * 360), turn = Rad(-180 + R01(20) * 360);
  const Vector3 u{std::cos(phi) * std::cos(turn), -std::sin(phi), -std::cos(phi) * std::sin(turn)};
  const Vector3 start = Vector3{300, 200, 0} + u * r;
  EXPECT_NEAR(b.position.x, start.x, 1e-3);
  EXPECT_NEAR(b.position.y, start.y, 1e-3);
  EXPECT_NEAR(b.position.z, start.z, 1e-3);
  // Aimed at the focus 10 / sin 30° = 20 px from the point along D.
  const Vector3 aim = Vec3Normalize(Vector3{300, 180, 0} - start) * 100;
  EXPECT_NEAR(b.velocity.x, aim.x, 1e-3);
  EXPECT_NEAR(b.velocity.y, aim.y, 1e-3);
  EXPECT_NEAR(b.velocity.z, aim.z, 1e-3);
  EXPECT_EQ(Rand(), 14604);  // nothing else was drawn
}

}  // namespace
}  // namespace lumi
