// Draws the pictures of the 3D object sample: a meadow backdrop, a
// butterfly wing, a leaf, and the leaf's own mesh (a curled oval in the
// plane z = 0), written as OUTDIR/NAME.png and OUTDIR/leaf.x.
//
//   make_object_pictures OUTDIR
#include <cmath>
#include <cstdio>
#include <string>

#include "samples/sample_pictures.h"

using namespace lumi::sample;

namespace {

// A leaf 40 units long along y, 20 across, curled a little out of its
// plane, with texture coordinates across its outline.
bool WriteLeafMesh(const std::string& path) {
  constexpr int kAlong = 8, kAcross = 4;
  FILE* file = std::fopen(path.c_str(), "w");
  if (file == nullptr) return false;
  const int vertices = (kAlong + 1) * (kAcross + 1);
  std::fprintf(file, "xof 0303txt 0032\nMesh Leaf {\n %d;\n", vertices);
  std::string coords;
  int written = 0;
  for (int i = 0; i <= kAlong; ++i) {
    const float t = static_cast<float>(i) / kAlong;
    const float half_width = 10 * std::sin(3.14159265f * t);
    for (int j = 0; j <= kAcross; ++j) {
      const float s = static_cast<float>(j) / kAcross;
      const float x = (s - 0.5f) * 2 * half_width, y = -20 + 40 * t;
      const float z = 0.03f * x * x;
      ++written;
      std::fprintf(file, " %.3f;%.3f;%.3f;%s\n", x, y, z, written < vertices ? "," : ";");
      char uv[64];
      std::snprintf(uv, sizeof uv, "  %.3f;%.3f;%s\n", s, 1 - t, written < vertices ? "," : ";");
      coords += uv;
    }
  }
  const int faces = kAlong * kAcross * 2;
  std::fprintf(file, " %d;\n", faces);
  int face = 0;
  for (int i = 0; i < kAlong; ++i) {
    for (int j = 0; j < kAcross; ++j) {
      const int a = i * (kAcross + 1) + j, b = a + 1, c = a + kAcross + 1, d = c + 1;
      std::fprintf(file, " 3;%d,%d,%d;,\n", a, c, d);
      ++face;
      std::fprintf(file, " 3;%d,%d,%d;%s\n", a, d, b, ++face < faces ? "," : ";");
    }
  }
  std::fprintf(file, " MeshTextureCoords {\n  %d;\n%s }\n}\n", vertices, coords.c_str());
  return std::fclose(file) == 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: make_object_pictures OUTDIR\n");
    return 2;
  }
  const std::string dir = argv[1];
  bool ok = true;
  // A summer meadow: pale sky, a line of far trees, grass with flowers.
  ok &= Write(dir + "/meadow.png", 640, 400, [](float x, float y) {
    if (y < 0.45f) return Rgba{0.55f + 0.3f * y, 0.72f + 0.2f * y, 0.95f, 1};
    const float trees = 0.45f + 0.04f * std::sin(x * 37) + 0.02f * std::sin(x * 91);
    if (y < trees + 0.03f) return Rgba{0.12f, 0.3f, 0.15f, 1};
    const float blade = 0.5f + 0.5f * std::sin(x * 400 + y * 60);
    const float flower = std::sin(x * 157) * std::sin(y * 211) > 0.97f ? 1.0f : 0.0f;
    return Rgba{0.25f + 0.1f * blade + 0.7f * flower, 0.5f + 0.15f * blade + 0.3f * flower,
                0.15f + 0.6f * flower, 1};
  });
  // A wing, root at the left, head at the top: orange with a dark border
  // and white spots at the edge.
  ok &= Write(dir + "/wing.png", 128, 128, [](float u, float v) {
    const float edge = std::max(u, std::fabs(v - 0.5f) * 1.6f);
    const float spot = std::fmod(v * 9, 1.0f) < 0.35f && u > 0.78f && u < 0.88f ? 1.0f : 0.0f;
    const float vein = std::fabs(std::sin((v - 0.5f) * 12 + u * 2)) < 0.08f ? 1.0f : 0.0f;
    if (edge > 0.75f) return Rgba{0.08f + 0.9f * spot, 0.05f + 0.9f * spot, 0.05f + 0.9f * spot, 1};
    return Rgba{0.95f - 0.8f * vein, 0.5f - 0.4f * vein, 0.05f, 1};
  });
  // An autumn leaf: red-orange to yellow with a darker middle vein; its
  // corners transparent.
  ok &= Write(dir + "/leaf.png", 64, 64, [](float u, float v) {
    const float mid = std::fabs(u - 0.5f) < 0.03f ? 1.0f : 0.0f;
    return Rgba{0.85f - 0.3f * mid, 0.35f + 0.35f * v - 0.2f * mid, 0.08f, 1};
  });
  ok &= WriteLeafMesh(dir + "/leaf.x");
  if (!ok) std::fprintf(stderr, "make_object_pictures: cannot write into %s\n", dir.c_str());
  return ok ? 0 : 1;
}
