#include "params/quad_rect.h"

#include "params/param_archive.h"

namespace lumi {

void MediaQuad::Build(float width, float height, const Vector3& centre) {
  const float left = centre.x - width / 2, right = centre.x + width / 2;
  const float top = centre.y - height / 2, bottom = centre.y + height / 2;
  corners[0].value = {left, top, centre.z};
  corners[1].value = {left, bottom, centre.z};
  corners[2].value = {right, top, centre.z};
  corners[3].value = {right, bottom, centre.z};
}

void QuadField(Archive& ar, const char* field, MediaQuad& quad) {
  static constexpr const char* kNames[4][3] = {
      {"x0", "y0", "z0"}, {"x1", "y1", "z1"}, {"x2", "y2", "z2"}, {"x3", "y3", "z3"}};
  ar.Group(field, [&] {
    for (size_t i = 0; i < 4; ++i) {
      Vector3& corner = quad.corners[i].value;
      ar.Float(kNames[i][0], corner.x);
      ar.Float(kNames[i][1], corner.y);
      ar.Float(kNames[i][2], corner.z);
    }
  });
}

bool MediaRectangle::ContainsPoint(float px, float py, const Matrix& inverse_view) const {
  const Vector3 p = Vec3TransformCoord({px, py, 0.0f}, inverse_view);
  return static_cast<float>(left.value) <= p.x && p.x <= static_cast<float>(right.value) &&
         static_cast<float>(top.value) <= p.y && p.y <= static_cast<float>(bottom.value);
}

void RectangleField(Archive& ar, const char* field, MediaRectangle& rectangle) {
  ar.Group(field, [&] {
    LongField(ar, "left", rectangle.left, Apply::Direct);
    LongField(ar, "right", rectangle.right, Apply::Direct);
    LongField(ar, "top", rectangle.top, Apply::Direct);
    LongField(ar, "bottom", rectangle.bottom, Apply::Direct);
    LongField(ar, "x", rectangle.x, Apply::Direct);
    LongField(ar, "y", rectangle.y, Apply::Direct);
  });
}

}  // namespace lumi
