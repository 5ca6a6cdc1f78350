// Draws the stand-ins the 3D objects fall back on when neither the
// resource module nor the document carries their models: a butterfly's
// body (68) and wing (69), the clock's face disc (70) as .x meshes, and the
// clock face (71) and hands (72) as pictures, written as OUTDIR/object_ID.x
// and OUTDIR/object_ID.png.
//
//   make_object_stand_ins OUTDIR
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#define STB_IMAGE_WRITE_IMPLEMENTATION
#include "stb_image_write.h"

namespace {

constexpr double kPi = 3.14159265358979323846;

struct Vertex {
  double x, y, z, u, v;
};

struct Mesh {
  std::vector<Vertex> vertices;
  std::vector<int> triangles;  // three corners each
};

// A text .x file with positions, faces and texture coordinates; the
// player computes the normals itself.
bool WriteMesh(const std::string& path, const char* name, const Mesh& mesh) {
  FILE* file = std::fopen(path.c_str(), "w");
  if (file == nullptr) return false;
  std::fprintf(file, "xof 0303txt 0032\nMesh %s {\n %zu;\n", name, mesh.vertices.size());
  for (size_t i = 0; i < mesh.vertices.size(); ++i) {
    const Vertex& v = mesh.vertices[i];
    std::fprintf(file, " %.4f;%.4f;%.4f;%s\n", v.x, v.y, v.z, i + 1 < mesh.vertices.size() ? "," : ";");
  }
  const size_t faces = mesh.triangles.size() / 3;
  std::fprintf(file, " %zu;\n", faces);
  for (size_t f = 0; f < faces; ++f) {
    std::fprintf(file, " 3;%d,%d,%d;%s\n", mesh.triangles[f * 3], mesh.triangles[f * 3 + 1], mesh.triangles[f * 3 + 2],
                 f + 1 < faces ? "," : ";");
  }
  std::fprintf(file, " MeshTextureCoords {\n  %zu;\n", mesh.vertices.size());
  for (size_t i = 0; i < mesh.vertices.size(); ++i) {
    const Vertex& v = mesh.vertices[i];
    std::fprintf(file, "  %.4f;%.4f;%s\n", v.u, v.v, i + 1 < mesh.vertices.size() ? "," : ";");
  }
  std::fprintf(file, " }\n}\n");
  return std::fclose(file) == 0;
}

// The body: a spindle 50 units long along z (the head at +z), 10 across.
Mesh Body() {
  constexpr int kRings = 8, kSides = 8;
  Mesh mesh;
  mesh.vertices.push_back({0, 0, -25, 0.5, 1});
  for (int ring = 1; ring < kRings; ++ring) {
    const double t = static_cast<double>(ring) / kRings;
    const double r = 5 * std::sin(kPi * t);
    for (int side = 0; side < kSides; ++side) {
      const double a = 2 * kPi * side / kSides;
      mesh.vertices.push_back({r * std::cos(a), r * std::sin(a), -25 + 50 * t, static_cast<double>(side) / kSides, 1 - t});
    }
  }
  mesh.vertices.push_back({0, 0, 25, 0.5, 0});
  const int tip = static_cast<int>(mesh.vertices.size()) - 1;
  auto at = [](int ring, int side) { return 1 + (ring - 1) * kSides + side % kSides; };
  for (int side = 0; side < kSides; ++side) {
    mesh.triangles.insert(mesh.triangles.end(), {0, at(1, side + 1), at(1, side)});
    mesh.triangles.insert(mesh.triangles.end(), {tip, at(kRings - 1, side), at(kRings - 1, side + 1)});
    for (int ring = 1; ring + 1 < kRings; ++ring) {
      mesh.triangles.insert(mesh.triangles.end(), {at(ring, side), at(ring, side + 1), at(ring + 1, side + 1)});
      mesh.triangles.insert(mesh.triangles.end(), {at(ring, side), at(ring + 1, side + 1), at(ring + 1, side)});
    }
  }
  return mesh;
}

// One wing in the plane y = 0, from its root at the origin out along +x: a
// fan around the root whose outline has a large fore lobe (towards the
// head, +z) and a smaller hind lobe. u runs from root to tip, v from the
// head to the tail.
Mesh Wing() {
  constexpr int kOutline = 32;
  constexpr double kReach = 80;
  Mesh mesh;
  mesh.vertices.push_back({0, 0, 0, 0, 0.5});
  for (int i = 0; i <= kOutline; ++i) {
    const double a = (-80 + 160.0 * i / kOutline) * kPi / 180;
    const double fore = std::exp(-std::pow((a - 0.6) / 0.45, 2));
    const double hind = std::exp(-std::pow((a + 0.7) / 0.35, 2));
    const double r = 30 + 50 * fore + 25 * hind;
    const double x = r * std::cos(a), z = r * std::sin(a);
    mesh.vertices.push_back({x, 0, z, x / kReach, 0.5 - z / (2 * kReach)});
  }
  for (int i = 1; i <= kOutline; ++i) mesh.triangles.insert(mesh.triangles.end(), {0, i, i + 1});
  return mesh;
}

// A flat disc of radius 50 about the y axis, its picture upright when the
// disc is turned to face the screen (+z up).
Mesh Disc() {
  constexpr int kSides = 48;
  Mesh mesh;
  mesh.vertices.push_back({0, 0, 0, 0.5, 0.5});
  for (int i = 0; i < kSides; ++i) {
    const double a = 2 * kPi * i / kSides;
    const double x = 50 * std::cos(a), z = 50 * std::sin(a);
    mesh.vertices.push_back({x, 0, z, 0.5 + x / 100, 0.5 - z / 100});
  }
  for (int i = 0; i < kSides; ++i) mesh.triangles.insert(mesh.triangles.end(), {0, 1 + i, 1 + (i + 1) % kSides});
  return mesh;
}

struct Rgba {
  double r, g, b, a;
};

template <typename Shade>
bool WritePicture(const std::string& path, int width, int height, Shade shade) {
  std::vector<uint8_t> pixels(static_cast<size_t>(width) * height * 4);
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      const Rgba c = shade((x + 0.5) / width, (y + 0.5) / height);
      uint8_t* p = &pixels[(static_cast<size_t>(y) * width + x) * 4];
      for (int k = 0; k < 4; ++k) {
        const double value = k == 0 ? c.r : k == 1 ? c.g : k == 2 ? c.b : c.a;
        p[k] = static_cast<uint8_t>(std::lround(std::clamp(value, 0.0, 1.0) * 255));
      }
    }
  }
  return stbi_write_png(path.c_str(), width, height, 4, pixels.data(), width * 4) != 0;
}

// A cream face in a dark rim with twelve marks, the one at twelve o'clock
// doubled; transparent outside the circle.
Rgba Face(double u, double v) {
  const double dx = u - 0.5, dy = v - 0.5;
  const double r = std::sqrt(dx * dx + dy * dy);
  if (r > 0.49) return {0, 0, 0, 0};
  if (r > 0.46) return {0.2, 0.15, 0.1, 1};
  const Rgba cream{0.96, 0.93, 0.84, 1}, ink{0.1, 0.1, 0.12, 1};
  if (r > 0.37 && r < 0.44) {
    // Angle from twelve o'clock, clockwise, in hours.
    const double hours = std::fmod(std::atan2(dx, -dy) / (2 * kPi) * 12 + 12, 12);
    const double nearest = std::round(hours);
    const double across = std::fabs(hours - nearest) * (2 * kPi / 12) * r;  // in face units
    const double half_width = static_cast<int>(nearest) % 12 == 0 ? 0.018 : 0.009;
    if (across < half_width) return ink;
  }
  if (r < 0.02) return ink;
  return cream;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: make_object_stand_ins OUTDIR\n");
    return 2;
  }
  const std::string dir = argv[1];
  bool ok = WriteMesh(dir + "/object_68.x", "ButterflyBody", Body());
  ok = WriteMesh(dir + "/object_69.x", "ButterflyWing", Wing()) && ok;
  ok = WriteMesh(dir + "/object_70.x", "ClockDisc", Disc()) && ok;
  ok = WritePicture(dir + "/object_71.png", 256, 256, Face) && ok;
  // The hands: a dark blade, lighter towards its tip.
  ok = WritePicture(dir + "/object_72.png", 16, 64, [](double, double v) {
         return Rgba{0.08 + 0.1 * (1 - v), 0.08 + 0.1 * (1 - v), 0.12 + 0.12 * (1 - v), 1};
       }) && ok;
  if (!ok) std::fprintf(stderr, "make_object_stand_ins: cannot write into %s\n", dir.c_str());
  return ok ? 0 : 1;
}
