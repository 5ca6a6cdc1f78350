// Three floats, the position and direction type of the scene.
#pragma once

#include <cmath>

namespace lumi {

struct D3DXVECTOR3 {
  float x = 0, y = 0, z = 0;
  friend bool operator==(const D3DXVECTOR3&, const D3DXVECTOR3&) = default;

  friend D3DXVECTOR3 operator+(const D3DXVECTOR3& a, const D3DXVECTOR3& b) { return {a.x + b.x, a.y + b.y, a.z + b.z}; }
  friend D3DXVECTOR3 operator-(const D3DXVECTOR3& a, const D3DXVECTOR3& b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }
  friend D3DXVECTOR3 operator*(const D3DXVECTOR3& a, float s) { return {a.x * s, a.y * s, a.z * s}; }
  friend D3DXVECTOR3 operator*(float s, const D3DXVECTOR3& a) { return a * s; }
};

inline float Length(const D3DXVECTOR3& v) { return std::sqrt(v.x * v.x + v.y * v.y + v.z * v.z); }

// The unit vector along v; the zero vector stays zero.
inline D3DXVECTOR3 Normalize(const D3DXVECTOR3& v) {
  const float length = Length(v);
  if (length == 0.0f) return {};
  return {v.x / length, v.y / length, v.z / length};
}

}  // namespace lumi
