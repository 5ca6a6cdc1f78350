// The water rings' surface: a height field of NX × NZ vertices over the
// picture in which drops raise rings that spread, reflect and die away, and
// the refraction that bends each vertex's view of the picture below. It
// knows nothing of the device.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "params/vector_math.h"

namespace lumi {

struct RippleSettings {
  float speed_factor = 1;  // height change per unit of velocity
  float drop_depth = 0.45f;
  float damping = 0.99f;
  float refraction_depth = 0.2f;
  float specular_level = 0.9f;
  float specular_power = 40;
};

// One vertex as drawn: where it lies over the picture (0 … 1 across and
// down), the picture coordinate it shows and its highlight (0 … 1).
struct RippleVertex {
  float x, y;
  float u, v;
  float highlight;
};

class RippleGrid {
 public:
  static constexpr uint32_t kMostVertices = 65536;
  static constexpr uint32_t kFewestLines = 4;
  // The eye the refraction and the highlights are seen from.
  static constexpr Vector3 kEye{0, 120, 0};

  struct Size {
    uint32_t columns, rows;  // NX, NZ
  };
  // The grid for a picture of aspect height / width and the stored row and
  // column densities: even, at least 4 each, at most 65,536 vertices.
  static Size SizeFor(float aspect, uint32_t row_density, uint32_t column_density);
  // The stored damping as the factor that keeps each velocity.
  static float Damping(uint32_t raw);

  struct Refraction {
    float f0, f1;
    uint32_t colour;  // black, alpha falling from grazing to head-on view
  };
  // Built once for the process.
  static const std::array<Refraction, 256>& RefractionTable();
  // The table index of a view at cosine e · n, kept within the table.
  static uint32_t TableIndex(float cosine);

  // A flat grid of this size over a picture of aspect height / width.
  void Build(float aspect, Size size, const RippleSettings& settings);
  // Lowers the velocities round a random inner vertex.
  void Drop();
  // Four iterations of the simulation.
  void Step();
  // Every vertex's place, refracted coordinate and highlight, row by row.
  void Vertices(std::vector<RippleVertex>& out) const;

  Size GridSize() const { return size_; }
  float Height(uint32_t column, uint32_t row) const { return height_[Index(column, row)]; }
  float Velocity(uint32_t column, uint32_t row) const { return velocity_[Index(column, row)]; }
  // The normal at a vertex, neighbours wrapping round the edges.
  Vector3 Normal(uint32_t column, uint32_t row) const;
  // Where the vertex lies in world units (x across, z down the picture).
  Vector3 Position(uint32_t column, uint32_t row) const;
  RippleVertex VertexAt(uint32_t column, uint32_t row) const;

 private:
  size_t Index(uint32_t column, uint32_t row) const { return size_t{row} * size_.columns + column; }

  Size size_{0, 0};
  float width_ = 40, depth_ = 30;  // Wd and D
  RippleSettings settings_;
  std::vector<float> height_, velocity_;
};

}  // namespace lumi
