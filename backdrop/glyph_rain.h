// The glyph rain's simulation: a grid of square cells over the picture,
// one feeder per column inserting runs of random glyphs or of blanks,
// glowing leaders, fading tails and spinning cells. It advances one tick at
// a time and lists the glyphs to draw; it knows nothing of the device.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace lumi {

// One glyph to draw: its cell's centre in picture pixels, how it is lit
// and the part of the glyph strip it shows.
struct GlyphRecord {
  enum Kind { kFading = 0, kPlain = 1, kGlowing = 2 };
  float x, y;
  Kind kind;
  float v_low, v_high;
  uint32_t column, row;
};

class GlyphRain {
 public:
  // Cells at most: the cell size grows until the grid fits.
  static constexpr uint32_t kMostCells = 262144;
  // A cell's word: the glyph (0 empty), a signed glow, two marks.
  static constexpr uint32_t kGlyphBits = 0xFF, kChanged = 1u << 16, kSpinner = 1u << 17;

  struct Settings {
    uint32_t cell_size = 16;
    uint32_t density = 20;
    uint32_t spinner_count = 50;
    bool mutation = false;
    int insert_mode = 2;  // 0 at the top, 1 in place, 2 either
    uint32_t glyph_count = 34;
  };

  // The glyph count of a strip of square glyphs of this size; a missing
  // strip counts as the stand-in's 32 × 1024.
  static uint32_t GlyphCount(uint32_t strip_width, uint32_t strip_height);
  // How many feeders in one start per tick, for a density of 1 … 100.
  static uint32_t StartOdds(uint32_t density);

  // Empties the grid over a picture of this size and places the spinners.
  void Build(uint32_t picture_width, uint32_t picture_height, const Settings& settings);
  // Feeding, starting feeders and collecting: the glyphs to draw now.
  // `buffers_full`: the last tick filled every cell, so only blanks come.
  void Tick(bool buffers_full, std::vector<GlyphRecord>& records);
  // Inserts `value` into `column` at `row`, or at the top scrolling the
  // column down when row is negative.
  void Insert(uint32_t column, int row, uint32_t value);
  void PlaceSpinners();

  uint32_t Columns() const { return columns_; }
  uint32_t Rows() const { return rows_; }
  uint32_t CellSize() const { return settings_.cell_size; }
  uint32_t Capacity() const { return columns_ * rows_; }
  const Settings& Used() const { return settings_; }
  uint32_t Cell(uint32_t column, uint32_t row) const { return cells_[size_t{row} * columns_ + column]; }
  static uint32_t Glyph(uint32_t cell) { return cell & kGlyphBits; }
  static int Glow(uint32_t cell) { return static_cast<int8_t>((cell >> 8) & 0xFF); }

 private:
  struct Feeder {
    int remaining = 0;  // glyphs still to insert; 0 or less: blanks
    int delay = 0;      // ticks to wait
    int row = -1;       // -1: insert at the top
  };
  uint32_t& At(uint32_t column, uint32_t row) { return cells_[size_t{row} * columns_ + column]; }
  static void SetGlow(uint32_t& cell, int glow);
  void Feed(bool buffers_full);
  void StartFeeders();
  void Collect(std::vector<GlyphRecord>& records);

  Settings settings_;
  uint32_t columns_ = 0, rows_ = 0;
  std::vector<uint32_t> cells_;
  std::vector<Feeder> feeders_;
  bool at_top_ = true, in_place_ = true;
};

}  // namespace lumi
