#include "sprites/record_fields.h"

namespace lumi {

void ColourField(Archive& ar, const char* field, MediaParamTB<uint32_t>& colour, Apply apply) {
  detail::ParamField(ar, colour, apply, [&](uint32_t& v) {
    int32_t raw = static_cast<int32_t>(v);
    ar.Int(field, raw);
    v = static_cast<uint32_t>(raw);
  });
}

void PointField(Archive& ar, const char* field, MediaParamTB<Vector3>& point, Apply apply) {
  ar.Group(field, [&] {
    detail::ParamField(ar, point, apply, [&](Vector3& v) {
      ar.Float("x", v.x);
      ar.Float("y", v.y);
      ar.Float("z", v.z);
    });
  });
}

}  // namespace lumi
