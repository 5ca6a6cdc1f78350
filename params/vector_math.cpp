#include "params/vector_math.h"

#include <cmath>

namespace lumi {

Vector3 operator+(Vector3 a, Vector3 b) { return {a.x + b.x, a.y + b.y, a.z + b.z}; }
Vector3 operator-(Vector3 a, Vector3 b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }
Vector3 operator*(Vector3 a, float s) { return {a.x * s, a.y * s, a.z * s}; }
Vector3 operator*(float s, Vector3 a) { return a * s; }
float Dot(Vector3 a, Vector3 b) { return a.x * b.x + a.y * b.y + a.z * b.z; }
Vector3 Cross(Vector3 a, Vector3 b) { return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x}; }
float Length(Vector3 v) { return std::sqrt(Dot(v, v)); }

Vector3 Vec3Normalize(Vector3 v) {
  const float length = Length(v);
  return length > 0 ? v * (1.0f / length) : Vector3{};
}

Vector4 Vec4Transform(Vector4 v, const Matrix& m) {
  const float in[4] = {v.x, v.y, v.z, v.w};
  float out[4];
  for (int c = 0; c < 4; ++c) {
    out[c] = in[0] * m.m[0][c] + in[1] * m.m[1][c] + in[2] * m.m[2][c] + in[3] * m.m[3][c];
  }
  return {out[0], out[1], out[2], out[3]};
}

Vector3 Vec3TransformCoord(Vector3 v, const Matrix& m) {
  const Vector4 r = Vec4Transform({v.x, v.y, v.z, 1}, m);
  if (r.w == 0) return {r.x, r.y, r.z};
  return {r.x / r.w, r.y / r.w, r.z / r.w};
}

Matrix MatrixMultiply(const Matrix& a, const Matrix& b) {
  Matrix r;
  for (int i = 0; i < 4; ++i) {
    for (int j = 0; j < 4; ++j) {
      r.m[i][j] = a.m[i][0] * b.m[0][j] + a.m[i][1] * b.m[1][j] + a.m[i][2] * b.m[2][j] + a.m[i][3] * b.m[3][j];
    }
  }
  return r;
}

Matrix operator*(const Matrix& a, const Matrix& b) { return MatrixMultiply(a, b); }

Matrix MatrixTranslation(float x, float y, float z) {
  Matrix r;
  r.m[3][0] = x;
  r.m[3][1] = y;
  r.m[3][2] = z;
  return r;
}

Matrix MatrixScaling(float x, float y, float z) {
  Matrix r;
  r.m[0][0] = x;
  r.m[1][1] = y;
  r.m[2][2] = z;
  return r;
}

Matrix MatrixRotationX(float angle) {
  const float c = std::cos(angle), s = std::sin(angle);
  Matrix r;
  r.m[1][1] = c;
  r.m[1][2] = s;
  r.m[2][1] = -s;
  r.m[2][2] = c;
  return r;
}

Matrix MatrixRotationY(float angle) {
  const float c = std::cos(angle), s = std::sin(angle);
  Matrix r;
  r.m[0][0] = c;
  r.m[0][2] = -s;
  r.m[2][0] = s;
  r.m[2][2] = c;
  return r;
}

Matrix MatrixRotationZ(float angle) {
  const float c = std::cos(angle), s = std::sin(angle);
  Matrix r;
  r.m[0][0] = c;
  r.m[0][1] = s;
  r.m[1][0] = -s;
  r.m[1][1] = c;
  return r;
}

Matrix MatrixRotationAxis(Vector3 axis, float angle) {
  const Vector3 v = Vec3Normalize(axis);
  const float c = std::cos(angle), s = std::sin(angle), t = 1 - c;
  Matrix r;
  r.m[0][0] = t * v.x * v.x + c;
  r.m[0][1] = t * v.x * v.y + s * v.z;
  r.m[0][2] = t * v.x * v.z - s * v.y;
  r.m[1][0] = t * v.x * v.y - s * v.z;
  r.m[1][1] = t * v.y * v.y + c;
  r.m[1][2] = t * v.y * v.z + s * v.x;
  r.m[2][0] = t * v.x * v.z + s * v.y;
  r.m[2][1] = t * v.y * v.z - s * v.x;
  r.m[2][2] = t * v.z * v.z + c;
  return r;
}

std::optional<Matrix> MatrixInverse(const Matrix& matrix) {
  // Gauss-Jordan elimination with partial pivoting, in double precision.
  double a[4][8];
  for (int i = 0; i < 4; ++i) {
    for (int j = 0; j < 4; ++j) {
      a[i][j] = matrix.m[i][j];
      a[i][j + 4] = i == j ? 1 : 0;
    }
  }
  for (int col = 0; col < 4; ++col) {
    int pivot = col;
    for (int row = col + 1; row < 4; ++row) {
      if (std::fabs(a[row][col]) > std::fabs(a[pivot][col])) pivot = row;
    }
    if (std::fabs(a[pivot][col]) < 1e-12) return std::nullopt;
    if (pivot != col) {
      for (int j = 0; j < 8; ++j) std::swap(a[pivot][j], a[col][j]);
    }
    const double scale = 1.0 / a[col][col];
    for (int j = 0; j < 8; ++j) a[col][j] *= scale;
    for (int row = 0; row < 4; ++row) {
      if (row == col || a[row][col] == 0) continue;
      const double factor = a[row][col];
      for (int j = 0; j < 8; ++j) a[row][j] -= factor * a[col][j];
    }
  }
  Matrix r;
  for (int i = 0; i < 4; ++i) {
    for (int j = 0; j < 4; ++j) r.m[i][j] = static_cast<float>(a[i][j + 4]);
  }
  return r;
}

Matrix MatrixTranspose(const Matrix& m) {
  Matrix r;
  for (int i = 0; i < 4; ++i) {
    for (int j = 0; j < 4; ++j) r.m[i][j] = m.m[j][i];
  }
  return r;
}

Matrix MatrixLookAtLH(Vector3 eye, Vector3 at, Vector3 up) {
  const Vector3 z = Vec3Normalize(at - eye);
  const Vector3 x = Vec3Normalize(Cross(up, z));
  const Vector3 y = Cross(z, x);
  Matrix r;
  r.m[0][0] = x.x;
  r.m[0][1] = y.x;
  r.m[0][2] = z.x;
  r.m[1][0] = x.y;
  r.m[1][1] = y.y;
  r.m[1][2] = z.y;
  r.m[2][0] = x.z;
  r.m[2][1] = y.z;
  r.m[2][2] = z.z;
  r.m[3][0] = -Dot(x, eye);
  r.m[3][1] = -Dot(y, eye);
  r.m[3][2] = -Dot(z, eye);
  return r;
}

Matrix MatrixPerspectiveFovLH(float fovY, float aspect, float zNear, float zFar) {
  const float yScale = 1.0f / std::tan(fovY / 2);
  Matrix r;
  r.m[0][0] = yScale / aspect;
  r.m[1][1] = yScale;
  r.m[2][2] = zFar / (zFar - zNear);
  r.m[2][3] = 1;
  r.m[3][2] = -zNear * zFar / (zFar - zNear);
  r.m[3][3] = 0;
  return r;
}

static Matrix OrthoOffCenter(float l, float r, float b, float t, float zn, float zf, float zSign) {
  Matrix m;
  m.m[0][0] = 2 / (r - l);
  m.m[1][1] = 2 / (t - b);
  m.m[2][2] = zSign / (zf - zn);
  m.m[3][0] = (l + r) / (l - r);
  m.m[3][1] = (t + b) / (b - t);
  m.m[3][2] = zn / (zn - zf);
  return m;
}

Matrix MatrixOrthoOffCenterLH(float left, float right, float bottom, float top, float zNear, float zFar) {
  return OrthoOffCenter(left, right, bottom, top, zNear, zFar, 1);
}

Matrix MatrixOrthoOffCenterRH(float left, float right, float bottom, float top, float zNear, float zFar) {
  return OrthoOffCenter(left, right, bottom, top, zNear, zFar, -1);
}

}  // namespace lumi
