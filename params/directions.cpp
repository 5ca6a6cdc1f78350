#include "params/directions.h"

#include <cmath>

#include "params/random.h"

namespace lumi {
namespace {

float Radians(float degrees) { return degrees * (kPi / 180.0f); }

}  // namespace

MediaDirection::MediaDirection(unsigned int degrees) : MediaParamT<unsigned int>(degrees) { Recompute(); }

MediaDirection::MediaDirection(const MediaDirection& other) : MediaParamT<unsigned int>(other) { Recompute(); }

MediaDirection& MediaDirection::operator=(const MediaDirection& other) {
  MediaParamT<unsigned int>::operator=(other);
  Recompute();
  return *this;
}

void MediaDirection::Recompute() {
  const float theta = static_cast<float>(value) * kPi / 180.0f;
  const float c = std::cos(theta);
  const float s = std::sin(theta);
  direction_ = {c, s, 0.0f, 0.0f};
  perpendicular_ = {-s, c, 0.0f, 0.0f};
}

Vector3 MediaSector::RandomDirection() const {
  const float r = Random01();
  const float s = static_cast<float>(spread.value);
  const float turn = 360.0f - (static_cast<float>(value) + r * 2.0f * s - s);
  return RotateZ({1.0f, 0.0f, 0.0f}, turn);
}

Vector3 RotateZ(const Vector3& v, float degrees) {
  const float c = std::cos(Radians(degrees));
  const float s = std::sin(Radians(degrees));
  return {v.x * c - v.y * s, v.x * s + v.y * c, v.z};
}

Vector3 RotateY(const Vector3& v, float degrees) {
  const float c = std::cos(Radians(degrees));
  const float s = std::sin(Radians(degrees));
  return {v.x * c + v.z * s, v.y, -v.x * s + v.z * c};
}

Vector3 RandomDirection2D(float length, float min_degrees, float max_degrees) {
  return RotateZ({length, 0.0f, 0.0f}, -Uniform(min_degrees, max_degrees));
}

Vector3 RandomDirection3D(float length, float min_degrees, float max_degrees) {
  const Vector3 flat = RandomDirection2D(length, min_degrees, max_degrees);
  const float half_span = (max_degrees - min_degrees) / 2.0f;
  return RotateY(flat, Uniform(-half_span, half_span));
}

}  // namespace lumi
