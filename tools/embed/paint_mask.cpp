// Paints an image effect's brush mask, a 512 x 512 PNG whose alpha is the
// coverage, from a readable description: shapes with feathered edges, or an
// author's greyscale image whose brightness is the coverage. Coordinates are
// fractions of the picture (0 to 1, y down). Shapes add up by maximum.
//
//   paint_mask DESCRIPTION OUT.png
//
// DESCRIPTION, one statement a line, '#' starts a comment:
//   feather F                      width of the soft edge of the shapes after it
//   polygon X Y X Y X Y ...        at least three corners
//   ellipse CX CY RX RY
//   image FILE                     relative to DESCRIPTION's folder
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#define STB_IMAGE_IMPLEMENTATION
#include "stb_image.h"
#define STB_IMAGE_WRITE_IMPLEMENTATION
#include "stb_image_write.h"

namespace {

constexpr int kSize = 512;

struct Failure {
  std::string message;
};

// Signed distance to the polygon's outline, positive inside.
double PolygonDistance(const std::vector<double>& xy, double x, double y) {
  const size_t n = xy.size() / 2;
  double nearest = 1e9;
  bool inside = false;
  for (size_t i = 0, j = n - 1; i < n; j = i++) {
    const double xi = xy[2 * i], yi = xy[2 * i + 1], xj = xy[2 * j], yj = xy[2 * j + 1];
    if ((yi > y) != (yj > y) && x < (xj - xi) * (y - yi) / (yj - yi) + xi) inside = !inside;
    const double ex = xj - xi, ey = yj - yi;
    const double length2 = ex * ex + ey * ey;
    const double t = length2 > 0 ? std::clamp(((x - xi) * ex + (y - yi) * ey) / length2, 0.0, 1.0) : 0.0;
    nearest = std::min(nearest, std::hypot(x - (xi + t * ex), y - (yi + t * ey)));
  }
  return inside ? nearest : -nearest;
}

double EllipseDistance(double cx, double cy, double rx, double ry, double x, double y) {
  const double r = std::hypot((x - cx) / rx, (y - cy) / ry);
  return (1 - r) * std::min(rx, ry);
}

// Coverage across a soft edge centred on the outline.
double Edge(double distance, double feather) {
  if (feather <= 0) return distance >= 0 ? 1 : 0;
  return std::clamp(0.5 + distance / feather, 0.0, 1.0);
}

std::vector<double> ReadNumbers(std::istringstream& line, const std::string& statement, int lineNumber) {
  std::vector<double> numbers;
  double value = 0;
  while (line >> value) numbers.push_back(value);
  if (!line.eof()) throw Failure{"line " + std::to_string(lineNumber) + ": " + statement + " takes numbers only"};
  return numbers;
}

void PaintImage(const std::filesystem::path& file, std::vector<double>& coverage) {
  int w = 0, h = 0, channels = 0;
  unsigned char* grey = stbi_load(file.string().c_str(), &w, &h, &channels, 1);
  if (grey == nullptr) throw Failure{file.string() + ": " + stbi_failure_reason()};
  for (int y = 0; y < kSize; ++y) {
    for (int x = 0; x < kSize; ++x) {
      const int sx = std::min(w - 1, x * w / kSize), sy = std::min(h - 1, y * h / kSize);
      double& c = coverage[y * kSize + x];
      c = std::max(c, grey[sy * w + sx] / 255.0);
    }
  }
  stbi_image_free(grey);
}

std::vector<double> Paint(const std::filesystem::path& description) {
  std::ifstream in(description);
  if (!in) throw Failure{description.string() + ": cannot be read"};
  std::vector<double> coverage(kSize * kSize, 0.0);
  double feather = 0;
  std::string text;
  for (int lineNumber = 1; std::getline(in, text); ++lineNumber) {
    std::istringstream line(text.substr(0, text.find('#')));
    std::string statement;
    if (!(line >> statement)) continue;
    const auto shape = [&](auto distance) {
      for (int y = 0; y < kSize; ++y) {
        for (int x = 0; x < kSize; ++x) {
          double& c = coverage[y * kSize + x];
          c = std::max(c, Edge(distance((x + 0.5) / kSize, (y + 0.5) / kSize), feather));
        }
      }
    };
    const std::string where = "line " + std::to_string(lineNumber) + ": ";
    if (statement == "image") {
      std::string file;
      line >> file;
      PaintImage(description.parent_path() / file, coverage);
      continue;
    }
    const std::vector<double> n = ReadNumbers(line, statement, lineNumber);
    if (statement == "feather" && n.size() == 1) {
      feather = n[0];
    } else if (statement == "polygon" && n.size() >= 6 && n.size() % 2 == 0) {
      shape([&](double x, double y) { return PolygonDistance(n, x, y); });
    } else if (statement == "ellipse" && n.size() == 4 && n[2] > 0 && n[3] > 0) {
      shape([&](double x, double y) { return EllipseDistance(n[0], n[1], n[2], n[3], x, y); });
    } else {
      throw Failure{where + "expected 'feather F', 'polygon X Y ...' (three corners or more), "
                            "'ellipse CX CY RX RY' (radii above 0) or 'image FILE'"};
    }
  }
  return coverage;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: paint_mask DESCRIPTION OUT.png\n");
    return 2;
  }
  try {
    const std::vector<double> coverage = Paint(argv[1]);
    std::vector<uint8_t> pixels(kSize * kSize * 4, 255);
    for (size_t i = 0; i < coverage.size(); ++i) {
      pixels[i * 4 + 3] = static_cast<uint8_t>(std::lround(coverage[i] * 255.0));
    }
    if (!stbi_write_png(argv[2], kSize, kSize, 4, pixels.data(), kSize * 4)) throw Failure{std::string(argv[2]) + ": cannot be written"};
  } catch (const Failure& failure) {
    std::fprintf(stderr, "paint_mask: %s: %s\n", argv[1], failure.message.c_str());
    return 1;
  }
  return 0;
}
