// The lake's bump recipe: a signed normal map, flatter towards the horizon.
#include "backdrop/lake_bump.h"

#include <gtest/gtest.h>

#include <cmath>

#include "render/decoded_picture.h"

namespace lumi {
namespace {

// The mean size of the U offsets of one row.
double RowSlope(const std::vector<uint8_t>& file, uint32_t row) {
  double sum = 0;
  for (uint32_t x = 0; x < kLakeBumpSide; ++x) {
    sum += std::abs(static_cast<int8_t>(file[128 + (size_t{row} * kLakeBumpSide + x) * 2]));
  }
  return sum / kLakeBumpSide;
}

TEST(LakeBumpRecipe, ASignedNormalMapFlattenedTowardsTheTopRow) {
  const std::vector<uint8_t> file = LakeBumpRecipe(0.9f, 25);
  std::string error;
  const std::optional<DecodedPicture> picture = ReadDds(file, error);
  ASSERT_TRUE(picture) << error;
  EXPECT_EQ(picture->format, TextureFormat::V8U8);
  EXPECT_EQ(picture->width, kLakeBumpSide);
  EXPECT_LT(RowSlope(file, 1), RowSlope(file, 510) * 0.7);
  const std::vector<uint8_t> unflattened = LakeBumpRecipe(0, 25);
  EXPECT_NEAR(RowSlope(unflattened, 1), RowSlope(unflattened, 510), RowSlope(unflattened, 510) * 0.3);
  // No amplitude, no relief; a flattening that is no number flattens all.
  EXPECT_EQ(RowSlope(LakeBumpRecipe(0.5f, 0), 300), 0);
  EXPECT_EQ(RowSlope(LakeBumpRecipe(NAN, 25), 0), 0);
}

}  // namespace
}  // namespace lumi
