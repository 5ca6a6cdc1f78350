// The look's arithmetic: size and opacity over a particle's life, the
// birth set-up's switches, and the quads built from particles.
#include <gtest/gtest.h>

#include <cmath>

#include "params/random.h"
#include "particles/particle_look.h"
#include "particles/particle_routines.h"

namespace lumi {
namespace {

Particle Aged(float age, float lifetime) {
  Particle p;
  p.life = std::make_shared<IPR_ConstantAge>(lifetime);
  p.age() = age;
  return p;
}

TEST(LookFactors, RampsJitterAndExplicitValues) {
  ParticleLook look;
  look.size_ramp.in_end.Set(10);
  look.size_ramp.out_start.Set(90);
  EXPECT_FLOAT_EQ(look.SizeFactor(Aged(0.1f, 2)), 0.5f);
  EXPECT_FLOAT_EQ(look.SizeFactor(Aged(1, 2)), 1);
  EXPECT_NEAR(look.SizeFactor(Aged(1.9f, 2)), 0.5f, 1e-5);
  // Older than the life: the ramp ends at its end scale, never below.
  EXPECT_FLOAT_EQ(look.SizeFactor(Aged(5, 2)), 0);
  // A lifetime of 0 switches the ramps off.
  EXPECT_FLOAT_EQ(look.SizeFactor(Aged(5, 0)), 1);

  // The default ramp (out start 1): a particle twice its life is not
  // turned inside out.
  ParticleLook plain;
  EXPECT_FLOAT_EQ(plain.SizeFactor(Aged(0.02f, 0.01f)), 1);
  EXPECT_FLOAT_EQ(plain.AlphaFactor(Aged(-1, 1)), 1);

  Particle p = Aged(1, 2);
  p.size_random() = 0.5f;
  p.alpha_random() = 0.25f;
  p.modulators[1] = 2;
  look.size_jitter.Set(40);  // J = 0.4
  EXPECT_FLOAT_EQ(look.SizeFactor(p), (1 - 0.4f * 0.5f) * 2);
  look.look_flags |= ParticleLook::kExplicitSize | ParticleLook::kExplicitAlpha;
  EXPECT_FLOAT_EQ(look.SizeFactor(p), 0.5f);
  EXPECT_FLOAT_EQ(look.AlphaFactor(p), 0.25f);
}

TEST(LookBirth, PhysicsSpinAndGrid) {
  ParticleLook look;
  look.look_flags = ParticleLook::kPhysics;
  look.gravity_mode.Set(ParticleLook::kGravityUp);
  look.gravity.Set(20);  // 100 px/s²
  look.air_resistance.Set(50);
  look.spin_direction.Set(2);
  look.run.grid_columns = 0;  // a side of 0 counts as 1
  look.run.grid_rows = 4;
  SeedRand(5);
  int negative = 0;
  for (int i = 0; i < 400; ++i) {
    Particle p;
    look.InitParticle(p, nullptr);
    EXPECT_FLOAT_EQ(p.acceleration.y, -100);
    ASSERT_EQ(p.routines.size(), 1u);  // the drag
    EXPECT_EQ(p.frame_scale_u, 1);
    EXPECT_EQ(p.frame_offset_u, 0);
    EXPECT_EQ(p.frame_scale_v, 0.25f);
    EXPECT_EQ(std::fmod(p.frame_offset_v, 0.25f), 0);
    negative += p.spin() < 0;
  }
  EXPECT_NEAR(negative, 200, 40);
}

TEST(LookQuads, CornersColourAndOrientation) {
  ParticleLook look;
  look.colour.Set(0x00336699);  // red 0x99, green 0x66, blue 0x33
  look.colour.opacity.Set(50);  // opacity byte 127.5 → 127
  Particle p;
  p.position = {100, 50, 0};
  p.modulators[4] = p.modulators[5] = 0;
  VertexPCT v[4];
  look.BuildQuad(p, 10, v);
  // A (left, below), B (left, above), C (right, below), D (right, above).
  const float corners[4][2] = {{95, 55}, {95, 45}, {105, 55}, {105, 45}};
  for (int i = 0; i < 4; ++i) {
    EXPECT_FLOAT_EQ(v[i].x, corners[i][0]);
    EXPECT_FLOAT_EQ(v[i].y, corners[i][1]);
  }
  EXPECT_EQ(v[0].u, 0);
  EXPECT_EQ(v[0].v, 1);
  EXPECT_EQ(v[3].u, 1);
  EXPECT_EQ(v[3].v, 0);
  EXPECT_EQ(v[0].color, (127u << 24) | 0x996633u);

  // Opacity rounds, clamps, and a NaN factor counts as 0.
  p.alpha_random() = NAN;
  look.look_flags = ParticleLook::kExplicitAlpha;
  look.BuildQuad(p, 10, v);
  EXPECT_EQ(v[0].color >> 24, 0u);

  // Along the velocity: a quad moving down the screen is turned a quarter.
  look.look_flags = 0;
  look.orientation.Set(1);
  p.velocity = {0, 30, 0};
  look.BuildQuad(p, 10, v);
  EXPECT_NEAR(v[3].x, 105, 1e-4);  // D = P + W/2 − H/2 with W down, H left
  EXPECT_NEAR(v[3].y, 55, 1e-4);
  // At rest it keeps its birth rotation.
  p.velocity = {};
  look.BuildQuad(p, 10, v);
  EXPECT_NEAR(v[3].x, 105, 1e-4);
  EXPECT_NEAR(v[3].y, 45, 1e-4);
}

TEST(LookClocks, SpinTurnsTheQuadByTheClockTotal) {
  ParticleLook look;
  look.orientation.Set(2);
  look.spin_clock.Set(20);  // 1 radian a second
  for (float t = 0; t <= 1.0f; t += 0.125f) look.UpdateClocks(t);
  EXPECT_NEAR(look.run.spin_total, 1.0, 1e-5);
  look.UpdateClocks(0.5f);  // back in time: no step
  EXPECT_NEAR(look.run.spin_total, 1.0, 1e-5);
  Particle p;
  p.spin() = kPi / 2;  // a quarter turn after 1 s
  p.modulators[4] = p.modulators[5] = 0;
  VertexPCT v[4];
  look.BuildQuad(p, 10, v);
  EXPECT_NEAR(v[3].x, 5, 1e-4);
  EXPECT_NEAR(v[3].y, 5, 1e-4);
}

}  // namespace
}  // namespace lumi
