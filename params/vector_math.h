// Vectors and 4 x 4 matrices in the row-vector, left-handed convention the
// scene mathematics is written in: a point p is transformed as p * M, so
// A * B applies A first, and translations sit in the fourth row.
#pragma once

#include <optional>

namespace lumi {

struct Vector2 {
  float x = 0, y = 0;
};

struct Vector3 {
  float x = 0, y = 0, z = 0;
  friend bool operator==(const Vector3&, const Vector3&) = default;
};

struct Vector4 {
  float x = 0, y = 0, z = 0, w = 0;
};

struct Matrix {
  float m[4][4] = {{1, 0, 0, 0}, {0, 1, 0, 0}, {0, 0, 1, 0}, {0, 0, 0, 1}};

  static Matrix Identity() { return {}; }
  bool operator==(const Matrix&) const = default;
};

Vector3 operator+(Vector3 a, Vector3 b);
Vector3 operator-(Vector3 a, Vector3 b);
Vector3 operator*(Vector3 a, float s);
Vector3 operator*(float s, Vector3 a);
float Dot(Vector3 a, Vector3 b);
Vector3 Cross(Vector3 a, Vector3 b);
float Length(Vector3 v);

// Unit vector in the direction of v; the zero vector stays zero.
Vector3 Vec3Normalize(Vector3 v);
// (v, 1) * m divided by the resulting w (left as is when w is 0).
Vector3 Vec3TransformCoord(Vector3 v, const Matrix& m);
Vector4 Vec4Transform(Vector4 v, const Matrix& m);

Matrix MatrixMultiply(const Matrix& a, const Matrix& b);
Matrix operator*(const Matrix& a, const Matrix& b);
Matrix MatrixTranslation(float x, float y, float z);
Matrix MatrixScaling(float x, float y, float z);
Matrix MatrixRotationX(float angle);
Matrix MatrixRotationY(float angle);
Matrix MatrixRotationZ(float angle);
Matrix MatrixRotationAxis(Vector3 axis, float angle);
// Empty when the matrix is singular.
std::optional<Matrix> MatrixInverse(const Matrix& m);
Matrix MatrixTranspose(const Matrix& m);
Matrix MatrixLookAtLH(Vector3 eye, Vector3 at, Vector3 up);
Matrix MatrixPerspectiveFovLH(float fovY, float aspect, float zNear, float zFar);
Matrix MatrixOrthoOffCenterLH(float left, float right, float bottom, float top, float zNear, float zFar);
Matrix MatrixOrthoOffCenterRH(float left, float right, float bottom, float top, float zNear, float zFar);

}  // namespace lumi
