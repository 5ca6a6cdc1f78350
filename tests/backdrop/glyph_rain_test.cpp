// The glyph rain's grid, feeders and their limits.
#include "backdrop/glyph_rain.h"

#include <gtest/gtest.h>

#include "params/random.h"

namespace lumi {
namespace {

GlyphRain Built(uint32_t width, uint32_t height, GlyphRain::Settings settings = {}) {
  SeedRand(1);
  GlyphRain rain;
  rain.Build(width, height, settings);
  return rain;
}

size_t SpinnerCount(const GlyphRain& rain) {
  size_t n = 0;
  for (uint32_t r = 0; r < rain.Rows(); ++r) {
    for (uint32_t c = 0; c < rain.Columns(); ++c) n += (rain.Cell(c, r) & GlyphRain::kSpinner) != 0;
  }
  return n;
}

TEST(GlyphRain, GridGlyphCountAndDensityTable) {
  const GlyphRain rain = Built(1024, 768);
  EXPECT_EQ(rain.Columns(), 65u);
  EXPECT_EQ(rain.Rows(), 49u);
  EXPECT_EQ(rain.Capacity(), 3185u);
  EXPECT_EQ(GlyphRain::GlyphCount(32, 1024), 34u);
  // A missing strip counts as the stand-in strip, never a division by 0.
  EXPECT_EQ(GlyphRain::GlyphCount(0, 0), 34u);
  EXPECT_EQ(GlyphRain::GlyphCount(1, 4000), 255u);
  EXPECT_EQ(GlyphRain::StartOdds(0), 85u);
  EXPECT_EQ(GlyphRain::StartOdds(1), 85u);
  EXPECT_EQ(GlyphRain::StartOdds(20), 25u);
  EXPECT_EQ(GlyphRain::StartOdds(64), 5u);
  EXPECT_EQ(GlyphRain::StartOdds(65), 3u);
  EXPECT_EQ(GlyphRain::StartOdds(120), 1u);
}

TEST(GlyphRain, SpinnersAreBoundedByTheirCountAndTheGrid) {
  GlyphRain::Settings settings;
  for (const uint32_t count : {0u, 1u}) {
    settings.spinner_count = count;
    EXPECT_EQ(SpinnerCount(Built(1024, 768, settings)), 0u) << count;
  }
  settings.spinner_count = 6;
  EXPECT_LE(SpinnerCount(Built(1024, 768, settings)), 5u);
  EXPECT_GT(SpinnerCount(Built(1024, 768, settings)), 0u);
  // Not 2^32 - 1 placements: as many as the 9 cells, some landing twice.
  settings.spinner_count = 0xFFFFFFFF;
  const size_t spinners = SpinnerCount(Built(40, 40, settings));
  EXPECT_GT(spinners, 0u);
  EXPECT_LE(spinners, 9u);
}

TEST(GlyphRain, TinyPicturesAndTinyCellsStayWithinBounds) {
  GlyphRain::Settings settings;
  settings.mutation = true;
  settings.density = 100;
  settings.insert_mode = 1;
  // One cell: the halves of the grid are 0.
  GlyphRain one = Built(10, 10, settings);
  EXPECT_EQ(one.Capacity(), 1u);
  std::vector<GlyphRecord> glyphs;
  for (int i = 0; i < 50; ++i) one.Tick(false, glyphs);
  EXPECT_LE(glyphs.size(), 1u);
  GlyphRain none = Built(0, 0, settings);
  none.Tick(false, glyphs);
  settings.cell_size = 1;
  const GlyphRain fine = Built(4000, 3000, settings);
  EXPECT_LE(fine.Capacity(), GlyphRain::kMostCells);
  EXPECT_GT(fine.CellSize(), 1u);
}

TEST(GlyphRain, InsertingAtTheTopScrollsTheColumnAndTheTailFades) {
  GlyphRain rain = Built(64, 64);  // 5 x 5 cells of 16
  rain.Insert(2, -1, 7);
  rain.Insert(2, -1, 9);
  EXPECT_EQ(GlyphRain::Glyph(rain.Cell(2, 0)), 9u);
  EXPECT_EQ(GlyphRain::Glyph(rain.Cell(2, 1)), 7u);
  EXPECT_EQ(GlyphRain::Glow(rain.Cell(2, 0)), 0);
  rain.Insert(2, -1, 0);
  rain.Insert(2, -1, 0);
  // The run moved down; where blanks came above its tail, the tail stays,
  // fading.
  EXPECT_EQ(GlyphRain::Glyph(rain.Cell(2, 3)), 7u);
  EXPECT_EQ(GlyphRain::Glyph(rain.Cell(2, 2)), 9u);
  EXPECT_EQ(GlyphRain::Glyph(rain.Cell(2, 1)), 9u);
  EXPECT_EQ(GlyphRain::Glow(rain.Cell(2, 1)), -1);
  EXPECT_EQ(GlyphRain::Glyph(rain.Cell(2, 0)), 0u);
  // Written in place, a glyph glows for one or two ticks.
  rain.Insert(4, 2, 5);
  EXPECT_GE(GlyphRain::Glow(rain.Cell(4, 2)), 1);
  rain.Insert(4, 9, 5);  // below the grid: nothing
}

TEST(GlyphRain, WithTheBuffersFullOnlyBlanksComeIn) {
  GlyphRain::Settings settings;
  settings.density = 100;
  settings.spinner_count = 0;
  GlyphRain rain = Built(160, 160, settings);
  std::vector<GlyphRecord> glyphs;
  for (int i = 0; i < 40; ++i) rain.Tick(false, glyphs);
  ASSERT_GT(glyphs.size(), 0u);
  const size_t before = glyphs.size();
  for (int i = 0; i < 5; ++i) {
    rain.Tick(true, glyphs);
    EXPECT_LE(glyphs.size(), before);
  }
  for (const GlyphRecord& g : glyphs) {
    EXPECT_LT(g.v_low, g.v_high);
    EXPECT_LE(g.v_high, 1.0f);
  }
}

}  // namespace
}  // namespace lumi
