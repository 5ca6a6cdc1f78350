#include "backdrop/glyph_rain.h"

#include <algorithm>

#include "params/random.h"

namespace lumi {

namespace {

constexpr uint32_t kStandInStripWidth = 32, kStandInStripHeight = 1024;

uint32_t Random(uint32_t below) { return static_cast<uint32_t>(Rand()) % below; }

}  // namespace

uint32_t GlyphRain::GlyphCount(uint32_t strip_width, uint32_t strip_height) {
  if (strip_width == 0 || strip_height == 0) {
    strip_width = kStandInStripWidth;
    strip_height = kStandInStripHeight;
  }
  // A cell holds its glyph in eight bits.
  return std::min<uint32_t>(strip_height / strip_width + 2, kGlyphBits);
}

uint32_t GlyphRain::StartOdds(uint32_t density) {
  struct Step {
    uint32_t below, odds;
  };
  static constexpr Step kSteps[] = {{10, 85}, {15, 60}, {20, 45}, {25, 25}, {30, 20}, {35, 15},
                                    {45, 10}, {50, 8},  {55, 7},  {65, 5},  {80, 3},  {90, 2}};
  const uint32_t d = std::clamp<uint32_t>(density, 1, 100);
  for (const Step& step : kSteps) {
    if (d < step.below) return step.odds;
  }
  return 1;
}

void GlyphRain::Build(uint32_t picture_width, uint32_t picture_height, const Settings& settings) {
  settings_ = settings;
  settings_.cell_size = std::max<uint32_t>(settings.cell_size, 1);
  settings_.glyph_count = std::clamp<uint32_t>(settings.glyph_count, 1, kGlyphBits);
  // A small cell on a large picture would ask for millions of quads.
  const auto grid = [&](uint32_t cell) {
    return uint64_t{picture_width / cell + 1} * uint64_t{picture_height / cell + 1};
  };
  while (grid(settings_.cell_size) > kMostCells) ++settings_.cell_size;
  columns_ = picture_width / settings_.cell_size + 1;
  rows_ = picture_height / settings_.cell_size + 1;
  at_top_ = settings.insert_mode != 1;
  in_place_ = settings.insert_mode != 0;
  cells_.assign(size_t{columns_} * rows_, 0);
  feeders_.assign(columns_, Feeder{0, 0, 0});
  PlaceSpinners();
}

void GlyphRain::PlaceSpinners() {
  for (uint32_t& cell : cells_) cell &= ~kSpinner;
  // The count is one more than the spinners; 0 and 1 place none.
  const uint32_t spinners = std::min(settings_.spinner_count > 1 ? settings_.spinner_count - 1 : 0, Capacity());
  for (uint32_t i = 0; i < spinners; ++i) {
    const uint32_t column = Random(columns_);
    At(column, Random(rows_)) |= kSpinner;
  }
}

void GlyphRain::SetGlow(uint32_t& cell, int glow) {
  cell = (cell & ~0xFF00u) | (static_cast<uint32_t>(static_cast<uint8_t>(static_cast<int8_t>(glow))) << 8);
}

void GlyphRain::Insert(uint32_t column, int row, uint32_t value) {
  if (column >= columns_ || (row >= 0 && static_cast<uint32_t>(row) >= rows_)) return;
  const bool at_top = row < 0;
  if (at_top) {
    for (uint32_t r = rows_ - 1; r >= 1; --r) {
      uint32_t& cell = At(column, r);
      const uint32_t above = At(column, r - 1);
      if (Glyph(cell) != 0 && Glyph(above) == 0) {
        SetGlow(cell, -1);  // the run's tail fades where it was
      } else {
        cell = (cell & (kChanged | kSpinner)) | (above & 0xFFFF);
      }
      cell |= kChanged;
    }
  }
  uint32_t& target = At(column, at_top ? 0 : static_cast<uint32_t>(row));
  target = (target & kSpinner) | kChanged | (value & kGlyphBits);
  if (value != 0 && !at_top) SetGlow(target, (Rand() & 1) + 1);
}

void GlyphRain::Feed(bool buffers_full) {
  for (uint32_t column = 0; column < columns_; ++column) {
    Feeder& feeder = feeders_[column];
    if (feeder.delay > 0) {
      --feeder.delay;
    } else {
      if (feeder.remaining <= 0) {
        Insert(column, feeder.row, 0);
      } else {
        Insert(column, feeder.row, buffers_full ? 0 : Random(settings_.glyph_count) + 1);
        --feeder.remaining;
      }
      if (feeder.row >= 0) ++feeder.row;
    }
    if (Random(10) == 0) feeder.delay = static_cast<int>(Random(5) + Random(5));
  }
}

void GlyphRain::StartFeeders() {
  if (settings_.mutation && columns_ / 2 > 0) {
    const int n = static_cast<int>(Random(columns_ / 2 * 10) / 10) - 1;
    for (int i = 0; i < n; ++i) {
      const uint32_t column = Random(columns_);
      uint32_t& cell = At(column, Random(rows_));
      if (Glyph(cell) != 0 && Glow(cell) == 0) {
        SetGlow(cell, static_cast<int>(Random(20)));
        cell |= kChanged;
      }
    }
  }
  const uint32_t odds = StartOdds(settings_.density);
  for (Feeder& feeder : feeders_) {
    if (feeder.remaining > 0 || Random(odds) != 0) continue;
    feeder.remaining = static_cast<int>(Random(rows_) + 3);
    feeder.delay = static_cast<int>(Random(5) + Random(5));
    if (Rand() % 4 != 0) feeder.remaining = 0;  // three in four erase
    const bool in_place = at_top_ && in_place_ ? (Rand() & 1) != 0 : in_place_;
    // A grid of one row has no upper half to start in.
    feeder.row = in_place && rows_ / 2 > 0 ? static_cast<int>(Random(rows_ / 2)) : -1;
  }
  if (Random(500) == 0) PlaceSpinners();
}

void GlyphRain::Collect(std::vector<GlyphRecord>& records) {
  records.clear();
  const auto cell = static_cast<float>(settings_.cell_size);
  const float count = static_cast<float>(settings_.glyph_count);
  for (uint32_t row = 0; row < rows_; ++row) {
    for (uint32_t column = 0; column < columns_; ++column) {
      uint32_t& word = At(column, row);
      if (const uint32_t g = Glyph(word); g != 0) {
        const int glow = Glow(word);
        const GlyphRecord::Kind kind = glow > 0 || (word & kSpinner) != 0 ? GlyphRecord::kGlowing
                                       : glow == 0                       ? GlyphRecord::kPlain
                                                                         : GlyphRecord::kFading;
        records.push_back({static_cast<float>(column) * cell + cell / 2, static_cast<float>(row) * cell + cell / 2,
                           kind, static_cast<float>(g - 1) / count, static_cast<float>(g) / count, column, row});
      }
      if ((word & kChanged) == 0) continue;
      word &= ~kChanged;
      const int glow = Glow(word);
      if (glow > 0) {
        SetGlow(word, glow - 1);
        word |= kChanged;
      } else if (glow < 0) {
        if (glow == -1) word &= ~(kGlyphBits | 0xFF00u);
        else SetGlow(word, glow + 1);
        word |= kChanged;
      }
      if ((word & kSpinner) != 0 && Glyph(word) != 0) {
        word = (word & ~kGlyphBits) | Random(settings_.glyph_count) | kChanged;
      }
    }
  }
}

void GlyphRain::Tick(bool buffers_full, std::vector<GlyphRecord>& records) {
  if (columns_ == 0) return records.clear();
  Feed(buffers_full);
  StartFeeders();
  Collect(records);
}

}  // namespace lumi
