#include <gtest/gtest.h>

#include "archive/binary_reader.h"
#include "archive/binary_writer.h"
#include "archive/input_error.h"
#include "archive/json_reader.h"
#include "archive/json_writer.h"
#include "params/paths.h"
#include "tests/support/byte_builder.h"

namespace lumi {
namespace {

using test::ByteBuilder;

template <class Path>
void AddPoints(Path& path, std::initializer_list<Vector3> positions) {
  for (const Vector3& p : positions) path.AddPoint(p, nullptr);
}

TEST(Polylines, StraightOrSmoothed) {
  SmartPath<DX_SmartPnt> path;
  AddPoints(path, {{0, 0, 0}, {1, 1, 0}, {2, 0, 0}});
  path.Rebuild();
  EXPECT_EQ(path.polyline.size(), 3u);

  path.smoothing.Set(1);
  path.Rebuild();
  ASSERT_EQ(path.polyline.size(), 100u);  // the accumulated step stops at t = 1.98
  EXPECT_EQ(path.polyline[0], (Vector3{0, 0, 0}));
  EXPECT_NEAR(path.polyline[50].x, 1.0f, 1e-5);
  EXPECT_NEAR(path.polyline[50].y, 1.0f, 1e-5);
  EXPECT_NEAR(path.polyline[99].x, 1.98f, 1e-5);
  // Natural spline through (0,0), (1,1), (2,0): y = 1.5 t − 0.5 t³ on the first half.
  EXPECT_NEAR(path.polyline[25].y, 1.5f * 0.5f - 0.5f * 0.125f, 1e-5);
  EXPECT_NEAR(path.polyline[75].y, path.polyline[25].y, 1e-5);

  SmartPath<DX_SmartPnt> two;
  two.smoothing.Set(1);
  AddPoints(two, {{0, 0, 0}, {5, 5, 0}});
  two.Rebuild();
  EXPECT_EQ(two.polyline.size(), 2u);

  int segments = 0;
  path.ForEachSegment([&](const Vector3&, const Vector3&) { ++segments; });
  EXPECT_EQ(segments, 99);
}

TEST(BezierPaths, SamplesShareTheirJoins) {
  SplinePath path;
  AddPoints(path, {{0, 0, 0}, {10, 0, 0}, {10, 10, 0}});
  path.Rebuild();
  ASSERT_EQ(path.samples.size(), 41u);
  EXPECT_EQ(path.samples[20].position, (Vector3{10, 0, 0}));
  EXPECT_EQ(path.samples.back().distance_to_next, 0.0f);
  EXPECT_EQ(path.samples.back().length_to_next, 0.0f);
  float total = 0;
  for (const SplineSample& s : path.samples) total += s.distance_to_next;
  EXPECT_FLOAT_EQ(path.samples[39].length_to_next, total);
  EXPECT_NEAR(Length(path.samples[7].tangent), 1.0f, 1e-6);

  // Backwards from the last point.
  const auto reverse = SampleSpline(path, 10, true);
  ASSERT_EQ(reverse.size(), 21u);
  EXPECT_EQ(reverse.front().position, (Vector3{10, 10, 0}));
  EXPECT_EQ(reverse.back().position, (Vector3{0, 0, 0}));
}

TEST(BezierPaths, ZeroHandlesSampleTheStraightLineAndAutomaticHandlesAreAThird) {
  SplinePath line;
  line.points = {std::make_shared<DX_BSplinePnt>(Vector3{0, 0, 0}),
                 std::make_shared<DX_BSplinePnt>(Vector3{4, 0, 0})};
  const auto samples = SampleSpline(line, 4, false);
  ASSERT_EQ(samples.size(), 5u);
  // On the line, at equal steps of t: the handles at the points ease in and out.
  for (size_t k = 0; k < 5; ++k) {
    const float t = static_cast<float>(k) / 4;
    EXPECT_NEAR(samples[k].position.x, 4 * (3 * t * t - 2 * t * t * t), 1e-6) << k;
    EXPECT_EQ(samples[k].position.y, 0.0f);
  }
  EXPECT_EQ(samples[2].tangent, (Vector3{1, 0, 0}));
  EXPECT_EQ(samples[4].tangent, (Vector3{0, 0, 0}));  // no derivative at the end

  SplinePath automatic;
  AddPoints(automatic, {{0, 0, 0}, {3, 0, 0}});
  EXPECT_EQ(automatic.points[0]->in_handle.value, (Vector3{0, 0, 0}));
  EXPECT_FLOAT_EQ(automatic.points[0]->out_handle.value.x, 0.99f);
  EXPECT_FLOAT_EQ(automatic.points[1]->in_handle.value.x, -0.99f);
  EXPECT_EQ(automatic.points[1]->out_handle.value, (Vector3{0, 0, 0}));
}

TEST(Walking, GoesToTheEndAndBack) {
  SmartPath<DX_SmartPnt> path;
  AddPoints(path, {{0, 0, 0}, {1, 0, 0}, {2, 0, 0}});
  path.Rebuild();
  const float expected[] = {0.5f, 1.0f, 1.5f, 2.0f, 1.5f, 1.0f, 0.5f, 0.0f, 0.5f};
  for (float x : expected) {
    path.remaining += 0.5f;
    const auto position = WalkPath(path);
    ASSERT_TRUE(position);
    EXPECT_FLOAT_EQ(position->x, x);
  }
  // A very long walk costs no more than a round trip: 4 + 0.5 from 0.5.
  path.remaining += 4000000.5f;
  EXPECT_NEAR(WalkPath(path)->x, 1.0f, 0.1f);
}

TEST(Walking, ShortAndDegeneratePolylines) {
  SmartPath<DX_SmartPnt> path;
  path.Rebuild();
  EXPECT_FALSE(WalkPath(path));
  AddPoints(path, {{3, 4, 0}});
  path.Rebuild();
  path.remaining = 2.0f;
  EXPECT_EQ(WalkPath(path), (Vector3{3, 4, 0}));
  // Points on top of each other, or a distance that is not finite: the walker stays.
  AddPoints(path, {{3, 4, 0}});
  path.Rebuild();
  path.remaining = 1.0f;
  EXPECT_EQ(WalkPath(path), (Vector3{3, 4, 0}));
  AddPoints(path, {{5, 4, 0}});
  path.Rebuild();
  path.remaining = std::numeric_limits<float>::infinity();
  EXPECT_EQ(WalkPath(path), (Vector3{3, 4, 0}));
  // An index past the end starts again from the first point.
  path.index = 7;
  path.remaining = 1.0f;
  EXPECT_EQ(WalkPath(path), (Vector3{3, 4, 0}));
}

TEST(PointRecords, ThreeKindsOfPoints) {
  ByteBuilder b;
  b.I32(2);
  b.I32(0).F32(1).F32(2).F32(3).F32(4);           // camera point, version 0: no zoom
  b.I32(1).F32(5).F32(6).F32(7).F32(8).U32(150);  // version 1 with zoom
  b.I32(1);
  b.I32(1).F32(1).F32(1).F32(0).F32(0.5f).F32(0).F32(0).F32(-0.5f).F32(0).F32(0);
  b.I32(0);
  BinaryReader reader(b.bytes());
  std::vector<std::shared_ptr<DX_CamPathPnt>> camera;
  PointList(reader, "camera", camera);
  ASSERT_EQ(camera.size(), 2u);
  EXPECT_EQ(camera[0]->value, (Vector3{1, 2, 3}));
  EXPECT_EQ(camera[0]->duration.value, 4.0f);
  EXPECT_EQ(camera[0]->zoom.value, 100u);
  EXPECT_EQ(camera[1]->zoom.value, 150u);
  SplinePath spline;
  PointList(reader, "spline", spline.points);
  ASSERT_EQ(spline.points.size(), 1u);
  EXPECT_EQ(spline.points[0]->out_handle.value, (Vector3{0.5f, 0, 0}));
  EXPECT_EQ(spline.points[0]->in_handle.value, (Vector3{-0.5f, 0, 0}));
  SmartPath<DX_SmartPnt> empty;
  PointList(reader, "empty", empty.points);
  empty.Rebuild();
  EXPECT_TRUE(empty.points.empty());
  EXPECT_TRUE(empty.polyline.empty());
  EXPECT_EQ(reader.remaining(), 0u);
}

// inspect and pack keep a camera point's version: one of version 0 has no
// zoom and gains none on the way through JSON.
TEST(PointRecords, CameraPointsKeepTheirVersionThroughJson) {
  ByteBuilder b;
  b.I32(2);
  b.I32(0).F32(1).F32(2).F32(3).F32(4);
  b.I32(1).F32(5).F32(6).F32(7).F32(8).U32(150);
  BinaryReader reader(b.bytes());
  std::vector<std::shared_ptr<DX_CamPathPnt>> read;
  PointList(reader, "camera", read);

  nlohmann::ordered_json json = nlohmann::ordered_json::object();
  JsonWriter to_json(json, nullptr, std::nullopt);
  PointList(to_json, "camera", read);
  EXPECT_EQ(json["camera"][0]["version"], 0);
  EXPECT_FALSE(json["camera"][0].contains("zoom"));

  JsonReader from_json(json, ".");
  std::vector<std::shared_ptr<DX_CamPathPnt>> packed;
  PointList(from_json, "camera", packed);
  BinaryWriter writer;
  PointList(writer, "camera", packed);
  EXPECT_EQ(writer.Release(), b.bytes());

  json["camera"][0]["version"] = 2;
  JsonReader future(json, ".");
  EXPECT_THROW(PointList(future, "camera", packed), InputError);
}

TEST(PointCopies, ShareTheAttachedObject) {
  DX_SmartPnt a({1, 2, 3});
  a.attached = std::make_shared<int>(5);
  DX_SmartPnt b;
  b = a;
  EXPECT_EQ(b.value, a.value);
  EXPECT_EQ(b.attached, a.attached);
  EXPECT_EQ(b.undo().last_seen(), a.value);
}

}  // namespace
}  // namespace lumi
