#include "scene/camera.h"

#include <algorithm>
#include <cmath>

#include "params/param_archive.h"
#include "params/random.h"

namespace lumi {

void DSM_Camera::Describe(Archive& ar) {
  if (ar.version() >= 3) {
    IntField(ar, "mode", mode, Apply::Set);
    UIntField(ar, "path_width", path_width, Apply::Set);
    UIntField(ar, "path_height", path_height, Apply::Set);
    PointList(ar, "path", path);
  } else {
    // Older cameras only knew still or wandering.
    int32_t wanders = 0;
    ar.Int("wanders", wanders);
    mode.Set(wanders != 0 ? kRandom : kStill);
  }
  SliderField(ar, "zoom", zoom, Apply::Set);
  SliderField(ar, "speed", speed, Apply::Set);
  if (ar.version() >= 2) LinkField(ar, "image", image);
}

float DSM_Camera::RandomZoom() const {
  const float z = zoom.scaled();
  return z >= 1.0f ? z : 1.0f;  // also catches NaN
}

float DSM_Camera::DurationOf(const DX_CamPathPnt& point) {
  const float seconds = point.duration.value;
  return std::isfinite(seconds) ? seconds : kFallbackDuration;
}

float DSM_Camera::ZoomOf(const DX_CamPathPnt& point) {
  // A zoom of 0 % would divide the window by zero.
  const unsigned int percent = point.zoom.value != 0 ? point.zoom.value : 100;
  return static_cast<float>(percent) / 100.0f;
}

void DSM_Camera::WindowSize(float picture_width, float picture_height, PlacementMode placement, float& width,
                            float& height) const {
  width = picture_width;
  height = picture_height;
  if (enabled.value != 1 || placement == PlacementMode::WholeTarget) return;
  if (mode.value == kRandom) {
    const float z = RandomZoom();
    width = std::trunc(picture_width / z);
    height = std::trunc(picture_height / z);
  } else if (mode.value == kPath) {
    // A window of 0 (a document that never stored one) shows what SetScreen would.
    width = path_width.value != 0 ? static_cast<float>(path_width.value) : std::trunc(0.8f * picture_width);
    height = path_height.value != 0 ? static_cast<float>(path_height.value) : std::trunc(0.8f * picture_height);
  }
}

void DSM_Camera::Place(GraphicsDevice& device, SceneView& view, const TargetQuad& quad, uint32_t picture_width,
                       uint32_t picture_height, PlacementMode placement, bool fixed_area, float back_buffer_width,
                       float back_buffer_height) {
  SetPictureSize(picture_width, picture_height);
  const auto pw = static_cast<float>(picture_width), ph = static_cast<float>(picture_height);
  float width = 0, height = 0;
  WindowSize(pw, ph, placement, width, height);
  view.Place(device, quad, width, height, placement);
  const float area_width = quad.v[3].x - quad.v[1].x, area_height = quad.v[2].y - quad.v[1].y;
  view.placement3d = ComputePlacement3D(area_width, area_height, pw, ph, placement, fixed_area, back_buffer_width,
                                        back_buffer_height);
}

void DSM_Camera::Restart() {
  const Vector3 middle{static_cast<float>(picture_width_) / 2, static_cast<float>(picture_height_) / 2, 0};
  previous_centre_ = target_centre_ = middle;
  previous_zoom_ = target_zoom_ = 1;
  segment_start_ = segment_end_ = 0;
  path_index_ = 0;
  forwards_ = true;
  if (mode.value == kPath && !path.empty()) {
    previous_centre_ = target_centre_ = path.front()->value;
    previous_zoom_ = target_zoom_ = ZoomOf(*path.front());
  }
}

void DSM_Camera::SetScreen(uint32_t width, uint32_t height) {
  const auto window_width = static_cast<unsigned int>(0.8 * width);
  const auto window_height = static_cast<unsigned int>(0.8 * height);
  if (path_width.value != window_width) path_width.Set(window_width);
  if (path_height.value != window_height) path_height.Set(window_height);
}

CameraPose DSM_Camera::Update(double t) {
  clock_.Advance(t, speed.scaled());
  if (!IsMoving()) return {};
  const double now = clock_.total;
  if (now >= segment_end_) NextSegment();
  const double length = segment_end_ - segment_start_;
  // A segment of no length (a single path point, a zero duration) is
  // already at its end.
  const float s = length > 0 && std::isfinite(length) ? static_cast<float>(std::clamp((now - segment_start_) / length, 0.0, 1.0)) : 1.0f;
  const float e = (1.0f - std::cos(kPi * s)) / 2.0f;
  CameraPose pose;
  pose.centre = previous_centre_ + (target_centre_ - previous_centre_) * e;
  pose.zoom = mode.value == kPath && path.size() >= 2 ? previous_zoom_ + (target_zoom_ - previous_zoom_) * e : 1.0f;
  pose.active = true;
  return pose;
}

void DSM_Camera::NextSegment() {
  if (mode.value == kRandom) NextRandomSegment();
  else if (mode.value == kPath) NextPathSegment();
}

void DSM_Camera::NextRandomSegment() {
  previous_centre_ = target_centre_;
  previous_zoom_ = target_zoom_;
  segment_start_ = clock_.total;
  const int r = Rand();
  if (r % 2 == 0) {
    segment_end_ = clock_.total + 0.5f;  // hold still a moment
    return;
  }
  // The centre stays far enough inside that the magnified window never
  // leaves the picture.
  const float z = RandomZoom();
  const float r1 = static_cast<float>(Rand()), r2 = static_cast<float>(Rand());
  const auto pw = static_cast<float>(picture_width_), ph = static_cast<float>(picture_height_);
  target_centre_.x = ((1 - z) * (2 * r1 / 32767 - 1) / z + 1) * pw / 2;
  target_centre_.y = ((2 * r2 / 32767 - 1) * (1 - z) / z + 1) * ph / 2;
  target_centre_.z = 0;
  segment_end_ = clock_.total + 5 + 2 * static_cast<float>(Rand()) / 32767;
}

void DSM_Camera::NextPathSegment() {
  const size_t count = path.size();
  if (count < 2 || path_index_ >= count) return;
  previous_centre_ = target_centre_;
  previous_zoom_ = target_zoom_;
  segment_start_ = clock_.total;
  float duration = 0;
  if (forwards_) {
    duration = DurationOf(*path[path_index_]);
    ++path_index_;
    if (path_index_ == count) {
      forwards_ = false;
      path_index_ = count - 2;
      duration = DurationOf(*path[path_index_]);
    }
  } else {
    --path_index_;
    duration = DurationOf(*path[path_index_]);
    if (path_index_ == 0) forwards_ = true;
  }
  segment_end_ = clock_.total + duration;
  target_centre_ = path[path_index_]->value;
  target_zoom_ = ZoomOf(*path[path_index_]);
}

}  // namespace lumi
