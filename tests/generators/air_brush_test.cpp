// The air brushes' placed points: twinkling stars and restarting sparkles.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "generators/catalogue.h"
#include "params/random.h"

namespace lumi {
namespace {

template <class Brush>
void PlaceThree(Brush& brush) {
  for (float x : {10.0f, 20.0f, 30.0f}) brush.sprites.push_back(AirBrushSprite{{x, 5, 0}, 5, {}});
  brush.PlaceSprites();
}

TEST(AirBrushes, TwinklingStarsNeverShrinkBelowWhatWasPlaced) {
  SeedRand(11);
  DS_TwinklingStars stars;
  PlaceThree(stars);
  ASSERT_EQ(stars.generated.size(), 3u);
  bool flashed = false;
  for (int k = 1; k <= 400; ++k) {
    stars.Advance(static_cast<float>(k) * 0.05f);
    for (const GenParticle& star : stars.generated) {
      ASSERT_GE(star.values[kSize], 1.0f);
      ASSERT_GE(star.values[kOpacity], 0.5f);
      flashed = flashed || star.values[kSize] > 1.1f;
    }
  }
  EXPECT_TRUE(flashed);
  EXPECT_EQ(stars.generated[2].position, (Vector3{30, 5, 0}));
}

TEST(AirBrushes, SparklesStartOutOfStepAndStartAgainWhenTheyEnd) {
  SeedRand(5);
  DS_Bling bling;
  bling.period.value = 100;  // 1 s
  PlaceThree(bling);
  EXPECT_NE(bling.generated[0].values[kAge], bling.generated[1].values[kAge]);
  int restarts = 0;
  for (int k = 1; k <= 60; ++k) {
    const float before = bling.generated[0].values[kAge];
    bling.Advance(static_cast<float>(k) * 0.05f);
    const GenParticle& s = bling.generated[0];
    if (s.values[kAge] < before) ++restarts;
    ASSERT_LT(s.values[kAge], 1.0f);
    ASSERT_GE(s.values[kSize], 0.0f);
    ASSERT_LE(s.values[kSize], 1.0f);
  }
  EXPECT_GE(restarts, 2);  // three seconds of one-second sparkles
  EXPECT_NEAR(bling.turn_clock.total, 3.0f, 1e-4f);

  // A period of 0 ends every sparkle in its own pre-run: the frame still ends.
  bling.period.value = 0;
  bling.Advance(3.05f);
  bling.Advance(3.1f);
  EXPECT_EQ(bling.generated.size(), 3u);
}

TEST(AirBrushes, AuroraBandsSwayAboutTheirPointsAndShimmer) {
  DS_Aurora aurora;
  PlaceThree(aurora);
  float low = 1, high = 0;
  for (int k = 1; k <= 100; ++k) {
    aurora.Advance(static_cast<float>(k) * 0.1f);
    for (size_t i = 0; i < 3; ++i) {
      const GenParticle& band = aurora.generated[i];
      ASSERT_LE(std::fabs(band.position.x - aurora.sprites[i].position.x), DS_Aurora::kDrift + 1e-3f);
      ASSERT_LE(std::fabs(band.position.y - 5), DS_Aurora::kWave + 1e-3f);
      low = std::min(low, band.values[kOpacity]);
      high = std::max(high, band.values[kOpacity]);
    }
  }
  EXPECT_GE(low, 0.1f - 1e-4f);
  EXPECT_LT(low, 0.3f);
  EXPECT_GT(high, 0.9f);
  EXPECT_NEAR(aurora.wave_clock.total, 10, 1e-3f);
}

}  // namespace
}  // namespace lumi
