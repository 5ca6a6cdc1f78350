// The star field: stars cross the depth range in their life, the nearest
// are not drawn, and the field turns about its vanishing point.
#include <gtest/gtest.h>

#include <cmath>

#include "particles/through_space.h"

namespace lumi {
namespace {

VRN_ThroughSpaceCtrl Field(uint8_t forward) {
  VRN_ThroughSpaceCtrl field;
  field.emitter.area.Build(200, 100, {100, 50, 0});
  field.vanishing_point = {100, 50, 0};
  field.forward = forward;
  field.look.size.Set(4);
  return field;
}

TEST(StarField, StarsCrossTheDepthRangeInTheirLife) {
  for (uint8_t forward : {uint8_t{1}, uint8_t{0}}) {
    SCOPED_TRACE(forward);
    VRN_ThroughSpaceCtrl field = Field(forward);
    field.Advance(0.1f);
    ASSERT_FALSE(field.particles.empty());
    // The newest stars: born at depth 0 going forward, else at 1.
    const Particle& newest = forward != 0 ? *field.particles.back() : *field.particles.front();
    EXPECT_NEAR(newest.position.z, forward != 0 ? 0 : 1, 0.05);
    float oldest_age = 0;
    for (int frame = 2; frame <= 40; ++frame) {
      field.Advance(0.1f * static_cast<float>(frame));
      for (const ParticleHandle& p : field.particles) {
        const float expected = forward != 0 ? p->age() / 5 : 1 - p->age() / 5;
        ASSERT_NEAR(p->position.z, expected, 1e-4);
        oldest_age = std::max(oldest_age, p->age());
      }
    }
    // Two updates a frame: the first stars have lived their 5 s and gone.
    EXPECT_GT(oldest_age, 4.7f);
    EXPECT_LE(oldest_age, 5.0f);
  }
}

TEST(StarField, NearStarsAreUnseenAndFarOnesShrinkTowardsTheVanishingPoint) {
  VRN_ThroughSpaceCtrl field = Field(1);
  field.look.colour.Set(0x00FFFFFF);
  Particle star;
  star.position = {140, 50, 0};
  VertexPCT quad[4];
  field.StarQuad(star, quad);
  for (const VertexPCT& v : quad) {
    EXPECT_EQ(v.color >> 24, 0u);
    EXPECT_TRUE(std::isfinite(v.x) && std::isfinite(v.y));
  }
  star.position.z = 1;  // at its spawn position, full size
  field.StarQuad(star, quad);
  EXPECT_FLOAT_EQ(quad[2].x - quad[0].x, 4);
  EXPECT_FLOAT_EQ((quad[0].x + quad[2].x) / 2, 140);
  star.position.z = 0.5f;  // twice as far from the vanishing point, twice the size
  field.StarQuad(star, quad);
  EXPECT_FLOAT_EQ(quad[2].x - quad[0].x, 8);
  EXPECT_FLOAT_EQ((quad[0].x + quad[2].x) / 2, 180);
  EXPECT_EQ(quad[0].color >> 24, 255u);
}

TEST(StarField, TheFieldTurnsAboutTheVanishingPoint) {
  VRN_ThroughSpaceCtrl field = Field(1);
  field.turn_speed.Set(90);  // degrees a second
  for (int frame = 1; frame <= 5; ++frame) field.Advance(0.2f * static_cast<float>(frame));
  const Vector3 turned = Vec3TransformCoord({110, 50, 0}, field.TurnTransform());
  EXPECT_NEAR(turned.x, 100, 1e-3);
  EXPECT_NEAR(std::fabs(turned.y - 50), 10, 1e-3);
  EXPECT_EQ(Vec3TransformCoord({100, 50, 0}, field.TurnTransform()), (Vector3{100, 50, 0}));
  field.turn_reverse.Set(1);
  field.Advance(1.2f);
  EXPECT_NEAR(field.turn_angle, 90 - 18, 1e-3);
}

}  // namespace
}  // namespace lumi
