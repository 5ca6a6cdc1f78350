// Fixed patterns repeat and leave the scene's random sequence as it was.
#include <gtest/gtest.h>

#include <vector>

#include "generators/fixed_pattern.h"

namespace lumi {
namespace {

std::vector<int> Shape(bool fixed) {
  std::vector<int> shape;
  BuildWithFixedPattern(fixed, 77, [&] {
    for (int i = 0; i < 5; ++i) shape.push_back(Rand());
  });
  return shape;
}

TEST(FixedPattern, TheShapeRepeatsAndTheSceneGoesOnFromTheOneValueItGave) {
  SeedRand(1);
  const std::vector<int> first = Shape(true);
  const int after = Rand();
  EXPECT_EQ(Shape(true), first);  // a second build, elsewhere in the sequence

  SeedRand(1);
  const auto c = static_cast<uint32_t>(Rand());
  SeedRand(c);
  EXPECT_EQ(Rand(), after);

  SeedRand(1);
  EXPECT_NE(Shape(false), first);
}

}  // namespace
}  // namespace lumi
