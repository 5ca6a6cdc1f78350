// Draws the small pictures the saver carries in its own resources: a noise
// picture, the "Loading..." picture (in the face of FONT.ttf) and markers
// (frames, cross-hairs, arrows, checkerboards), written as
// OUTDIR/picture_ID.png.
//
//   make_builtin_pictures OUTDIR FONT.ttf
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#define STB_IMAGE_WRITE_IMPLEMENTATION
#include "stb_image_write.h"

#include "platform/text_raster.h"

namespace {

// White or grey shapes on transparent black, or plain grey.
struct Picture {
  int width;
  int height;
  int channels;
  std::vector<std::uint8_t> pixels;

  Picture(int w, int h, int c = 4) : width(w), height(h), channels(c), pixels(static_cast<std::size_t>(w) * h * c, 0) {}

  void Set(int x, int y, std::uint8_t grey) {
    if (x < 0 || y < 0 || x >= width || y >= height) return;
    std::uint8_t* pixel = &pixels[(static_cast<std::size_t>(y) * width + x) * channels];
    std::fill(pixel, pixel + channels, grey);
    if (channels == 4) pixel[3] = 255;
  }
  void FillRect(int x0, int y0, int x1, int y1, std::uint8_t grey) {
    for (int y = y0; y < y1; ++y) {
      for (int x = x0; x < x1; ++x) Set(x, y, grey);
    }
  }
};

// Smooth noise: five octaves of value noise, each twice as fine and half as
// strong as the one before, on lattices that wrap around so the picture
// tiles. Lattice values come from the C library's generator, so every build
// draws the same picture. (The generator's low bits taken pixel by pixel
// repeat in short cycles and show as a diagonal checker pattern.)
Picture Noise() {
  constexpr int kSize = 512, kOctaves = 5, kCoarsest = 4;
  std::uint32_t state = 1;
  std::vector<std::vector<float>> lattices;
  for (int octave = 0, cells = kCoarsest; octave < kOctaves; ++octave, cells *= 2) {
    std::vector<float>& lattice = lattices.emplace_back(static_cast<std::size_t>(cells) * cells);
    for (float& value : lattice) {
      state = state * 214013u + 2531011u;
      value = static_cast<float>((state >> 16) & 0x7FFF) / 32767.0f;
    }
  }
  std::vector<float> values;
  for (int y = 0; y < kSize; ++y) {
    for (int x = 0; x < kSize; ++x) {
      float sum = 0, amplitude = 1;
      for (int octave = 0, cells = kCoarsest; octave < kOctaves; ++octave, cells *= 2, amplitude /= 2) {
        const float u = static_cast<float>(x) * cells / kSize, v = static_cast<float>(y) * cells / kSize;
        const int x0 = static_cast<int>(u), y0 = static_cast<int>(v);
        const int x1 = (x0 + 1) % cells, y1 = (y0 + 1) % cells;
        // Smoothstep between lattice points hides the cells' edges.
        const auto ease = [](float t) { return t * t * (3 - 2 * t); };
        const float fx = ease(u - x0), fy = ease(v - y0);
        const auto at = [&](int i, int j) { return lattices[octave][static_cast<std::size_t>(j) * cells + i]; };
        const float top = at(x0, y0) + (at(x1, y0) - at(x0, y0)) * fx;
        const float bottom = at(x0, y1) + (at(x1, y1) - at(x0, y1)) * fx;
        sum += amplitude * (top + (bottom - top) * fy);
      }
      values.push_back(sum);
    }
  }
  // Octaves added together crowd towards the middle grey: the full range
  // of grey again.
  const auto [low, high] = std::minmax_element(values.begin(), values.end());
  const float lowest = *low, range = std::max(*high - *low, 1e-6f);
  Picture picture(kSize, kSize, 1);
  for (std::size_t i = 0; i < values.size(); ++i) {
    picture.pixels[i] = static_cast<std::uint8_t>(std::lround(255.0f * (values[i] - lowest) / range));
  }
  return picture;
}

// "Loading..." in a real face, white on opaque black, centred in a square:
// the saver shows the picture in a square of two thirds of the screen's
// height, so nothing is stretched.
Picture Loading(const std::vector<unsigned char>& font_file) {
  constexpr int kSide = 512;
  constexpr float kPixelHeight = 64;
  const std::u32string text = U"Loading...";
  Picture picture(kSide, kSide);
  picture.FillRect(0, 0, kSide, kSide, 0);
  const std::unique_ptr<lumi::TextFace> face = lumi::TextFace::FromBytes(font_file);
  if (!face) return picture;
  lumi::Coverage coverage(kSide, kSide);
  const float baseline = (kSide + face->Ascent(kPixelHeight) - face->Descent(kPixelHeight)) / 2;
  face->Draw(text, kPixelHeight, (kSide - face->Width(text, kPixelHeight)) / 2, baseline, coverage);
  for (std::size_t i = 0; i < coverage.levels.size(); ++i) {
    std::fill_n(&picture.pixels[i * 4], 3, coverage.levels[i]);
  }
  return picture;
}

enum class Marker { Solid, Frame, CrossHair, ArrowRight, ArrowLeft, ArrowUp, ArrowDown, Checkerboard };

Picture DrawMarker(Marker kind, int w, int h) {
  Picture picture(w, h);
  switch (kind) {
    case Marker::Solid:
      picture.FillRect(0, 0, w, h, 255);
      break;
    case Marker::Frame:
      picture.FillRect(0, 0, w, 1, 255);
      picture.FillRect(0, h - 1, w, h, 255);
      picture.FillRect(0, 0, 1, h, 255);
      picture.FillRect(w - 1, 0, w, h, 255);
      break;
    case Marker::CrossHair:
      picture.FillRect(0, h / 2, w, h / 2 + 1, 255);
      picture.FillRect(w / 2, 0, w / 2 + 1, h, 255);
      break;
    case Marker::Checkerboard: {
      const int cell = std::max(1, std::min(w, h) / 4);
      for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) picture.Set(x, y, ((x / cell + y / cell) % 2) ? 0 : 255);
      }
      break;
    }
    default: {
      // A triangle whose base is at the arrow's tail and whose tip points
      // the arrow's way.
      const bool horizontal = kind == Marker::ArrowRight || kind == Marker::ArrowLeft;
      const int length = horizontal ? w : h;
      const int breadth = horizontal ? h : w;
      for (int along = 0; along < length; ++along) {
        const int half = (breadth / 2) * (length - along) / length;
        for (int across = breadth / 2 - half; across <= breadth / 2 + half; ++across) {
          const bool forward = kind == Marker::ArrowRight || kind == Marker::ArrowDown;
          const int position = forward ? along : length - 1 - along;
          if (horizontal) {
            picture.Set(position, across, 255);
          } else {
            picture.Set(across, position, 255);
          }
        }
      }
    }
  }
  return picture;
}

struct MarkerSpec {
  int id;
  Marker kind;
  int width;
  int height;
};

constexpr MarkerSpec kMarkers[] = {
    {54, Marker::Solid, 1, 1},          {57, Marker::Frame, 128, 32},       {60, Marker::Frame, 16, 16},
    {61, Marker::Frame, 32, 32},        {62, Marker::Frame, 64, 32},        {63, Marker::CrossHair, 16, 16},
    {64, Marker::CrossHair, 32, 32},    {65, Marker::CrossHair, 64, 32},    {66, Marker::ArrowRight, 32, 32},
    {67, Marker::ArrowLeft, 32, 32},    {68, Marker::ArrowUp, 32, 32},      {69, Marker::ArrowDown, 32, 32},
    {70, Marker::Checkerboard, 8, 8},   {71, Marker::Checkerboard, 32, 32}, {72, Marker::Checkerboard, 128, 32},
    {74, Marker::Frame, 128, 16},       {75, Marker::CrossHair, 128, 32},   {76, Marker::ArrowRight, 64, 32},
    {77, Marker::Checkerboard, 2, 2},   {78, Marker::Solid, 4, 4},
};

bool Write(const std::string& directory, int id, const Picture& picture) {
  const std::string path = directory + "/picture_" + std::to_string(id) + ".png";
  if (stbi_write_png(path.c_str(), picture.width, picture.height, picture.channels, picture.pixels.data(),
                     picture.width * picture.channels)) {
    return true;
  }
  std::fprintf(stderr, "make_builtin_pictures: cannot write %s\n", path.c_str());
  return false;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: make_builtin_pictures OUTDIR FONT.ttf\n");
    return 2;
  }
  const std::string directory = argv[1];
  std::vector<unsigned char> font;
  if (FILE* file = std::fopen(argv[2], "rb")) {
    unsigned char buffer[65536];
    for (std::size_t got; (got = std::fread(buffer, 1, sizeof buffer, file)) > 0;) font.insert(font.end(), buffer, buffer + got);
    std::fclose(file);
  }
  if (font.empty()) {
    std::fprintf(stderr, "make_builtin_pictures: cannot read the font %s\n", argv[2]);
    return 1;
  }
  bool written = Write(directory, 2, Noise()) && Write(directory, 5, Loading(font));
  for (const MarkerSpec& marker : kMarkers) {
    written = written && Write(directory, marker.id, DrawMarker(marker.kind, marker.width, marker.height));
  }
  return written ? 0 : 1;
}
