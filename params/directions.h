// Angles in whole degrees and the random directions drawn from them. On the
// screen 0° points right and 90° up; the screen's y axis points down.
#pragma once

#include <array>

#include "params/callback_ctrl.h"
#include "params/typed_param.h"
#include "params/vector_math.h"

namespace lumi {

// An angle with its direction (cos θ, sin θ, 0, 0) and the perpendicular
// (−sin θ, cos θ, 0, 0), kept current on every change.
class MediaDirection : public MediaParamT<unsigned int> {
 public:
  explicit MediaDirection(unsigned int degrees = 0);
  MediaDirection(const MediaDirection& other);
  MediaDirection& operator=(const MediaDirection& other);

  const std::array<float, 4>& direction() const { return direction_; }
  const std::array<float, 4>& perpendicular() const { return perpendicular_; }
  // Brings the vectors up to date after the angle was stored directly.
  void Recompute();

 private:

  SmartCalbackCtrl<MediaDirection> on_change_{&MediaDirection::Recompute, this, *this};
  std::array<float, 4> direction_{};
  std::array<float, 4> perpendicular_{};
};

// An angle with a spread on either side.
class MediaSector : public MediaDirection {
 public:
  explicit MediaSector(unsigned int degrees = 0, unsigned int spread_degrees = 0)
      : MediaDirection(degrees), spread(spread_degrees) {}

  // A unit vector within the sector, from one random number.
  Vector3 RandomDirection() const;

  MediaParamT<unsigned int> spread;  // degrees
};

// (v × rotation about z by `degrees`), row-vector convention.
Vector3 RotateZ(const Vector3& v, float degrees);
// (v × rotation about y by `degrees`), row-vector convention.
Vector3 RotateY(const Vector3& v, float degrees);

// (length, 0, 0) turned to a random angle in [min, max] degrees, in the plane.
Vector3 RandomDirection2D(float length, float min_degrees, float max_degrees);
// As in the plane, then turned about y by a second random angle within half
// the span either way.
Vector3 RandomDirection3D(float length, float min_degrees, float max_degrees);

}  // namespace lumi
