// Particles on a real device: added overlaps brighter than blended ones,
// a glow that lights the pixels around its particles in the glow colour,
// centred on them with the picture fitted into the screen, and a single
// quad that spins about its centre only with a spin speed.
#include <gtest/gtest.h>

#include "particles/burst_systems.h"
#include "particles/particle_system_obj.h"
#include "particles/single_particle.h"
#include "tests/particles/builtin_program_access.h"
#include "tests/render/gl_test_support.h"
#include "tests/render/test_backdrop.h"

namespace lumi {
namespace {

// Particles that stay where they are born, `count` of them at `point`.
VRN_BurstPtclSys StillParticles(unsigned int count, Vector3 point, unsigned int size, uint32_t colour) {
  VRN_BurstPtclSys burst;
  burst.count.Set(count);
  burst.range.Set(1000);
  burst.emitter.point.value = point;
  burst.look.size.Set(size);
  burst.look.colour.Set(colour);
  return burst;
}

RgbaImage DrawOnce(GraphicsDevice& device, test::TestBackdrop& backdrop, const VRN_ParticleSystemCtrl& system) {
  auto object = system.CreateRenderObject();
  object->FrameMove(0.05f);
  EXPECT_TRUE(device.BeginScene());
  device.Clear(kClearTarget, 0xFF000000, 1, 0);
  object->Render(backdrop);
  device.EndScene();
  return test::ReadBack(device);
}

uint8_t Channel(uint32_t argb, int shift) { return static_cast<uint8_t>((argb >> shift) & 0xFF); }

TEST(ParticlePixels, AddedOverlapsAreBrighterThanBlendedOnes) {
  LUMI_REQUIRE_GL(device, 128, 128);
  test::TestBackdrop backdrop(*device, 128, 128);
  backdrop.RestoreDevice();
  test::BuiltinProgramAccess programs(*device);
  VRN_BurstPtclSys grey = StillParticles(2, {64, 64, 0}, 20, 0x00404040);
  const RgbaImage normal = DrawOnce(*device, backdrop, grey);
  grey.look.blend_mode.Set(1);
  const RgbaImage sum = DrawOnce(*device, backdrop, grey);
  EXPECT_TRUE(test::ColorNear(test::PixelAt(normal, 64, 64), 0xFF404040, 2));
  EXPECT_TRUE(test::ColorNear(test::PixelAt(sum, 64, 64), 0xFF808080, 2));
  EXPECT_TRUE(test::ColorNear(test::PixelAt(sum, 100, 100), 0xFF000000, 0));
}

TEST(ParticlePixels, GlowLightsAroundItsParticlesInFit) {
  LUMI_REQUIRE_GL(device, 128, 128);
  // A 64 × 32 picture fitted into the square screen: twice as large, with
  // bands above and below.
  test::TestBackdrop backdrop(*device, 64, 32);
  backdrop.RestoreDevice();
  test::BuiltinProgramAccess programs(*device);
  VRN_BurstPtclSys glowing = StillParticles(1, {20, 12, 0}, 4, 0x00FFFFFF);
  glowing.look.glow_mode.Set(1);
  const RgbaImage image = DrawOnce(*device, backdrop, glowing);

  // The quad is white; around it the halo is yellow (no blue).
  double quad_x = 0, quad_y = 0, halo_x = 0, halo_y = 0, quad_n = 0, halo_n = 0;
  for (uint32_t y = 0; y < 128; ++y) {
    for (uint32_t x = 0; x < 128; ++x) {
      const uint32_t c = test::PixelAt(image, x, y);
      const int r = Channel(c, 16), g = Channel(c, 8), b = Channel(c, 0);
      if (b > 200) {
        quad_x += x;
        quad_y += y;
        ++quad_n;
      } else if (r > 8) {
        EXPECT_LT(b, r / 4 + 2) << "halo not in the glow colour at " << x << "," << y;
        EXPECT_NEAR(r, g, 3);
        halo_x += r * x;
        halo_y += r * y;
        halo_n += r;
      }
    }
  }
  ASSERT_GT(quad_n, 0);
  ASSERT_GT(halo_n, 0) << "no glow beyond the quad";
  // The particle sits at picture (20, 12): screen (40, 24 + 32) give or
  // take the one-pixel lean of its reference point.
  EXPECT_NEAR(quad_x / quad_n, 40, 3);
  EXPECT_NEAR(quad_y / quad_n, 56, 3);
  EXPECT_NEAR(halo_x / halo_n, quad_x / quad_n, 1.5);
  EXPECT_NEAR(halo_y / halo_n, quad_y / quad_n, 1.5);
}

// A white bar 80 × 20 across the screen's centre, after one second of
// frames.
RgbaImage SpunBar(GraphicsDevice& device, test::TestBackdrop& backdrop, unsigned int spin_raw) {
  VRN_StaticObject bar;
  bar.area.Build(80, 20, {64, 64, 0});
  bar.look.colour.Set(0x00FFFFFF);
  bar.spin_speed.Set(spin_raw);
  auto object = bar.CreateRenderObject();
  for (int frame = 1; frame <= 5; ++frame) object->FrameMove(0.2f * static_cast<float>(frame));
  EXPECT_TRUE(device.BeginScene());
  device.Clear(kClearTarget, 0xFF000000, 1, 0);
  object->Render(backdrop);
  device.EndScene();
  return test::ReadBack(device);
}

TEST(StaticObjectPixels, TheQuadTurnsAboutItsCentreOnlyWithASpinSpeed) {
  LUMI_REQUIRE_GL(device, 128, 128);
  test::TestBackdrop backdrop(*device, 128, 128);
  backdrop.RestoreDevice();
  test::BuiltinProgramAccess programs(*device);
  const RgbaImage still = SpunBar(*device, backdrop, 0);
  EXPECT_TRUE(test::ColorNear(test::PixelAt(still, 64, 64), 0xFFFFFFFF, 2));
  EXPECT_TRUE(test::ColorNear(test::PixelAt(still, 100, 64), 0xFFFFFFFF, 2));
  EXPECT_TRUE(test::ColorNear(test::PixelAt(still, 64, 90), 0xFF000000, 0));
  // 90° a second for one second: the bar stands upright about the centre.
  const RgbaImage turned = SpunBar(*device, backdrop, 90);
  EXPECT_TRUE(test::ColorNear(test::PixelAt(turned, 64, 64), 0xFFFFFFFF, 2));
  EXPECT_TRUE(test::ColorNear(test::PixelAt(turned, 64, 100), 0xFFFFFFFF, 2));
  EXPECT_TRUE(test::ColorNear(test::PixelAt(turned, 100, 64), 0xFF000000, 0));
}

}  // namespace
}  // namespace lumi
