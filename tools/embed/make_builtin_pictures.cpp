// Draws the small pictures the saver carries in its own resources: a noise
// picture, the "Loading..." picture and markers (frames, cross-hairs,
// arrows, checkerboards), written as OUTDIR/picture_ID.png.
//
//   make_builtin_pictures OUTDIR
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#define STB_IMAGE_WRITE_IMPLEMENTATION
#include "stb_image_write.h"
#include "stb_easy_font.h"

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

Picture Noise() {
  // The C library's generator, so every build draws the same picture.
  std::uint32_t state = 1;
  Picture picture(512, 512, 1);
  for (int y = 0; y < picture.height; ++y) {
    for (int x = 0; x < picture.width; ++x) {
      state = state * 214013u + 2531011u;
      picture.Set(x, y, static_cast<std::uint8_t>((state >> 16) & 0xFF));
    }
  }
  return picture;
}

Picture Loading() {
  constexpr int kScale = 4;
  char text[] = "Loading...";
  const int textWidth = stb_easy_font_width(text);
  const int textHeight = stb_easy_font_height(text);
  Picture picture(256, 64);
  picture.FillRect(0, 0, picture.width, picture.height, 0);
  std::vector<char> vertices(64 * 1024);
  const int quads = stb_easy_font_print(0, 0, text, nullptr, vertices.data(), static_cast<int>(vertices.size()));
  const int left = (picture.width - textWidth * kScale) / 2;
  const int top = (picture.height - textHeight * kScale) / 2;
  for (int q = 0; q < quads; ++q) {
    float minX = 1e9f, minY = 1e9f, maxX = -1e9f, maxY = -1e9f;
    for (int v = 0; v < 4; ++v) {
      // Each vertex is x, y, z as floats and four colour bytes.
      float xy[2];
      std::memcpy(xy, vertices.data() + (q * 4 + v) * 16, sizeof xy);
      minX = std::min(minX, xy[0]);
      maxX = std::max(maxX, xy[0]);
      minY = std::min(minY, xy[1]);
      maxY = std::max(maxY, xy[1]);
    }
    auto scaled = [](float v) { return static_cast<int>(std::lround(v * kScale)); };
    picture.FillRect(left + scaled(minX), top + scaled(minY), left + scaled(maxX), top + scaled(maxY), 255);
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
  if (argc != 2) {
    std::fprintf(stderr, "usage: make_builtin_pictures OUTDIR\n");
    return 2;
  }
  const std::string directory = argv[1];
  bool written = Write(directory, 2, Noise()) && Write(directory, 5, Loading());
  for (const MarkerSpec& marker : kMarkers) {
    written = written && Write(directory, marker.id, DrawMarker(marker.kind, marker.width, marker.height));
  }
  return written ? 0 : 1;
}
