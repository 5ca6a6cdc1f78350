// The quad of a generated particle: its size, turn, alpha and the
// rectangle it covers.
#include <gtest/gtest.h>

#include <numbers>

#include "generators/gen_quads.h"

namespace lumi {
namespace {

TEST(GenQuads, SizeTurnAndAlphaComeFromTheParticle) {
  GenParticle p(Vector3{50, 50, 0});
  p.values[kSize] = 2;
  p.values[kAngle] = std::numbers::pi_v<float> / 2;
  p.values[kOpacity] = 0.5f;
  VertexPCT quad[4];
  const PlacedRect rect = BuildGenQuad(p, {10, 4, 0x00112233, 255, 0.5f}, quad);
  EXPECT_NEAR(rect.width, 8, 1e-4f);  // turned a quarter: 20 × 8 stands as 8 × 20
  EXPECT_NEAR(rect.height, 20, 1e-4f);
  EXPECT_NEAR(rect.x, 46, 1e-4f);
  EXPECT_NEAR(rect.y, 40, 1e-4f);
  EXPECT_EQ(quad[0].color, 0x40332211u);  // 0.25 of 255, red and blue swapped into ARGB
  EXPECT_EQ(quad[0].color, quad[3].color);

  p.values[kOpacity] = 7;  // a fade run past its mark
  BuildGenQuad(p, {10, 4, 0, 128, 1}, quad);
  EXPECT_EQ(quad[0].color >> 24, 255u);
  p.values[kOpacity] = -1;
  BuildGenQuad(p, {10, 4, 0, 255, 1}, quad);
  EXPECT_EQ(quad[0].color >> 24, 0u);
  EXPECT_EQ(Aspect(0, 0), 1.0f);  // no picture: square
}

}  // namespace
}  // namespace lumi
