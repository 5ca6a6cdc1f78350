#include "tools/embed/saver_icon.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace lumi::embed {
namespace {

constexpr int kSize = 32;
constexpr std::uint32_t kHeaderBytes = 6 + 16;  // ICONDIR and one ICONDIRENTRY
constexpr std::uint32_t kInfoBytes = 40;        // BITMAPINFOHEADER
constexpr std::uint32_t kPixelBytes = kSize * kSize * 4;
constexpr std::uint32_t kMaskBytes = kSize * (kSize / 8);  // rows of 1 bit a pixel, 4-byte aligned

void Put16(std::vector<unsigned char>& out, std::uint32_t value) {
  out.push_back(static_cast<unsigned char>(value));
  out.push_back(static_cast<unsigned char>(value >> 8));
}

void Put32(std::vector<unsigned char>& out, std::uint32_t value) {
  Put16(out, value & 0xFFFF);
  Put16(out, value >> 16);
}

unsigned char Channel(double value) { return static_cast<unsigned char>(std::clamp(value, 0.0, 1.0) * 255 + 0.5); }

// B, G, R, A of the pixel at (x, y), y counted from the top.
void Pixel(int x, int y, std::vector<unsigned char>& out) {
  const double cx = x + 0.5 - kSize / 2.0, cy = y + 0.5 - kSize / 2.0;
  const double inside = std::clamp(kSize / 2.0 - std::hypot(cx, cy), 0.0, 1.0);  // the round face, antialiased
  const double water = y >= 20 ? 1.0 : 0.0;
  const double sun = std::clamp(6.5 - std::hypot(cx, y + 0.5 - 18.0), 0.0, 1.0) * (1.0 - water);
  const double glow = std::exp(-std::hypot(cx, y + 0.5 - 18.0) / 7.0);
  const double red = 0.10 + 0.9 * sun + 0.5 * glow * (1.0 - sun);
  const double green = 0.12 + 0.75 * sun + 0.25 * glow * (1.0 - sun);
  const double blue = 0.30 + 0.25 * water + 0.2 * sun;
  out.push_back(Channel(blue));
  out.push_back(Channel(green));
  out.push_back(Channel(red));
  out.push_back(Channel(inside));
}

}  // namespace

std::vector<unsigned char> SaverIcon() {
  std::vector<unsigned char> icon;
  Put16(icon, 0);  // reserved
  Put16(icon, 1);  // an icon, not a cursor
  Put16(icon, 1);  // one picture
  icon.push_back(kSize);
  icon.push_back(kSize);
  icon.push_back(0);  // no palette
  icon.push_back(0);
  Put16(icon, 1);   // planes
  Put16(icon, 32);  // bits a pixel
  Put32(icon, kInfoBytes + kPixelBytes + kMaskBytes);
  Put32(icon, kHeaderBytes);

  Put32(icon, kInfoBytes);
  Put32(icon, kSize);
  Put32(icon, kSize * 2);  // the colour rows and the mask rows
  Put16(icon, 1);
  Put16(icon, 32);
  for (int field = 0; field < 6; ++field) Put32(icon, 0);  // no compression, sizes and palette unused
  // Rows bottom first, as bitmaps store them.
  for (int y = kSize - 1; y >= 0; --y) {
    for (int x = 0; x < kSize; ++x) Pixel(x, y, icon);
  }
  // The alpha channel decides; the mask is all opaque.
  icon.insert(icon.end(), kMaskBytes, 0);
  return icon;
}

}  // namespace lumi::embed
