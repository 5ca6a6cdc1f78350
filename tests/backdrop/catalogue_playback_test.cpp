// Every catalogue effect drawn on the headless device over a photograph
// whose left half is painted: the right half stays as it was, the left
// changes, and moves where the effect animates.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>

#include "effects/catalogue_effects.h"
#include "tests/backdrop/playback_support.h"
#include "tests/support/masked_slide.h"

namespace lumi {
namespace {

using test::Compare;
using test::Painted;

const ResourceKey& kPhotoKey = test::kSlidePicture;
constexpr uint32_t kSize = 128;

struct Case {
  const char* name;
  std::function<std::unique_ptr<DS_FX_Constructor>()> make;
  bool animated = true;
  bool can_chain = true;
};

template <typename T>
Case Make(const char* name, std::function<void(T&)> set_up, bool animated = true, bool can_chain = true) {
  return {name,
          [set_up] {
            auto effect = std::make_unique<T>();
            set_up(*effect);
            return std::unique_ptr<DS_FX_Constructor>(std::move(effect));
          },
          animated, can_chain};
}

void CentreLeft(DS_CentralBased& effect) { effect.centre.Set({480, 600, 0}); }

std::vector<Case> Cases() {
  return {
      Make<DS_PatternBrush>("pattern", [](auto& e) { e.pattern_image.key = kPhotoKey; e.rotation_angle.Set(90); e.pattern_size.Set(30); e.x_offset.Set(20); }, false),
      Make<DS_PatternBrushC>("pattern_c", [](auto& e) { e.pattern_image.key = kPhotoKey; e.pattern_size.Set(40); e.y_offset.Set(30); }, false),
      Make<DS_BackgroundCopy>("copy", [](auto& e) { e.source_rectangle.x.Set(960); }, false),
      Make<DS_WavesFX>("waves", [](auto& e) { e.amplitude.Set(200); }),
      Make<DS_LightFX>("light", [](auto& e) { e.intensity.Set(100); }),
      Make<DS_LightFX_II>("light_two", [](auto& e) { e.colour.Set(0x0040A0FF); e.intensity.Set(70); e.oscillation_kind.Set(1); e.speed.Set(20); }, true, false),
      Make<DS_UnderwaterFX>("underwater", [](auto& e) { e.amplitude.Set(300); }),
      Make<DS_MoveFX>("move", [](auto& e) { e.mode.Set(3); e.first_parameter.Set(250); }),
      Make<DS_ExpandFX>("expand", [](auto& e) { e.mode.Set(3); e.a.Set(80); CentreLeft(e); }),
      Make<DS_RadialWaveFX>("radial_wave", [](auto& e) { e.amplitude.Set(150); CentreLeft(e); }),
      Make<DS_RotationFX>("rotation", [](auto& e) { e.speed.Set(200); CentreLeft(e); }),
      Make<DS_BendFX>("bend", [](auto& e) { e.mode.Set(3); e.a.Set(200); e.bend.Set(25); e.speed.Set(50); CentreLeft(e); }),
      Make<DS_CloudFX>("clouds", [](auto& e) { e.cloud_image.key = kPhotoKey; e.colour_1.Set(0xFFFFFF); e.colour_2.Set(0xC0C0C0); e.density.Set(50); e.speed.Set(1000); }, true, false),
      Make<DS_PerspectiveFX>("perspective", [](auto& e) { e.mode.Set(3); e.amplitude_a.Set(250); e.depth_factor.Set(1); e.speed.Set(50); CentreLeft(e); }),
      Make<DS_StretchFX>("stretch", [](auto& e) { e.mode.Set(3); e.a.Set(50); e.b.Set(50); e.speed.Set(20); CentreLeft(e); }),
      Make<DS_DayToNight>("day_to_night", [](auto& e) { e.multiply_colour.Set(0x00805030); e.desaturation.Set(60); }, false),
      Make<DS_KestrinLinear>("bands", [](auto& e) { e.first_parameter.Set(20); e.angle.Set(45); e.speed.Set(20); }),
      Make<DS_KestrinRadial>("radial_bands", [](auto& e) { e.amplitude.Set(8); e.speed.Set(20); CentreLeft(e); }),
      Make<DS_KestrinVortical>("swirl", [](auto& e) { e.amplitude.Set(20); e.speed.Set(20); CentreLeft(e); }),
      Make<DS_FireFX>("fire", [](auto& e) { e.base_colour.Set(0x000060FF); e.tip_colour.Set(0x0080FFFF); e.pattern_image.key = kPhotoKey; e.noise_image.key = CommonResource(62); }),
      Make<DS_HeatDistortion>("heat", [](auto& e) { e.shimmer_speed.Set(300); e.strength.Set(300); e.bump_size.Set(50); }),
  };
}

// The frame at time `end` of one slide of the photograph with the effect
// (or none) over the whole picture, its mask's left half painted or nothing;
// the device lost before the frame at `lose_at` (never for a negative time).
RgbaImage FrameAt(GraphicsDevice& device, const Case* effect_case, int uses_background, bool painted, float end,
                  float lose_at = -1) {
  std::unique_ptr<DS_FX_Constructor> effect;
  if (effect_case != nullptr) {
    effect = effect_case->make();
    effect->uses_background.Set(uses_background);
    const Vector3 corners[4] = {{0, 0, 0}, {0, 1200, 0}, {1920, 0, 0}, {1920, 1200, 0}};
    for (size_t i = 0; i < 4; ++i) effect->rectangle.corners[i].value = corners[i];
  }
  auto document = test::MaskedSlide("ColdRipple.jpg", painted ? Painted::LeftHalf : Painted::Nothing, std::move(effect));
  return test::FrameAt(device, *document, end, lose_at);
}

// The fitted 16:10 picture spans the whole width; the painted half is
// x < 64. Columns near the mask's edge are left out.
constexpr uint32_t kInsideEnd = 56, kOutsideStart = 72;

class CataloguePlayback : public ::testing::TestWithParam<size_t> {};

TEST_P(CataloguePlayback, ChangesOnlyThePaintedHalfAndMoves) {
  LUMI_REQUIRE_GL(device, kSize, kSize);
  const std::vector<Case> cases = Cases();
  const Case& effect_case = cases.at(GetParam());
  SCOPED_TRACE(effect_case.name);
  const RgbaImage picture = FrameAt(*device, nullptr, 0, false, 0.5f);
  const RgbaImage early = FrameAt(*device, &effect_case, 0, true, 0.5f);
  EXPECT_GT(Compare(early, picture, 0, kInsideEnd).mean, 1.0);
  EXPECT_LE(Compare(early, picture, kOutsideStart, kSize).largest, 1);
  if (effect_case.animated) {
    const RgbaImage later = FrameAt(*device, &effect_case, 0, true, 1.0f);
    EXPECT_GT(Compare(later, early, 0, kInsideEnd).mean, 0.3);
  }
  if (effect_case.can_chain) {
    // The chain's resampling alone changes pixels: compare with the same
    // pass over an empty mask.
    const RgbaImage unpainted = FrameAt(*device, &effect_case, 1, false, 0.5f);
    const RgbaImage chained = FrameAt(*device, &effect_case, 1, true, 0.5f);
    EXPECT_GT(Compare(chained, unpainted, 0, kInsideEnd).mean, 1.0);
    EXPECT_LE(Compare(chained, unpainted, kOutsideStart, kSize).largest, 1);
    EXPECT_LT(Compare(unpainted, picture, 0, kSize).mean, 4.0) << "the picture, not the chain's black";
  }
}

TEST(CataloguePlaybackLoss, TheFireSurfaceComesBackAfterADeviceLoss) {
  LUMI_REQUIRE_GL(device, kSize, kSize);
  const std::vector<Case> cases = Cases();
  const auto fire = std::find_if(cases.begin(), cases.end(), [](const Case& c) { return c.name == std::string("fire"); });
  ASSERT_NE(fire, cases.end());
  const RgbaImage steady = FrameAt(*device, &*fire, 0, true, 0.5f);
  const RgbaImage after_loss = FrameAt(*device, &*fire, 0, true, 0.5f, 0.3f);
  EXPECT_TRUE(test::ImagesMatch("fire-device-loss", after_loss, steady, 0));
}

// A software rasteriser draws the chain at the screen's size rather than
// three times it: the frames must look the same, the painted half where it
// was, for effects that bend, swirl and recolour what they read.
TEST(CataloguePlaybackQuality, TheChainAtTheScreensSizeLooksLikeTheSupersampledOne) {
  LUMI_REQUIRE_GL(device, kSize, kSize);
  const std::vector<Case> cases = Cases();
  for (const char* name : {"waves", "underwater", "radial_wave", "swirl", "day_to_night", "heat"}) {
    const auto found = std::find_if(cases.begin(), cases.end(), [&](const Case& c) { return c.name == std::string(name); });
    ASSERT_NE(found, cases.end()) << name;
    device->SetQuality(RenderQuality::Best);
    const RgbaImage best = FrameAt(*device, &*found, 1, true, 0.5f);
    device->SetQuality(RenderQuality::Fastest);
    const RgbaImage fastest = FrameAt(*device, &*found, 1, true, 0.5f);
    const RgbaImage unpainted = FrameAt(*device, &*found, 1, false, 0.5f);
    // Sampling three times the pixels down softens the picture a little:
    // about two levels on average, bent or not.
    EXPECT_LT(Compare(fastest, best, 0, kInsideEnd).mean, 3.0) << name;
    EXPECT_LT(Compare(fastest, best, kOutsideStart, kSize).mean, 3.0) << name;
    EXPECT_GT(Compare(fastest, unpainted, 0, kInsideEnd).mean, 1.0) << name << ": the effect still draws";
    EXPECT_LE(Compare(fastest, unpainted, kOutsideStart, kSize).largest, 1) << name << ": and only where painted";
  }
}

INSTANTIATE_TEST_SUITE_P(EveryClass, CataloguePlayback, ::testing::Range<size_t>(0, Cases().size()),
                         [](const ::testing::TestParamInfo<size_t>& info) { return std::string(Cases()[info.param].name); });

}  // namespace
}  // namespace lumi
