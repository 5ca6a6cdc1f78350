// Paths drawn by the author as control points: evaluated as a polyline
// (straight, or smoothed with a natural cubic spline), or sampled as a chain
// of cubic Bézier segments with tangent handles. Objects walk the polyline
// to its end and back.
#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include "params/control_points.h"
#include "params/typed_param.h"
#include "params/vector_math.h"

namespace lumi {

class VRN_PathCtrlPoints : public MediaParam {
 public:
  using SegmentCallback = std::function<void(const Vector3& from, const Vector3& to)>;

  virtual size_t GetCount() const = 0;
  virtual void RemovePoint(size_t index, MediaControl* source) = 0;
  virtual DX_SmartPnt& GetPoint(size_t index) const = 0;
  virtual void AddPoint(const Vector3& position, MediaControl* source) = 0;
  // The polyline: the points themselves, or with smoothing on and at least
  // three points, about a hundred points of the spline through them.
  virtual void Rebuild();
  // Each pair of consecutive evaluated points.
  virtual void ForEachSegment(const SegmentCallback& callback) const;

  MediaParamT<int> smoothing{0};

  // Where a walker is: the distance it still has to go from the polyline
  // point it last passed, and the direction it goes in.
  float remaining = 0;
  int32_t index = 0;
  bool forward = true;
  Vector3 direction;

  std::vector<Vector3> polyline;
};

template <class Point>
class SmartPath : public VRN_PathCtrlPoints {
 public:
  size_t GetCount() const override { return points.size(); }
  void RemovePoint(size_t i, MediaControl* source) override {
    if (i >= points.size()) return;
    points.erase(points.begin() + static_cast<std::ptrdiff_t>(i));
    Notify(source);
  }
  Point& GetPoint(size_t i) const override { return *points.at(i); }
  void AddPoint(const Vector3& position, MediaControl* source) override {
    points.push_back(std::make_shared<Point>(position));
    Notify(source);
  }

  std::vector<std::shared_ptr<Point>> points;
};

// One sample of a Bézier path, 32 bytes as the particle path routines walk
// it: position, unit tangent, the distance to the next sample and the
// length from the first sample to the next one (both 0 in the last).
struct SplineSample {
  Vector3 position;
  Vector3 tangent;
  float distance_to_next = 0;
  float length_to_next = 0;
};
static_assert(sizeof(SplineSample) == 32);

class SplinePath : public SmartPath<DX_BSplinePnt> {
 public:
  static constexpr int kRebuildResolution = 20;
  static constexpr float kAutomaticHandle = 0.33f;

  // The new point's handles point at the previous last point, and that
  // point's outgoing handle at the new one, a third of the way.
  void AddPoint(const Vector3& position, MediaControl* source) override;
  // Samples the path forward at the rebuild resolution.
  void Rebuild() override;
  void ForEachSegment(const SegmentCallback& callback) const override;

  std::vector<SplineSample> samples;
};

class CameraPath : public SmartPath<DX_CamPathPnt> {};

// The samples of `path` at `resolution` steps per segment, forward or from
// the last point back: resolution × (segments) + 1 records for a path whose
// segments join.
std::vector<SplineSample> SampleSpline(const SplinePath& path, int resolution, bool reverse);

// Moves the walker of `path` by the distance it still has to go (which the
// caller raises first) along the polyline, turning back at either end.
// Nothing for an empty polyline; a single point keeps the walker there.
std::optional<Vector3> WalkPath(VRN_PathCtrlPoints& path);

}  // namespace lumi
