#include "params/paths.h"

#include <cmath>

namespace lumi {
namespace {

// A natural cubic spline (second derivative 0 at both ends) through values
// at t = 0, 1, ..., n − 1; each segment keeps the value and the first three
// derivatives at its start.
class NaturalSpline {
 public:
  explicit NaturalSpline(const std::vector<double>& y) {
    const size_t n = y.size();
    // Second derivatives from the tridiagonal system with unit spacing:
    // M[i−1] + 4 M[i] + M[i+1] = 6 (y[i+1] − 2 y[i] + y[i−1]), M at the ends 0.
    std::vector<double> m(n, 0.0), c(n, 0.0), d(n, 0.0);
    for (size_t i = 1; i + 1 < n; ++i) {
      const double rhs = 6.0 * (y[i + 1] - 2.0 * y[i] + y[i - 1]);
      const double denom = 4.0 - c[i - 1];
      c[i] = 1.0 / denom;
      d[i] = (rhs - d[i - 1]) / denom;
    }
    for (size_t i = n - 1; i-- > 1;) m[i] = d[i] - c[i] * m[i + 1];
    for (size_t i = 0; i + 1 < n; ++i) {
      segments_.push_back({y[i], (y[i + 1] - y[i]) - (2.0 * m[i] + m[i + 1]) / 6.0, m[i], m[i + 1] - m[i]});
    }
  }

  double operator()(double t) const {
    // The segment whose start is the largest not above t, clamped to the ends.
    size_t i = t <= 0.0 ? 0 : static_cast<size_t>(std::floor(t));
    if (i >= segments_.size()) i = segments_.size() - 1;
    const Segment& s = segments_[i];
    const double dt = t - static_cast<double>(i);
    return s.value + s.first * dt + s.second / 2.0 * dt * dt + s.third / 6.0 * dt * dt * dt;
  }

 private:
  struct Segment {
    double value, first, second, third;
  };
  std::vector<Segment> segments_;
};

Vector3 Bezier(const Vector3 p[4], float t) {
  const float u = 1.0f - t;
  return u * u * u * p[0] + 3.0f * t * u * u * p[1] + 3.0f * t * t * u * p[2] + t * t * t * p[3];
}

Vector3 BezierDerivative(const Vector3 p[4], float t) {
  const float u = 1.0f - t;
  return 3.0f * u * u * (p[1] - p[0]) + 6.0f * t * u * (p[2] - p[1]) + 3.0f * t * t * (p[3] - p[2]);
}

}  // namespace

void VRN_PathCtrlPoints::Rebuild() {
  polyline.clear();
  const size_t n = GetCount();
  if (smoothing.value != 0 && n >= 3) {
    std::vector<double> xs, ys;
    for (size_t i = 0; i < n; ++i) {
      xs.push_back(GetPoint(i).value.x);
      ys.push_back(GetPoint(i).value.y);
    }
    const NaturalSpline x(xs), y(ys);
    const double last = static_cast<double>(n - 1);
    // The step accumulates, so the last point may fall just short of the end.
    for (double t = 0.0; t <= last; t += last / 100.0) {
      polyline.push_back({static_cast<float>(x(t)), static_cast<float>(y(t)), 0.0f});
    }
    return;
  }
  for (size_t i = 0; i < n; ++i) polyline.push_back(GetPoint(i).value);
}

void VRN_PathCtrlPoints::ForEachSegment(const SegmentCallback& callback) const {
  for (size_t i = 1; i < polyline.size(); ++i) callback(polyline[i - 1], polyline[i]);
}

void SplinePath::AddPoint(const Vector3& position, MediaControl* source) {
  auto point = std::make_shared<DX_BSplinePnt>(position);
  if (!points.empty()) {
    DX_BSplinePnt& last = *points.back();
    const Vector3 span = position - last.value;
    point->in_handle.value = -kAutomaticHandle * span;
    last.out_handle.Set(kAutomaticHandle * span);
  }
  points.push_back(std::move(point));
  Notify(source);
}

void SplinePath::Rebuild() { samples = SampleSpline(*this, kRebuildResolution, false); }

void SplinePath::ForEachSegment(const SegmentCallback& callback) const {
  for (size_t i = 1; i < samples.size(); ++i) callback(samples[i - 1].position, samples[i].position);
}

std::vector<SplineSample> SampleSpline(const SplinePath& path, int resolution, bool reverse) {
  std::vector<SplineSample> samples;
  if (resolution < 1) resolution = 1;
  const size_t n = path.points.size();
  for (size_t pair = 1; pair < n; ++pair) {
    Vector3 p[4];
    if (!reverse) {
      const DX_BSplinePnt& from = *path.points[pair - 1];
      const DX_BSplinePnt& to = *path.points[pair];
      p[0] = from.value;
      p[1] = from.value + from.out_handle.value;
      p[2] = to.value + to.in_handle.value;
      p[3] = to.value;
    } else {
      const DX_BSplinePnt& from = *path.points[n - pair];
      const DX_BSplinePnt& to = *path.points[n - pair - 1];
      p[0] = from.value;
      p[1] = from.value + from.in_handle.value;
      p[2] = to.value + to.out_handle.value;
      p[3] = to.value;
    }
    for (int k = 0; k <= resolution; ++k) {
      // Joined segments share their end sample.
      if (k == 0 && !samples.empty() && samples.back().position == p[0]) continue;
      const float t = static_cast<float>(k) / static_cast<float>(resolution);
      samples.push_back({Bezier(p, t), Vec3Normalize(BezierDerivative(p, t))});
    }
  }
  float total = 0.0f;
  for (size_t i = 0; i + 1 < samples.size(); ++i) {
    samples[i].distance_to_next = Length(samples[i + 1].position - samples[i].position);
    total += samples[i].distance_to_next;
    samples[i].length_to_next = total;
  }
  return samples;
}

std::optional<Vector3> WalkPath(VRN_PathCtrlPoints& path) {
  const std::vector<Vector3>& points = path.polyline;
  if (points.empty()) return std::nullopt;
  const auto count = static_cast<int32_t>(points.size());
  if (path.index < 0 || path.index >= count) {
    path.index = 0;
    path.forward = true;
    path.remaining = 0.0f;
    path.direction = {};
  }
  if (count < 2) return points[0];

  // A walk of a whole round trip or more ends where it began; taking it off
  // first bounds the work however far the walker is sent. A polyline of no
  // length, or a distance that is not finite, leaves it where it is.
  float round_trip = 0.0f;
  for (int32_t i = 1; i < count; ++i) round_trip += 2.0f * Length(points[i] - points[i - 1]);
  if (!(round_trip > 0.0f) || !std::isfinite(path.remaining)) return points[path.index];
  if (path.remaining > round_trip) path.remaining = std::fmod(path.remaining, round_trip);

  while (true) {
    const int32_t next = path.forward ? path.index + 1 : path.index - 1;
    const Vector3 segment = points[next] - points[path.index];
    const float length = Length(segment);
    path.direction = Vec3Normalize(segment);
    if (length > path.remaining) return points[path.index] + path.direction * path.remaining;
    path.index = next;
    if (next == 0 || next == count - 1) path.forward = !path.forward;
    path.remaining -= length;
  }
}

}  // namespace lumi
