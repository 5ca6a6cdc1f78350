#include "particles/particle_fields.h"

#include <array>
#include <stdexcept>

namespace lumi {

void VectorField(Archive& ar, const char* field, Vector3& point) {
  ar.Group(field, [&] {
    ar.Float("x", point.x);
    ar.Float("y", point.y);
    ar.Float("z", point.z);
  });
}

void VectorField(Archive& ar, const char* field, MediaParamTB<Vector3>& point, Apply apply) {
  Vector3 v = point.value;
  VectorField(ar, field, v);
  if (!ar.IsReading()) return;
  if (apply == Apply::Direct) {
    point.value = v;
    return;
  }
  point.Set(v);
  if (apply == Apply::SetThenNotify) point.Notify(nullptr);
}

const char* UnnamedFields::NextName() {
  // Enough for the longest run of unknown values in one record.
  static const std::array<std::string, 16> kNames = [] {
    std::array<std::string, 16> names;
    for (size_t i = 0; i < names.size(); ++i) names[i] = "value_" + std::to_string(i + 1);
    return names;
  }();
  if (next_ > static_cast<int>(kNames.size())) throw std::logic_error("too many unnamed values in one record");
  return kNames[static_cast<size_t>(next_++ - 1)].c_str();
}

}  // namespace lumi
