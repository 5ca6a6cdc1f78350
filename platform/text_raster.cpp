#include "platform/text_raster.h"

#include <algorithm>
#include <cmath>
#include <utility>

#define STBTT_STATIC
#define STB_TRUETYPE_IMPLEMENTATION
#include <stb_truetype.h>

namespace lumi {

struct TextFace::Font {
  std::vector<unsigned char> bytes;
  stbtt_fontinfo info{};
  int ascent = 0, descent = 0, gap = 0;
};

std::unique_ptr<TextFace> TextFace::FromBytes(std::vector<unsigned char> bytes) {
  auto font = std::make_unique<Font>();
  font->bytes = std::move(bytes);
  const int offset = font->bytes.empty() ? -1 : stbtt_GetFontOffsetForIndex(font->bytes.data(), 0);
  if (offset < 0 || !stbtt_InitFont(&font->info, font->bytes.data(), offset)) return nullptr;
  stbtt_GetFontVMetrics(&font->info, &font->ascent, &font->descent, &font->gap);
  return std::unique_ptr<TextFace>(new TextFace(std::move(font)));
}

TextFace::TextFace(std::unique_ptr<Font> font) : font_(std::move(font)) {}
TextFace::~TextFace() = default;

float TextFace::Ascent(float pixels) const {
  return static_cast<float>(font_->ascent) * stbtt_ScaleForPixelHeight(&font_->info, pixels);
}

float TextFace::Descent(float pixels) const {
  return static_cast<float>(-font_->descent) * stbtt_ScaleForPixelHeight(&font_->info, pixels);
}

float TextFace::LineHeight(float pixels) const {
  return static_cast<float>(font_->ascent - font_->descent + font_->gap) *
         stbtt_ScaleForPixelHeight(&font_->info, pixels);
}

namespace {

// How far the pen moves past `text[i]`.
float Advance(const stbtt_fontinfo& info, std::u32string_view text, std::size_t i, float scale) {
  int advance = 0, bearing = 0;
  const auto c = static_cast<int>(text[i]);
  stbtt_GetCodepointHMetrics(&info, c, &advance, &bearing);
  float step = static_cast<float>(advance) * scale;
  if (i + 1 < text.size()) {
    step += static_cast<float>(stbtt_GetCodepointKernAdvance(&info, c, static_cast<int>(text[i + 1]))) * scale;
  }
  return step;
}

}  // namespace

float TextFace::Width(std::u32string_view text, float pixels) const {
  const float scale = stbtt_ScaleForPixelHeight(&font_->info, pixels);
  float width = 0;
  for (std::size_t i = 0; i < text.size(); ++i) width += Advance(font_->info, text, i, scale);
  return width;
}

void TextFace::Draw(std::u32string_view text, float pixels, float x, float baseline, Coverage& target) const {
  const float scale = stbtt_ScaleForPixelHeight(&font_->info, pixels);
  const int line = static_cast<int>(std::lround(baseline));
  std::vector<unsigned char> glyph;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const auto c = static_cast<int>(text[i]);
    // Each glyph keeps the pen's fraction of a pixel, so spacing stays even.
    const float shift = x - std::floor(x);
    int x0 = 0, y0 = 0, x1 = 0, y1 = 0;
    stbtt_GetCodepointBitmapBoxSubpixel(&font_->info, c, scale, scale, shift, 0, &x0, &y0, &x1, &y1);
    const int w = x1 - x0, h = y1 - y0;
    if (w > 0 && h > 0) {
      glyph.assign(static_cast<std::size_t>(w) * h, 0);
      stbtt_MakeCodepointBitmapSubpixel(&font_->info, glyph.data(), w, h, w, scale, scale, shift, 0, c);
      const int left = static_cast<int>(std::floor(x)) + x0, top = line + y0;
      for (int gy = std::max(0, -top); gy < h && top + gy < target.height; ++gy) {
        for (int gx = std::max(0, -left); gx < w && left + gx < target.width; ++gx) {
          std::uint8_t& level = target.levels[static_cast<std::size_t>(top + gy) * target.width + (left + gx)];
          level = std::max(level, glyph[static_cast<std::size_t>(gy) * w + gx]);
        }
      }
    }
    x += Advance(font_->info, text, i, scale);
  }
}

std::vector<std::u32string> TextFace::Wrap(std::u32string_view text, float pixels, float room) const {
  std::vector<std::u32string> lines;
  std::u32string line;
  const auto fits = [&](std::u32string_view candidate) { return Width(candidate, pixels) <= room; };
  std::size_t start = 0;
  while (start < text.size()) {
    const std::size_t blank = std::min(text.find(U' ', start), text.size());
    std::u32string_view word = text.substr(start, blank - start);
    start = blank + 1;
    if (word.empty()) continue;
    const std::u32string longer = line.empty() ? std::u32string(word) : line + U' ' + std::u32string(word);
    if (fits(longer)) {
      line = longer;
      continue;
    }
    if (!line.empty()) lines.push_back(std::exchange(line, {}));
    // A word wider than the room by itself is cut where it must be.
    while (!fits(word)) {
      std::size_t cut = 1;
      while (cut < word.size() && fits(word.substr(0, cut + 1))) ++cut;
      lines.emplace_back(word.substr(0, cut));
      word.remove_prefix(cut);
    }
    line = word;
  }
  if (!line.empty()) lines.push_back(line);
  return lines;
}

std::u32string CodePoints(std::u16string_view text) {
  std::u32string points;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char32_t c = text[i];
    if (c >= 0xD800 && c < 0xDC00 && i + 1 < text.size() && text[i + 1] >= 0xDC00 && text[i + 1] < 0xE000) {
      points.push_back(0x10000 + ((c - 0xD800) << 10) + (text[++i] - 0xDC00));
    } else {
      points.push_back(c >= 0xD800 && c < 0xE000 ? U'\uFFFD' : c);
    }
  }
  return points;
}

}  // namespace lumi
