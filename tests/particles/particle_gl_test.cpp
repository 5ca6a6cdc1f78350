// Particles on a real device: added overlaps brighter than blended ones,
// a glow that lights the pixels around its particles in the glow colour,
// centred on them with the picture fitted into the screen, a single quad
// that spins about its centre only with a spin speed, a multiplied line
// that darkens the picture even under a head glowing against it, a waving
// strip that follows its wave, and particles and a picture that move along
// their paths.
#include <gtest/gtest.h>

#include "particles/burst_systems.h"
#include "particles/line_systems.h"
#include "particles/particle_system_obj.h"
#include "particles/path_systems.h"
#include "particles/single_particle.h"
#include "scene/resource_access.h"
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

// The mean position of the pixels whose green channel is above 128.
struct Lit {
  double x = 0, y = 0, n = 0;
};
Lit LitPixels(const RgbaImage& image) {
  Lit lit;
  for (uint32_t y = 0; y < 128; ++y) {
    for (uint32_t x = 0; x < 128; ++x) {
      if (Channel(test::PixelAt(image, x, y), 8) <= 128) continue;
      lit.x += x;
      lit.y += y;
      ++lit.n;
    }
  }
  if (lit.n > 0) {
    lit.x /= lit.n;
    lit.y /= lit.n;
  }
  return lit;
}

SplinePath StraightPath(Vector3 from, Vector3 to) {
  SplinePath path;
  path.points = {std::make_shared<DX_BSplinePnt>(from), std::make_shared<DX_BSplinePnt>(to)};
  return path;
}

// Frames of 0.2 s up to `seconds`, then one draw over black.
RgbaImage PlayAndDraw(GraphicsDevice& device, test::TestBackdrop& backdrop, VRN_RenderObj& object, float seconds) {
  for (float t = 0.2f; t <= seconds + 1e-3f; t += 0.2f) object.FrameMove(t);
  EXPECT_TRUE(device.BeginScene());
  device.Clear(kClearTarget, 0xFF000000, 1, 0);
  object.Render(backdrop);
  device.EndScene();
  return test::ReadBack(device);
}

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
  // The glow is drawn at half the picture's size: a texel is two picture
  // pixels, four on the screen, and the halo centres on its particle to
  // within half of one.
  EXPECT_NEAR(halo_x / halo_n, quad_x / quad_n, 2.5);
  EXPECT_NEAR(halo_y / halo_n, quad_y / quad_n, 2.5);
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

// A line across the screen's middle, 10 pixels wide, over a light grey
// picture drawn the way a slide draws: through the effect chain with as
// many passes as the objects ask for.
TEST(LinePixels, AMultipliedLineDarkensThePictureItCrosses) {
  LUMI_REQUIRE_GL(device, 128, 128);
  test::TestBackdrop backdrop(*device, 128, 128);
  backdrop.RestoreDevice();
  test::BuiltinProgramAccess programs(*device);
  const auto grey = test::MakeTexture(*device, test::MakeImage(4, 4, [](uint32_t, uint32_t) { return 0xFFC0C0C0u; }));
  const auto slide = [&](VRN_GrovingLine& line, test::TestBackdrop& on) {
    std::shared_ptr<VRN_RenderObj> object = line.CreateRenderObject();
    object->FrameMove(0.1f);
    int passes = object->BackgroundPasses();
    EXPECT_TRUE(device->BeginScene());
    device->Clear(kClearTarget, 0xFF000000, 1, 0);
    EXPECT_TRUE(on.BeginOffscreen());
    on.DrawTexture(grey);
    on.RenderObjects({object}, passes);
    device->EndScene();
    EXPECT_EQ(passes, 0) << "every counted pass taken";
    return test::ReadBack(*device);
  };
  VRN_GrovingLine line;
  line.path = StraightPath({10, 64, 0}, {118, 64, 0});
  line.line_width.Set(10);
  line.line_look.colour.Set(0x00404040);
  line.line_look.blend_mode.Set(1);
  const RgbaImage darkened = slide(line, backdrop);
  // 0xC0 × 0x40 / 255 where the line runs, the picture elsewhere.
  EXPECT_TRUE(test::ColorNear(test::PixelAt(darkened, 64, 64), 0xFF303030, 3));
  EXPECT_TRUE(test::ColorNear(test::PixelAt(darkened, 30, 62), 0xFF303030, 3));
  EXPECT_TRUE(test::ColorNear(test::PixelAt(darkened, 64, 40), 0xFFC0C0C0, 2));
  EXPECT_TRUE(test::ColorNear(test::PixelAt(darkened, 4, 64), 0xFFC0C0C0, 2)) << "before the path's start";
  // Other blend modes take their pass as well and multiply the same way,
  // rather than leave the pass without the picture.
  line.line_look.blend_mode.Set(2);
  const RgbaImage other_mode = slide(line, backdrop);
  EXPECT_TRUE(test::ColorNear(test::PixelAt(other_mode, 64, 64), 0xFF303030, 3));
  EXPECT_TRUE(test::ColorNear(test::PixelAt(other_mode, 64, 40), 0xFFC0C0C0, 2));
  line.line_look.blend_mode.Set(1);

  // A head glowing against the background is a pass of its own: it must see
  // the darkened picture, not the one before the strip.
  line.head_on.Set(1);
  line.look.size.Set(6);
  line.look.glow_mode.Set(2);
  EXPECT_EQ(line.CreateRenderObject()->BackgroundPasses(), 2);
  const RgbaImage with_head = slide(line, backdrop);
  EXPECT_TRUE(test::ColorNear(test::PixelAt(with_head, 64, 64), 0xFF303030, 3)) << "the strip survives the head";
  EXPECT_GT(Channel(test::PixelAt(with_head, 118, 64), 8), 0xF0) << "the head at the line's end";

  // A 64 × 32 picture fitted into the square screen: the line, in picture
  // pixels, lands on the placed picture and the bands stay black.
  test::TestBackdrop fitted(*device, 64, 32);
  fitted.RestoreDevice();
  line.head_on.Set(0);
  line.path = StraightPath({5, 16, 0}, {59, 16, 0});
  line.line_width.Set(5);
  const RgbaImage placed = slide(line, fitted);
  EXPECT_TRUE(test::ColorNear(test::PixelAt(placed, 64, 64), 0xFF303030, 3));
  EXPECT_TRUE(test::ColorNear(test::PixelAt(placed, 64, 50), 0xFFC0C0C0, 2));
  EXPECT_TRUE(test::ColorNear(test::PixelAt(placed, 64, 20), 0xFF000000, 0)) << "the band above the picture";
  EXPECT_TRUE(test::ColorNear(test::PixelAt(placed, 64, 110), 0xFF000000, 0)) << "the band below";
}

TEST(LinePixels, TheWavingStripFollowsItsWave) {
  LUMI_REQUIRE_GL(device, 128, 128);
  test::TestBackdrop backdrop(*device, 128, 128);
  backdrop.RestoreDevice();
  test::BuiltinProgramAccess programs(*device);
  VRN_WavingLine line;
  line.ends = {Vector3{0, 64, 0}, Vector3{128, 64, 0}};
  // 6 wide, 20 high, one wave along the line, π a second.
  line.first_raws = {6, 20, 128, 314, 0};
  // At rest the middle stands at the crest, 20 pixels up the screen.
  const RgbaImage still = DrawOnce(*device, backdrop, line);
  EXPECT_GT(Channel(test::PixelAt(still, 64, 44), 8), 200);
  EXPECT_LT(Channel(test::PixelAt(still, 64, 64), 8), 10);
  EXPECT_LT(Channel(test::PixelAt(still, 64, 84), 8), 10);
  EXPECT_GT(Channel(test::PixelAt(still, 2, 64), 8), 200) << "held at its ends";
  // A second later the wave has run half its period: the middle is down.
  auto object = line.CreateRenderObject();
  const RgbaImage later = PlayAndDraw(*device, backdrop, *object, 1.0f);
  EXPECT_GT(Channel(test::PixelAt(later, 64, 84), 8), 200);
  EXPECT_LT(Channel(test::PixelAt(later, 64, 44), 8), 10);
  EXPECT_GT(Channel(test::PixelAt(later, 125, 64), 8), 200);
}

TEST(PathPixels, ParticlesRunDownTheirPath) {
  LUMI_REQUIRE_GL(device, 128, 128);
  test::TestBackdrop backdrop(*device, 128, 128);
  backdrop.RestoreDevice();
  test::BuiltinProgramAccess programs(*device);
  VRN_ParticlePath path;
  path.path = StraightPath({20, 20, 0}, {100, 100, 0});
  path.look.size.Set(8);
  // No wave, 40 pixels a second each, ten a second for the first frame.
  path.first_raws = {50, 40, 0, 0};
  path.last_raws = {0, 100, 20, 80, 0};
  auto object = path.CreateRenderObject();
  auto& system = static_cast<VRN_ParticleSystemMech&>(*object).System();
  auto& paths = static_cast<VRN_ParticlePath&>(system);
  system.particles.clear();
  paths.counter_state.Reset();
  object->FrameMove(0.1f);
  ASSERT_EQ(system.particles.size(), 1u);
  paths.first_raws[0] = 0;
  const RgbaImage first = PlayAndDraw(*device, backdrop, *object, 0.2f);
  const Vector3 was = system.particles[0]->position;
  const RgbaImage second = PlayAndDraw(*device, backdrop, *object, 1.2f);
  const Vector3 now = system.particles[0]->position;
  const Lit a = LitPixels(first), b = LitPixels(second);
  ASSERT_GT(a.n, 0);
  ASSERT_GT(b.n, 0);
  // Drawn where it is, give or take the lean of a quad's reference point,
  // and 40 pixels further down the diagonal a second later.
  EXPECT_NEAR(was.x, was.y, 1e-3);
  EXPECT_NEAR(now.x, now.y, 1e-3);
  EXPECT_NEAR(a.x, was.x, 2);
  EXPECT_NEAR(a.y, was.y, 2);
  EXPECT_NEAR(b.x, now.x, 2);
  EXPECT_NEAR(b.y, now.y, 2);
  EXPECT_NEAR(b.x - a.x, 40 / 1.41421356, 1.5);
  EXPECT_NEAR(b.y - a.y, 40 / 1.41421356, 1.5);
}

std::shared_ptr<Texture> halves_texture;

// Only the link named "halves" has a picture: 8 × 8, its left half red and
// its right half green.
PictureFrames HalvesOnly(const ResourceKey& key) {
  if (key.name != u"halves" || !halves_texture) return {};
  return {{halves_texture}, {}, 8, 8, 1, 1, 1};
}

TEST(PathPixels, ASinglePictureWalksItsPathSizedByItsPicture) {
  LUMI_REQUIRE_GL(device, 128, 128);
  test::TestBackdrop backdrop(*device, 128, 128);
  backdrop.RestoreDevice();
  test::BuiltinProgramAccess programs(*device);
  halves_texture = test::MakeTexture(
      *device, test::MakeImage(8, 8, [](uint32_t x, uint32_t) { return x < 4 ? 0xFFFF0000u : 0xFF00FF00u; }));
  DocumentResourceAccess().frames = HalvesOnly;
  const auto walk = [&](VRN_SigleObjectPath& walker, float seconds) {
    auto object = walker.CreateRenderObject();
    return PlayAndDraw(*device, backdrop, *object, seconds);
  };
  VRN_SigleObjectPath walker;
  walker.look.textures.value.images = {DS_ImageFileLink{}};
  walker.look.textures.value.images[0].key = {u"halves", 0};
  walker.size.Set(200);        // 16 × 16 pixels
  walker.walk_speed.Set(50);   // 50 pixels a second
  walker.path = StraightPath({108, 64, 0}, {20, 64, 0});  // running left
  const RgbaImage drawn = walk(walker, 1.0f);
  // Centred on the path 50 pixels from its start, red on the left.
  EXPECT_TRUE(test::ColorNear(test::PixelAt(drawn, 54, 64), 0xFFFF0000, 2));
  EXPECT_TRUE(test::ColorNear(test::PixelAt(drawn, 62, 58), 0xFF00FF00, 2));
  EXPECT_TRUE(test::ColorNear(test::PixelAt(drawn, 68, 64), 0xFF000000, 0));
  EXPECT_TRUE(test::ColorNear(test::PixelAt(drawn, 47, 64), 0xFF000000, 0));
  EXPECT_TRUE(test::ColorNear(test::PixelAt(drawn, 58, 74), 0xFF000000, 0));
  // Mirrored while the path runs left.
  walker.orientation.Set(2);
  const RgbaImage mirrored = walk(walker, 1.0f);
  EXPECT_TRUE(test::ColorNear(test::PixelAt(mirrored, 54, 64), 0xFF00FF00, 2));
  EXPECT_TRUE(test::ColorNear(test::PixelAt(mirrored, 62, 64), 0xFFFF0000, 2));
  // Turned along a path running down: the picture's left half behind, up
  // the screen.
  walker.orientation.Set(1);
  walker.path = StraightPath({64, 20, 0}, {64, 108, 0});
  const RgbaImage turned = walk(walker, 1.0f);
  EXPECT_TRUE(test::ColorNear(test::PixelAt(turned, 64, 66), 0xFFFF0000, 2));
  EXPECT_TRUE(test::ColorNear(test::PixelAt(turned, 60, 74), 0xFF00FF00, 2));
  // Round and round: the whole path and 12 pixels more bring it back near
  // its start.
  walker.orientation.Set(0);
  const RgbaImage again = walk(walker, 2.0f);
  EXPECT_TRUE(test::ColorNear(test::PixelAt(again, 60, 32), 0xFFFF0000, 2));
  EXPECT_TRUE(test::ColorNear(test::PixelAt(again, 68, 32), 0xFF00FF00, 2));
  EXPECT_TRUE(test::ColorNear(test::PixelAt(again, 64, 70), 0xFF000000, 0));
  halves_texture.reset();
}

}  // namespace
}  // namespace lumi
