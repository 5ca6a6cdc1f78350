// Control points of paths: a position, and for camera paths a duration and
// a zoom. Points are shared between copies of a path through counted holders.
#pragma once

#include <memory>
#include <vector>

#include "archive/archive.h"
#include "params/typed_param.h"
#include "params/vector_math.h"

namespace lumi {

class DX_SmartPnt : public MediaParamT<Vector3> {
 public:
  DX_SmartPnt() = default;
  explicit DX_SmartPnt(const Vector3& position) : MediaParamT<Vector3>(position) {}
  virtual ~DX_SmartPnt() = default;
  virtual void OnPointNotify(int) {}

  // x, y, z, stored without notification.
  void DescribePosition(Archive& ar);
  // The plain point record: its position.
  void Describe(Archive& ar);

  std::shared_ptr<void> attached;  // object attached to the point, shared by copies
};

// A point of a Bézier path, with its handles as offsets from the point.
class DX_BSplinePnt : public DX_SmartPnt {
 public:
  static constexpr int kPointVersion = 1;
  using DX_SmartPnt::DX_SmartPnt;

  // The point version (not used), the position, then the outgoing and the
  // incoming handle.
  void Describe(Archive& ar);

  MediaParamT<Vector3> out_handle;  // towards the next point
  MediaParamT<Vector3> in_handle;   // towards the previous point
};

class DX_CamPathPnt : public DX_SmartPnt {
 public:
  static constexpr int kPointVersion = 1;
  using DX_SmartPnt::DX_SmartPnt;

  // The point version, the position, the duration and (from point version 1)
  // the zoom. A point keeps the version it was read in, so one of version 0
  // is written back as it was, without a zoom.
  void Describe(Archive& ar);

  MediaParamT<float> duration{5.0f};  // seconds
  MediaParamT<unsigned int> zoom{100};  // percent
  int stored_version = kPointVersion;
};

// A count and that many points, each made new and held in order.
template <class Point>
void PointList(Archive& ar, const char* field, std::vector<std::shared_ptr<Point>>& points) {
  ListOf(ar, field, points, [&](std::shared_ptr<Point>& point) {
    if (point == nullptr) point = std::make_shared<Point>();
    point->Describe(ar);
  });
}

}  // namespace lumi
