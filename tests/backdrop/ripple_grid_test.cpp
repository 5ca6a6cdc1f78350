// The water rings' grid size, simulation and refraction, and their limits.
#include "backdrop/ripple_grid.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "params/random.h"

namespace lumi {
namespace {

TEST(RippleGrid, SizeFollowsThePictureAndStaysWithinTheIndexRange) {
  EXPECT_EQ(RippleGrid::SizeFor(0.75f, 0, 0).columns, 128u);
  EXPECT_EQ(RippleGrid::SizeFor(0.75f, 0, 0).rows, 96u);
  // 256 x 384 would pass 65,536 vertices: the columns give way.
  const RippleGrid::Size dense = RippleGrid::SizeFor(0.75f, 100, 100);
  EXPECT_EQ(dense.rows, 384u);
  EXPECT_EQ(dense.columns, 170u);
  for (const float aspect : {1.0f / 40, 1.0f / 100000, 0.75f, 300.0f, 0.0f, NAN}) {
    for (const uint32_t density : {0u, 5000u, 0xFFFFFFFFu}) {
      const RippleGrid::Size size = RippleGrid::SizeFor(aspect, density, density);
      EXPECT_GE(size.columns, 4u) << aspect << " " << density;
      EXPECT_GE(size.rows, 4u) << aspect << " " << density;
      EXPECT_LE(size.columns * size.rows, RippleGrid::kMostVertices);
      EXPECT_EQ(size.columns % 2 + size.rows % 2, 0u);
    }
  }
  EXPECT_FLOAT_EQ(RippleGrid::Damping(0), 0.9f);
  EXPECT_FLOAT_EQ(RippleGrid::Damping(50), 0.99f);
  EXPECT_FLOAT_EQ(RippleGrid::Damping(100), 0.999f);
}

TEST(RippleGrid, AtRestTheSurfaceLooksStraightDownAndBendsOnlyTheEdges) {
  RippleGrid grid;
  grid.Build(0.75f, {129, 97}, {});
  const Vector3 n = grid.Normal(64, 48);
  EXPECT_EQ(n, (Vector3{0, 1, 0}));
  EXPECT_EQ(RippleGrid::TableIndex(1.0f), 255u);
  const RippleVertex centre = grid.VertexAt(64, 48);
  EXPECT_FLOAT_EQ(centre.u, 0.5f);
  EXPECT_FLOAT_EQ(centre.v, 0.5f);
  // The right edge's centre, x = 20, z = 0.
  EXPECT_NEAR(grid.VertexAt(128, 48).u, 0.9999f, 0.00005f);
  EXPECT_EQ(RippleGrid::RefractionTable()[0].colour >> 24, 253u);
  EXPECT_EQ(RippleGrid::RefractionTable()[255].colour >> 24, 0u);
}

TEST(RippleGrid, RaysMissingTheSphereAndSteepNormalsStayFinite) {
  RippleGrid grid;
  grid.Build(0.25f, {64, 16}, {});  // 4:1, whose corners miss the sphere
  const RippleVertex corner = grid.VertexAt(0, 0);
  EXPECT_TRUE(std::isfinite(corner.u) && std::isfinite(corner.v));
  EXPECT_EQ(RippleGrid::TableIndex(-0.5f), 0u);
  EXPECT_EQ(RippleGrid::TableIndex(2.0f), 255u);
  EXPECT_EQ(RippleGrid::TableIndex(NAN), 255u);
}

TEST(RippleGrid, ADropSpreadsIntoRingsThatDieAway) {
  SeedRand(1);
  RippleGrid grid;
  RippleSettings settings;
  settings.damping = RippleGrid::Damping(0);
  grid.Build(1.0f, {32, 32}, settings);
  grid.Drop();
  const auto energy = [&] {
    double sum = 0;
    for (uint32_t r = 0; r < 32; ++r) {
      for (uint32_t c = 0; c < 32; ++c) sum += std::abs(grid.Height(c, r)) + std::abs(grid.Velocity(c, r));
    }
    return sum;
  };
  // Where the drop fell: its lowest velocity.
  uint32_t drop_c = 0, drop_r = 0;
  for (uint32_t r = 0; r < 32; ++r) {
    for (uint32_t c = 0; c < 32; ++c) {
      if (grid.Velocity(c, r) < grid.Velocity(drop_c, drop_r)) drop_c = c, drop_r = r;
    }
  }
  // How far from it the surface stands out of its mean level.
  const auto reach = [&] {
    float highest = 0, radius = 0;
    for (uint32_t r = 1; r < 31; ++r) {
      for (uint32_t c = 1; c < 31; ++c) highest = std::max(highest, std::abs(grid.Height(c, r)));
    }
    for (uint32_t r = 1; r < 31; ++r) {
      for (uint32_t c = 1; c < 31; ++c) {
        if (std::abs(grid.Height(c, r)) > highest / 4) {
          radius = std::max(radius, std::hypot(float(c) - float(drop_c), float(r) - float(drop_r)));
        }
      }
    }
    return radius;
  };
  grid.Step();
  const float early = reach();
  const double first = energy();
  for (int i = 0; i < 3; ++i) grid.Step();
  EXPECT_GT(reach(), early + 2);
  for (int i = 0; i < 200; ++i) grid.Step();
  EXPECT_LT(energy(), first / 10);
}

}  // namespace
}  // namespace lumi
