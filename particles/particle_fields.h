// Field helpers shared by the particle-system records: sliders that take
// another scale than their kind's own, positions stored as three floats and
// values whose meaning is not known.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "archive/archive.h"
#include "params/param_archive.h"
#include "params/typed_param.h"
#include "params/vector_math.h"

namespace lumi {

// Gives a slider of a fixed kind (a speed, a jitter) the scale its owner
// uses; the stored whole number stays and nobody is notified.
inline void SetScale(UINTSclaleTo<float>& slider, float factor, float offset = 0.0f) {
  slider = UINTSclaleTo<float>(slider.value, factor, offset);
}

template <class Slider>
Slider WithScale(Slider slider, float factor, float offset = 0.0f) {
  SetScale(slider, factor, offset);
  return slider;
}

// x, y and z as three floats, applied together once all three are read.
void VectorField(Archive& ar, const char* field, MediaParamTB<Vector3>& point, Apply apply);
// Three bare floats.
void VectorField(Archive& ar, const char* field, Vector3& point);

// Values whose meaning is not known, kept so that a record is written back
// as it was read. They are named value_1, value_2, ... in stored order.
class UnnamedFields {
 public:
  explicit UnnamedFields(Archive& ar) : ar_(ar) {}

  void UInt(uint32_t& v) { ar_.UInt(NextName(), v); }
  void Int(int32_t& v) { ar_.Int(NextName(), v); }
  void Float(float& v) { ar_.Float(NextName(), v); }
  template <size_t N>
  void UInts(std::array<uint32_t, N>& values) {
    for (uint32_t& v : values) UInt(v);
  }
  void Vector(Vector3& v) { VectorField(ar_, NextName(), v); }

 private:
  const char* NextName();

  Archive& ar_;
  int next_ = 1;
};

}  // namespace lumi
