#include "tools/contact_sheet.h"

#include <algorithm>
#include <cmath>

namespace lumi::tool {
namespace {

// Each pixel the mean of a factor x factor block.
RgbaImage Shrink(const RgbaImage& image, uint32_t factor) {
  RgbaImage small;
  small.width = image.width / factor;
  small.height = image.height / factor;
  small.pixels.assign(size_t{small.width} * small.height * 4, 0);
  for (uint32_t y = 0; y < small.height; ++y) {
    for (uint32_t x = 0; x < small.width; ++x) {
      for (int c = 0; c < 4; ++c) {
        uint32_t sum = 0;
        for (uint32_t dy = 0; dy < factor; ++dy) {
          for (uint32_t dx = 0; dx < factor; ++dx) {
            sum += image.pixels[(size_t{y * factor + dy} * image.width + x * factor + dx) * 4 + c];
          }
        }
        small.pixels[(size_t{y} * small.width + x) * 4 + c] = static_cast<uint8_t>(sum / (factor * factor));
      }
    }
  }
  return small;
}

}  // namespace

void MakeOpaque(RgbaImage& frame) {
  for (size_t i = 3; i < frame.pixels.size(); i += 4) frame.pixels[i] = 255;
}

RgbaImage MakeContactSheet(const std::vector<RgbaImage>& frames) {
  RgbaImage sheet;
  if (frames.empty() || frames[0].width == 0 || frames[0].height == 0) return sheet;
  const uint32_t factor = std::max(1u, (frames[0].width + kContactCellWidth - 1) / kContactCellWidth);
  const uint32_t cell_width = std::max(1u, frames[0].width / factor), cell_height = std::max(1u, frames[0].height / factor);
  const auto count = static_cast<uint32_t>(frames.size());
  const auto columns = static_cast<uint32_t>(std::ceil(std::sqrt(static_cast<double>(count))));
  const uint32_t rows = (count + columns - 1) / columns;
  sheet.width = columns * cell_width + (columns + 1) * kContactGap;
  sheet.height = rows * cell_height + (rows + 1) * kContactGap;
  sheet.pixels.resize(size_t{sheet.width} * sheet.height * 4);
  for (size_t i = 0; i < sheet.pixels.size(); i += 4) {
    sheet.pixels[i] = sheet.pixels[i + 1] = sheet.pixels[i + 2] = 48;
    sheet.pixels[i + 3] = 255;
  }
  for (uint32_t i = 0; i < count; ++i) {
    const RgbaImage cell = factor > 1 ? Shrink(frames[i], factor) : frames[i];
    const uint32_t left = kContactGap + (i % columns) * (cell_width + kContactGap);
    const uint32_t top = kContactGap + (i / columns) * (cell_height + kContactGap);
    const uint32_t w = std::min(cell.width, cell_width), h = std::min(cell.height, cell_height);
    for (uint32_t y = 0; y < h; ++y) {
      std::copy_n(&cell.pixels[size_t{y} * cell.width * 4], size_t{w} * 4,
                  &sheet.pixels[(size_t{top + y} * sheet.width + left) * 4]);
    }
  }
  return sheet;
}

}  // namespace lumi::tool
