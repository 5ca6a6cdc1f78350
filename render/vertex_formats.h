// The vertex layouts the scene draws with. Colours are 32-bit ARGB values;
// screen forms carry window pixels and a reciprocal w and skip the transforms.
#pragma once

#include <cstddef>
#include <cstdint>

namespace lumi {

enum class VertexFormat { PT, PCT, PNT, PC, ScreenPC, ScreenPCT, PT2 };

struct VertexPT {
  float x, y, z;
  float u, v;
};

// Two texture coordinate sets, for stages that read different ones.
struct VertexPT2 {
  float x, y, z;
  float u0, v0, u1, v1;
};

struct VertexPCT {
  float x, y, z;
  uint32_t color;
  float u, v;
};

struct VertexPNT {
  float x, y, z;
  float nx, ny, nz;
  float u, v;
};

struct VertexPC {
  float x, y, z;
  uint32_t color;
};

struct VertexScreenPC {
  float x, y, z, rhw;
  uint32_t color;
};

struct VertexScreenPCT {
  float x, y, z, rhw;
  uint32_t color;
  float u, v;
};

static_assert(sizeof(VertexPT) == 20 && sizeof(VertexPCT) == 24 && sizeof(VertexPNT) == 32 && sizeof(VertexPC) == 16 &&
              sizeof(VertexScreenPC) == 20 && sizeof(VertexScreenPCT) == 28 && sizeof(VertexPT2) == 28);

// Where each attribute sits in a vertex of the format; -1 when absent.
struct VertexLayout {
  uint32_t stride;
  int positionComponents;  // 3, or 4 for the screen forms
  int colorOffset;
  int normalOffset;
  int texCoordOffset;
  bool pretransformed;
  int texCoord1Offset = -1;  // the second set; without it set 1 is set 0
};

constexpr VertexLayout LayoutOf(VertexFormat format) {
  switch (format) {
    case VertexFormat::PT:
      return {20, 3, -1, -1, 12, false};
    case VertexFormat::PCT:
      return {24, 3, 12, -1, 16, false};
    case VertexFormat::PNT:
      return {32, 3, -1, 12, 24, false};
    case VertexFormat::PC:
      return {16, 3, 12, -1, -1, false};
    case VertexFormat::ScreenPC:
      return {20, 4, 16, -1, -1, true};
    case VertexFormat::ScreenPCT:
      return {28, 4, 16, -1, 20, true};
    case VertexFormat::PT2:
      return {28, 3, -1, -1, 12, false, 20};
  }
  return {20, 3, -1, -1, 12, false};
}

}  // namespace lumi
