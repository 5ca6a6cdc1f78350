// Generators on a real device: stars composed over the picture where they
// were placed with the picture fitted into the screen, nothing elsewhere,
// and a screen composition that lightens the picture drawn so far.
#include <gtest/gtest.h>

#include "generators/catalogue.h"
#include "generators/particles_obj.h"
#include "tests/particles/builtin_program_access.h"
#include "tests/render/gl_test_support.h"
#include "tests/render/test_backdrop.h"

namespace lumi {
namespace {

std::shared_ptr<Texture> white;

PictureFrames WhiteOnly(const ResourceKey& key) {
  if (key.name != u"white" || !white) return {};
  return {{white}, {}, 4, 4, 1, 1, 1};
}

// One opaque white star 8 px across at picture point (x, y).
DS_TwinklingStars Star(float x, float y, int blend_mode) {
  DS_TwinklingStars star;
  star.images.value.images.emplace_back().key = {u"white", 0};
  star.effect.key = {u"generator program", 0};
  star.sprites.push_back(AirBrushSprite{{x, y, 0}, 5, {}});
  star.star_size.value = 8;
  star.blend_mode.value = blend_mode;
  return star;
}

std::shared_ptr<VRN_RenderObj> Play(const DS_ParticleGenerator& generator) {
  std::shared_ptr<VRN_RenderObj> object = generator.CreateRenderObject();
  auto* stars = dynamic_cast<DS_ParticlesObj*>(object.get());
  EXPECT_NE(stars, nullptr);
  // Full opacity, so that the expected colours are exact.
  for (GenParticle& p : stars->Generator().generated) p.values[kOpacity] = 1;
  object->FrameMove(0);
  return object;
}

struct GlStage {
  explicit GlStage(GraphicsDevice& device) : saved(DocumentResourceAccess().frames) {
    white = test::MakeTexture(device, test::MakeImage(4, 4, [](uint32_t, uint32_t) { return 0xFFFFFFFFu; }));
    DocumentResourceAccess().frames = WhiteOnly;
  }
  ~GlStage() {
    DocumentResourceAccess().frames = saved;
    white.reset();
  }
  PictureFrames (*saved)(const ResourceKey&);
};

TEST(GeneratorPixels, AStarLandsOnItsPlacedPointInFit) {
  LUMI_REQUIRE_GL(device, 128, 128);
  GlStage stage(*device);
  // A 64 × 32 picture fitted into the square screen: twice as large, with
  // bands above and below; picture (40, 12) is screen (80, 56).
  test::TestBackdrop backdrop(*device, 64, 32);
  backdrop.RestoreDevice();
  test::BuiltinProgramAccess programs(*device);
  const auto star = Play(Star(40, 12, 0));
  ASSERT_TRUE(device->BeginScene());
  device->Clear(kClearTarget, 0xFF000000, 1, 0);
  star->Render(backdrop);
  device->EndScene();
  const RgbaImage image = test::ReadBack(*device);
  double sum_x = 0, sum_y = 0, n = 0;
  for (uint32_t y = 0; y < 128; ++y) {
    for (uint32_t x = 0; x < 128; ++x) {
      if ((test::PixelAt(image, x, y) & 0xFF) < 128) continue;
      sum_x += x;
      sum_y += y;
      ++n;
    }
  }
  // 8 picture pixels across, 16 on the screen.
  ASSERT_GT(n, 150) << "the star drew nothing";
  EXPECT_LT(n, 350);
  EXPECT_NEAR(sum_x / n, 80, 1.5);
  EXPECT_NEAR(sum_y / n, 56, 1.5);
  EXPECT_TRUE(test::ColorNear(test::PixelAt(image, 80, 56), 0xFFFFFFFF, 3));
  EXPECT_TRUE(test::ColorNear(test::PixelAt(image, 20, 100), 0xFF000000, 0));
}

TEST(GeneratorPixels, ScreenAndSumLightenThePictureDrawnSoFar) {
  LUMI_REQUIRE_GL(device, 128, 128);
  GlStage stage(*device);
  test::TestBackdrop backdrop(*device, 128, 128);
  backdrop.RestoreDevice();
  test::BuiltinProgramAccess programs(*device);
  const auto blue = test::MakeTexture(*device, test::MakeImage(4, 4, [](uint32_t, uint32_t) { return 0xFF000040u; }));
  for (int mode : {1, 3}) {
    DS_TwinklingStars star = Star(64, 64, mode);
    star.colour.value = 0x00000080;  // half red
    const auto object = Play(star);
    EXPECT_EQ(object->NeedsBackground(), mode == 1);
    ASSERT_TRUE(device->BeginScene());
    device->Clear(kClearTarget, 0xFF000000, 1, 0);
    if (mode == 1) {
      // The picture goes into the chain, which the composite pass ends.
      ASSERT_TRUE(backdrop.BeginOffscreen());
      backdrop.DrawTexture(blue);
      int passes = 1;
      backdrop.RenderObjects({object}, passes);
    } else {
      backdrop.DrawTexture(blue);
      object->Render(backdrop);
    }
    device->EndScene();
    const RgbaImage image = test::ReadBack(*device);
    // Screen and sum agree where one of the two is black.
    EXPECT_TRUE(test::ColorNear(test::PixelAt(image, 64, 64), 0xFF800040, 3)) << "mode " << mode;
    EXPECT_TRUE(test::ColorNear(test::PixelAt(image, 100, 100), 0xFF000040, 2)) << "mode " << mode;
  }
}

// The mean x of the plant's white pixels in screen row y; -1 for none.
double RowCentre(const RgbaImage& image, uint32_t y) {
  double sum = 0, n = 0;
  for (uint32_t x = 0; x < 128; ++x) {
    if ((test::PixelAt(image, x, y) & 0xFF) < 128) continue;
    sum += x;
    ++n;
  }
  return n > 0 ? sum / n : -1;
}

TEST(GeneratorPixels, ThePlantBendsItsTopAndKeepsItsRoot) {
  LUMI_REQUIRE_GL(device, 128, 128);
  GlStage stage(*device);
  test::TestBackdrop backdrop(*device, 128, 128);
  backdrop.RestoreDevice();
  test::BuiltinProgramAccess programs(*device);
  // A white picture 20 × 80 standing on (64, 104), leaning 20 px at the top.
  DS_Plant plant;
  plant.images.value.images.emplace_back().key = {u"white", 0};
  plant.effect.key = {u"generator program", 0};
  plant.quad.Build(20, 80, {64, 64, 0});
  plant.wind.value = 0;
  plant.bending.value = 20;
  const auto object = Play(plant);
  ASSERT_TRUE(device->BeginScene());
  device->Clear(kClearTarget, 0xFF000000, 1, 0);
  object->Render(backdrop);
  device->EndScene();
  const RgbaImage image = test::ReadBack(*device);
  EXPECT_NEAR(RowCentre(image, 102), 64, 1) << "the root stays";
  EXPECT_NEAR(RowCentre(image, 26), 64 + 20 * 0.975 * 0.975, 1.5) << "the top leans by the bending";
  EXPECT_NEAR(RowCentre(image, 64), 64 + 20 * 0.25, 1.5) << "halfway up, a quarter of it";
}

}  // namespace
}  // namespace lumi
