// A 4 by 4 float matrix in the row-vector convention: a point (x, y, z, 1)
// is multiplied from the left, so the translation is the fourth row.
#pragma once

#include "params/vector3.h"

namespace lumi {

struct Matrix4 {
  float m[4][4] = {{1, 0, 0, 0}, {0, 1, 0, 0}, {0, 0, 1, 0}, {0, 0, 0, 1}};

  // The point (p, 1) transformed and divided by its w (when not 0).
  D3DXVECTOR3 TransformCoord(const D3DXVECTOR3& p) const {
    const float x = p.x * m[0][0] + p.y * m[1][0] + p.z * m[2][0] + m[3][0];
    const float y = p.x * m[0][1] + p.y * m[1][1] + p.z * m[2][1] + m[3][1];
    const float z = p.x * m[0][2] + p.y * m[1][2] + p.z * m[2][2] + m[3][2];
    const float w = p.x * m[0][3] + p.y * m[1][3] + p.z * m[2][3] + m[3][3];
    if (w == 0.0f) return {x, y, z};
    return {x / w, y / w, z / w};
  }
};

}  // namespace lumi
