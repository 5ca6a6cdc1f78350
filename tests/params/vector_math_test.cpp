#include "params/vector_math.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

namespace lumi {
namespace {

constexpr float kHalfPi = std::numbers::pi_v<float> / 2;

void ExpectNear(Vector3 actual, Vector3 expected) {
  EXPECT_NEAR(actual.x, expected.x, 1e-4f);
  EXPECT_NEAR(actual.y, expected.y, 1e-4f);
  EXPECT_NEAR(actual.z, expected.z, 1e-4f);
}

void ExpectNear(const Matrix& actual, const Matrix& expected) {
  for (int i = 0; i < 4; ++i) {
    for (int j = 0; j < 4; ++j) EXPECT_NEAR(actual.m[i][j], expected.m[i][j], 1e-4f) << i << "," << j;
  }
}

TEST(RenderMath, RowVectorsApplyTheLeftMatrixFirst) {
  const Matrix m = MatrixTranslation(1, 2, 3) * MatrixScaling(2, 2, 2);
  ExpectNear(Vec3TransformCoord({1, 0, 0}, m), {4, 4, 6});
  const Matrix other = MatrixScaling(2, 2, 2) * MatrixTranslation(1, 2, 3);
  ExpectNear(Vec3TransformCoord({1, 0, 0}, other), {3, 2, 3});
}

TEST(RenderMath, RotationsTurnAxesTheLeftHandedWay) {
  ExpectNear(Vec3TransformCoord({1, 0, 0}, MatrixRotationZ(kHalfPi)), {0, 1, 0});
  ExpectNear(Vec3TransformCoord({0, 1, 0}, MatrixRotationX(kHalfPi)), {0, 0, 1});
  ExpectNear(Vec3TransformCoord({0, 0, 1}, MatrixRotationY(kHalfPi)), {1, 0, 0});
  ExpectNear(MatrixRotationAxis({0, 0, 2}, 0.7f), MatrixRotationZ(0.7f));
  ExpectNear(MatrixRotationAxis({1, 0, 0}, -1.1f), MatrixRotationX(-1.1f));
  ExpectNear(MatrixRotationAxis({0, 3, 0}, 2.3f), MatrixRotationY(2.3f));
}

TEST(RenderMath, InverseUndoesAndSingularMatricesHaveNone) {
  const Matrix m = MatrixRotationAxis({1, 2, 3}, 0.4f) * MatrixScaling(2, 3, 4) * MatrixTranslation(5, -6, 7);
  const auto inverse = MatrixInverse(m);
  ASSERT_TRUE(inverse);
  ExpectNear(m * *inverse, Matrix{});
  EXPECT_FALSE(MatrixInverse(MatrixScaling(1, 0, 1)));
}

TEST(RenderMath, LookAtAndPerspectiveMapDepthFromZeroToOne) {
  const Matrix view = MatrixLookAtLH({0, 0, -10}, {0, 0, 0}, {0, 1, 0});
  ExpectNear(Vec3TransformCoord({0, 0, 0}, view), {0, 0, 10});
  ExpectNear(Vec3TransformCoord({1, 0, 0}, view), {1, 0, 10});
  const Matrix projection = MatrixPerspectiveFovLH(kHalfPi, 2, 1, 100);
  EXPECT_NEAR(Vec3TransformCoord({0, 0, 1}, projection).z, 0, 1e-5f);
  EXPECT_NEAR(Vec3TransformCoord({0, 0, 100}, projection).z, 1, 1e-5f);
  ExpectNear(Vec3TransformCoord({2, 1, 1}, projection), {1, 1, 0});
}

TEST(RenderMath, OrthographicOffCentreMapsTargetPixels) {
  const Matrix lh = MatrixOrthoOffCenterLH(0, 200, 100, 0, -5000, 5000);
  ExpectNear(Vec3TransformCoord({0, 0, -5000}, lh), {-1, 1, 0});
  ExpectNear(Vec3TransformCoord({200, 100, 5000}, lh), {1, -1, 1});
  const Matrix rh = MatrixOrthoOffCenterRH(0, 200, 100, 0, -5000, 5000);
  ExpectNear(Vec3TransformCoord({200, 100, -5000}, rh), {1, -1, 1});
}

TEST(RenderMath, VectorHelpers) {
  ExpectNear(Vec3Normalize({3, 0, 4}), {0.6f, 0, 0.8f});
  ExpectNear(Vec3Normalize({0, 0, 0}), {0, 0, 0});
  const Vector4 v = Vec4Transform({1, 2, 3, 1}, MatrixTranslation(1, 1, 1));
  EXPECT_FLOAT_EQ(v.x, 2);
  EXPECT_FLOAT_EQ(v.w, 1);
  Matrix projective;
  projective.m[3][3] = 2;
  ExpectNear(Vec3TransformCoord({2, 4, 6}, projective), {1, 2, 3});
}

}  // namespace
}  // namespace lumi
