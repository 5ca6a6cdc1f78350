#include "params/control_points.h"

#include <algorithm>

namespace lumi {

void DX_SmartPnt::DescribePosition(Archive& ar) {
  ar.Float("x", value.x);
  ar.Float("y", value.y);
  ar.Float("z", value.z);
}

void DX_SmartPnt::Describe(Archive& ar) {
  ar.Group(nullptr, [&] { DescribePosition(ar); });
}

void DX_BSplinePnt::Describe(Archive& ar) {
  ar.VersionedFields(nullptr, kPointVersion, this, [&] {
    DescribePosition(ar);
    ar.Float("out_x", out_handle.value.x);
    ar.Float("out_y", out_handle.value.y);
    ar.Float("out_z", out_handle.value.z);
    ar.Float("in_x", in_handle.value.x);
    ar.Float("in_y", in_handle.value.y);
    ar.Float("in_z", in_handle.value.z);
  });
}

void DX_CamPathPnt::Describe(Archive& ar) {
  ar.VersionedFields(nullptr, stored_version, this, [&] {
    if (ar.IsReading()) stored_version = std::clamp(ar.version(), 0, kPointVersion);
    DescribePosition(ar);
    ar.Float("duration", duration.value);
    if (ar.version() > 0) ar.UInt("zoom", zoom.value);
  });
}

}  // namespace lumi
