// Every catalogue effect drawn on the headless device over a photograph
// whose left half is painted: the right half stays as it was, the left
// changes, and moves where the effect animates.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>

#include "archive/file_io.h"
#include "backdrop/light_2d.h"
#include "backdrop/slide_player.h"
#include "effects/catalogue_effects.h"
#include "params/random.h"
#include "tests/render/gl_test_support.h"

namespace lumi {
namespace {

const ResourceKey kPhotoKey{u"C:\\pictures\\ColdRipple.jpg", 4321};
const GUID kBrush{0x5A1E0003, 0, 0x4000, {0x80, 0, 0, 0, 0, 0, 0, 3}};
constexpr uint32_t kSize = 128;

// A 512 x 512 mask as an uncompressed 32-bit TGA, its left half painted
// or nothing at all.
std::vector<uint8_t> MaskBytes(bool painted) {
  constexpr int kMask = 512;
  std::vector<uint8_t> bytes(18, 0);
  bytes[2] = 2;
  bytes[12] = kMask & 0xFF, bytes[13] = kMask >> 8, bytes[14] = kMask & 0xFF, bytes[15] = kMask >> 8;
  bytes[16] = 32;
  bytes[17] = 0x28;
  for (int y = 0; y < kMask; ++y) {
    for (int x = 0; x < kMask; ++x) bytes.insert(bytes.end(), {255, 255, 255, painted && x < kMask / 2 ? uint8_t{255} : uint8_t{0}});
  }
  return bytes;
}

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
      Make<DS_FireFX>("fire", [](auto& e) { e.base_colour.Set(0x000060FF); e.tip_colour.Set(0x0080FFFF); e.pattern_image.key = kPhotoKey; e.noise_image.key = fx::CommonResource(62); }),
      Make<DS_HeatDistortion>("heat", [](auto& e) { e.shimmer_speed.Set(300); e.strength.Set(300); e.bump_size.Set(50); }),
  };
}

// One slide of the photograph, without fades, with the effect over the
// whole picture (or none).
std::unique_ptr<Document> MakeDocument(const Case* effect_case, int uses_background, bool painted) {
  auto document = std::make_unique<Document>();
  DS_ResBlob blob{0, u"", {kPhotoKey.name, ReadFileBytes(LUMI_SOURCE_DIR "/samples/demo/ColdRipple.jpg")}};
  document->resources->pictures.push_back({kPhotoKey, {blob}});
  document->resources->masks.push_back({kBrush, u"half", true, {u"half.tga", MaskBytes(painted)}});
  auto slide = std::make_shared<DS_SlideContainer>();
  slide->fade_in.value = slide->fade_out.value = 0;
  slide->showing.value = 100;
  auto backdrop = std::make_shared<DS_2D_Light>();
  backdrop->picture.key = kPhotoKey;
  slide->backdrop = backdrop;
  if (effect_case != nullptr) {
    std::unique_ptr<DS_FX_Constructor> effect = effect_case->make();
    effect->brush_id = kBrush;
    effect->uses_background.Set(uses_background);
    const D3DXVECTOR3 corners[4] = {{0, 0, 0}, {0, 1200, 0}, {1920, 0, 0}, {1920, 1200, 0}};
    for (size_t i = 0; i < 4; ++i) effect->rectangle.corners[i].value = corners[i];
    slide->objects.push_back(std::move(effect));
  }
  document->show->slides.push_back(slide);
  return document;
}

// The frame at time `end`, played at 10 frames a second, the device lost
// before the frame at `lose_at` (never for a negative time).
RgbaImage FrameAt(GraphicsDevice& device, const Case* effect_case, int uses_background, bool painted, float end,
                  float lose_at = -1) {
  SeedRand(1);
  auto document = MakeDocument(effect_case, uses_background, painted);
  SlidePlayer player(device, *document, PlacementMode::Fit);
  std::string error;
  for (int frame = 0; frame <= static_cast<int>(end * 10 + 0.5f); ++frame) {
    const float t = static_cast<float>(frame) / 10;
    if (lose_at >= 0 && std::abs(t - lose_at) < 0.01f) {
      EXPECT_TRUE(player.LoseAndRestore(error)) << error;
    }
    player.Move(t);
    EXPECT_TRUE(player.Draw(error)) << error;
  }
  return test::ReadBack(device);
}

// Mean and largest difference per channel over the columns [left, right).
struct Difference {
  double mean = 0;
  int largest = 0;
};
Difference Compare(const RgbaImage& a, const RgbaImage& b, uint32_t left, uint32_t right) {
  Difference d;
  size_t count = 0;
  for (uint32_t y = 0; y < a.height; ++y) {
    for (uint32_t x = left; x < right; ++x) {
      for (int c = 0; c < 3; ++c) {
        const size_t i = (static_cast<size_t>(y) * a.width + x) * 4 + c;
        const int step = std::abs(static_cast<int>(a.pixels[i]) - static_cast<int>(b.pixels[i]));
        d.mean += step;
        d.largest = std::max(d.largest, step);
        ++count;
      }
    }
  }
  d.mean /= static_cast<double>(count);
  return d;
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

INSTANTIATE_TEST_SUITE_P(EveryClass, CataloguePlayback, ::testing::Range<size_t>(0, Cases().size()),
                         [](const ::testing::TestParamInfo<size_t>& info) { return std::string(Cases()[info.param].name); });

}  // namespace
}  // namespace lumi
