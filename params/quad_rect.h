// Areas of the picture: a quad of four corners and an integer rectangle
// with a point.
#pragma once

#include <array>

#include "archive/archive.h"
#include "params/vector_math.h"
#include "params/typed_param.h"
#include "params/vector_math.h"

namespace lumi {

// Four corners in triangle-strip order: (left, top), (left, bottom),
// (right, top), (right, bottom), with y growing downwards.
class MediaQuad : public MediaParam {
 public:
  // Corners of a w × h rectangle centred on c, all at c.z; written without
  // notification.
  void Build(float width, float height, const Vector3& centre);

  std::array<MediaParamTB<Vector3>, 4> corners;
};

// Twelve floats, x, y and z of each corner, stored without notification.
void QuadField(Archive& ar, const char* field, MediaQuad& quad);

// A screen rectangle in pixels and a point.
class MediaRectangle : public MediaParam {
 public:
  // Whether the target pixel (x, y), mapped to picture pixels by
  // `inverse_view`, lies inside the edges (edges included).
  bool ContainsPoint(float x, float y, const Matrix& inverse_view) const;

  MediaParamT<int> left, right, top, bottom;
  MediaParamTB<int> x, y;
};

// Six 32-bit integers (left, right, top, bottom, x, y), stored without
// notification.
void RectangleField(Archive& ar, const char* field, MediaRectangle& rectangle);

}  // namespace lumi
