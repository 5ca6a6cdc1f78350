// Text set in a TrueType face as 8-bit coverage, for the pictures and
// messages the programs draw themselves ("Loading...", the error box).
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace lumi {

// Coverage levels, 0 (none) to 255 (inside a glyph), row by row.
struct Coverage {
  int width = 0, height = 0;
  std::vector<std::uint8_t> levels;

  Coverage(int w, int h) : width(w), height(h), levels(static_cast<std::size_t>(w) * h, 0) {}
};

class TextFace {
 public:
  // Empty when `font` holds no face it can read.
  static std::unique_ptr<TextFace> FromBytes(std::vector<unsigned char> font);
  ~TextFace();

  // Above and below the baseline, and from one baseline to the next, in
  // pixels at a size of `pixels` (the face's ascent to descent).
  float Ascent(float pixels) const;
  float Descent(float pixels) const;
  float LineHeight(float pixels) const;
  // How far the pen moves over `text`, kerning included.
  float Width(std::u32string_view text, float pixels) const;
  // `text` with the pen starting at `x` and its baseline at `baseline`;
  // coverage only grows, so lines may overlap.
  void Draw(std::u32string_view text, float pixels, float x, float baseline, Coverage& target) const;
  // `text` broken into lines no wider than `room` at blanks, and inside a
  // word that is wider by itself.
  std::vector<std::u32string> Wrap(std::u32string_view text, float pixels, float room) const;

 private:
  struct Font;
  explicit TextFace(std::unique_ptr<Font> font);

  std::unique_ptr<Font> font_;
};

// Code points of UTF-16 text; an unpaired surrogate becomes U+FFFD.
std::u32string CodePoints(std::u16string_view text);

}  // namespace lumi
