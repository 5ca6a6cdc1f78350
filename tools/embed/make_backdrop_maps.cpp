// Draws the stand-ins the backdrop variants fall back on when neither the
// resource module nor the document carries them: the flame backdrop's fire
// pattern and fire noise (tiling grey pictures, the pattern drawn out
// upwards like rising flames), the glyph rain's strip of 32 square glyphs
// (white on transparent black), and the glass ball's two highlights (white
// over transparent), its wooden stand and a background of a panelled wall,
// written as OUTDIR/fire_pattern.png, fire_noise.png, glyph_strip.png,
// ball_highlight_1.png, ball_highlight_2.png, ball_stand.png and
// ball_background.png.
//
//   make_backdrop_maps OUTDIR
#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#define STB_IMAGE_WRITE_IMPLEMENTATION
#include "stb_easy_font.h"
#include "stb_image_write.h"
#include "tiling_noise.h"

namespace {

using lumi::embed::Byte;
using lumi::embed::Fractal;

constexpr int kMapSize = 256;
constexpr int kGlyphSide = 32;
constexpr int kGlyphCount = 32;

bool Write(const std::string& path, int width, int height, int channels, const std::vector<uint8_t>& pixels) {
  if (stbi_write_png(path.c_str(), width, height, channels, pixels.data(), width * channels)) return true;
  std::fprintf(stderr, "make_backdrop_maps: cannot write %s\n", path.c_str());
  return false;
}

bool WriteGrey(const std::string& path, const std::vector<double>& field) {
  std::vector<uint8_t> pixels(field.size());
  std::transform(field.begin(), field.end(), pixels.begin(), Byte);
  return Write(path, kMapSize, kMapSize, 1, pixels);
}

// Glyphs are letters and digits of the easy font, mirrored, each scaled to
// fill its square; rows top first.
bool WriteGlyphStrip(const std::string& path) {
  const char kGlyphs[] = "0123456789ABCDEFGHJKLMNPRSTUVXYZ";
  static_assert(sizeof kGlyphs - 1 == kGlyphCount);
  std::vector<uint8_t> pixels(static_cast<size_t>(kGlyphSide) * kGlyphSide * kGlyphCount * 4, 0);
  std::vector<char> vertices(16 * 1024);
  for (int g = 0; g < kGlyphCount; ++g) {
    char text[2] = {kGlyphs[g], 0};
    const int quads = stb_easy_font_print(0, 0, text, nullptr, vertices.data(), static_cast<int>(vertices.size()));
    // The font's letters are about 5 wide and 7 high.
    constexpr float kScale = 3.6f, kLeft = 7, kTop = 3;
    for (int q = 0; q < quads; ++q) {
      float min_x = 1e9f, min_y = 1e9f, max_x = -1e9f, max_y = -1e9f;
      for (int v = 0; v < 4; ++v) {
        float xy[2];
        std::memcpy(xy, vertices.data() + (q * 4 + v) * 16, sizeof xy);
        min_x = std::min(min_x, xy[0]);
        max_x = std::max(max_x, xy[0]);
        min_y = std::min(min_y, xy[1]);
        max_y = std::max(max_y, xy[1]);
      }
      const int x0 = kGlyphSide - 1 - static_cast<int>(std::lround(kLeft + max_x * kScale));
      const int x1 = kGlyphSide - 1 - static_cast<int>(std::lround(kLeft + min_x * kScale));
      const int y0 = static_cast<int>(std::lround(kTop + min_y * kScale));
      const int y1 = static_cast<int>(std::lround(kTop + max_y * kScale));
      for (int y = std::max(y0, 0); y < std::min(y1, kGlyphSide); ++y) {
        for (int x = std::max(x0, 0); x < std::min(x1, kGlyphSide); ++x) {
          uint8_t* p = &pixels[((static_cast<size_t>(g) * kGlyphSide + y) * kGlyphSide + x) * 4];
          std::fill(p, p + 4, uint8_t{255});
        }
      }
    }
  }
  return Write(path, kGlyphSide, kGlyphSide * kGlyphCount, 4, pixels);
}

// Every pixel of a size × size RGBA picture from its centre in −1 … 1
// (y up), as red, green, blue and alpha from 0 to 1.
template <typename Shade>
bool WriteRgba(const std::string& path, int width, int height, Shade shade) {
  std::vector<uint8_t> pixels(static_cast<size_t>(width) * height * 4);
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      const std::array<double, 4> c = shade(2.0 * (x + 0.5) / width - 1, 1 - 2.0 * (y + 0.5) / height);
      for (int i = 0; i < 4; ++i) pixels[(static_cast<size_t>(y) * width + x) * 4 + i] = Byte(c[i]);
    }
  }
  return Write(path, width, height, 4, pixels);
}

double Smooth(double edge0, double edge1, double x) {
  const double t = std::clamp((x - edge0) / (edge1 - edge0), 0.0, 1.0);
  return t * t * (3 - 2 * t);
}

// A broad crescent of light along the ball's upper left rim.
std::array<double, 4> Highlight1(double x, double y) {
  const double r = std::hypot(x, y), toward = (-x + y) / std::max(r, 1e-9) * 0.5 + 0.5;
  const double rim = Smooth(0.7, 0.92, r) * (1 - Smooth(0.95, 0.99, r));
  return {1, 1, 1, rim * std::pow(toward, 3) * 0.55};
}

// A small bright window reflection up right, and a faint glow at the bottom.
std::array<double, 4> Highlight2(double x, double y) {
  const double spot = 1 - Smooth(0.06, 0.16, std::hypot((x - 0.38) * 1.4, y - 0.45));
  const double glow = (1 - Smooth(0.0, 0.35, std::hypot(x * 0.6, y + 0.82))) * 0.3;
  return {1, 1, 1, std::max(spot * 0.85, glow)};
}

// A turned wooden base: wider at the bottom, with a lighter top edge.
std::array<double, 4> Stand(double x, double y) {
  const double half = 0.62 + 0.3 * (1 - (y + 1) / 2);
  if (std::fabs(x) > half || y > 0.95) return {0, 0, 0, 0};
  const double grain = 0.5 + 0.5 * std::sin(x * 40 + std::sin(y * 9) * 3);
  const double light = y > 0.75 ? 1.25 : 0.85 + 0.15 * grain;
  return {0.45 * light, 0.27 * light, 0.12 * light, 1};
}

// Warm panelling with a darker skirting.
std::array<double, 4> Background(double x, double y) {
  const double panel = std::fmod((x + 1) * 6, 1.0) < 0.04 ? 0.6 : 1.0;
  const double shade = (0.75 + 0.25 * y) * panel * (y < -0.7 ? 0.55 : 1);
  return {0.55 * shade, 0.42 * shade, 0.3 * shade, 1};
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: make_backdrop_maps OUTDIR\n");
    return 2;
  }
  const std::string directory = argv[1];
  // Flames: cells four times as tall as wide, so the streaks rise.
  const bool ok = WriteGrey(directory + "/fire_pattern.png", Fractal(kMapSize, 8, 2, 4, 53)) &&
                  WriteGrey(directory + "/fire_noise.png", Fractal(kMapSize, 4, 4, 5, 71)) &&
                  WriteGlyphStrip(directory + "/glyph_strip.png") &&
                  WriteRgba(directory + "/ball_highlight_1.png", 256, 256, Highlight1) &&
                  WriteRgba(directory + "/ball_highlight_2.png", 256, 256, Highlight2) &&
                  WriteRgba(directory + "/ball_stand.png", 256, 128, Stand) &&
                  WriteRgba(directory + "/ball_background.png", 512, 320, Background);
  return ok ? 0 : 1;
}
