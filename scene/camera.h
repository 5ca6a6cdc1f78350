// The camera every backdrop carries: it pans and zooms over the slide
// picture, wandering at random or following a path of points.
//
// It never moves geometry itself: it shrinks the picture size that
// placement works with to the window it shows, and gives the scene view a
// camera matrix and a pan offset that every drawing service applies.
#pragma once

#include <memory>
#include <vector>

#include "archive/archive.h"
#include "params/clamped_clock.h"
#include "params/control_points.h"
#include "params/file_link.h"
#include "params/typed_param.h"
#include "render/scene_view.h"

namespace lumi {

// What the camera shows this frame: the picture point in the middle of the
// window and the zoom about it.
struct CameraPose {
  Vector3 centre;
  float zoom = 1;
  bool active = false;
};

class DSM_Camera : public DS_IOF_Item {
  LUMI_STORED_CLASS(DSM_Camera, 3)

 public:
  enum Mode { kStill = 0, kRandom = 1, kPath = 2 };
  // A segment of this many seconds replaces a duration that is not finite.
  static constexpr float kFallbackDuration = 5.0f;

  void Describe(Archive& ar) override;

  // Remembers the picture size and places the window the camera shows into
  // the quad (the whole picture when still or for whole-target passes),
  // then lines up the 3D placement with the area and the true picture.
  void Place(GraphicsDevice& device, SceneView& view, const TargetQuad& quad, uint32_t picture_width,
             uint32_t picture_height, PlacementMode mode, bool fixed_area, float back_buffer_width,
             float back_buffer_height);
  // Remembers the picture size without placing (no device to place on).
  void SetPictureSize(uint32_t width, uint32_t height) {
    picture_width_ = width;
    picture_height_ = height;
  }
  // The size placement works with for this picture and mode.
  void WindowSize(float picture_width, float picture_height, PlacementMode mode, float& width, float& height) const;
  // Moves camera time to slide time t and returns where the camera looks.
  CameraPose Update(double t);
  // Back to the picture centre (or the first path point), at rest.
  void Restart();
  // The path window: 0.8 of the given size.
  void SetScreen(uint32_t width, uint32_t height);

  bool IsMoving() const { return mode.value != kStill && enabled.value == 1; }
  // Random wandering never magnifies by less than 1.
  float RandomZoom() const;
  uint32_t PictureWidth() const { return picture_width_; }
  uint32_t PictureHeight() const { return picture_height_; }
  double CameraTime() const { return clock_.total; }

  MediaParamT<int> mode{kStill};
  UINTSclaleTo<float> zoom{120, 0.01f, 0.0f};   // magnification of random wandering
  UINTSclaleTo<float> speed{50, 0.02f, 0.0f};   // multiplies camera time
  MediaParamT<int> enabled{0};                  // set at slide start, never stored
  DS_ImageFileLink image{DS_FileLink3::ModuleKey(u"common_res.dll", 6)};
  MediaParamT<unsigned int> path_width{0};      // picture window in path mode
  MediaParamT<unsigned int> path_height{0};
  std::vector<std::shared_ptr<DX_CamPathPnt>> path;

 private:
  void NextSegment();
  void NextRandomSegment();
  void NextPathSegment();
  // A point's duration and zoom as motion uses them.
  static float DurationOf(const DX_CamPathPnt& point);
  static float ZoomOf(const DX_CamPathPnt& point);

  ClampedClock clock_;
  Vector3 previous_centre_, target_centre_;
  float previous_zoom_ = 1, target_zoom_ = 1;
  double segment_start_ = 0, segment_end_ = 0;
  size_t path_index_ = 0;
  bool forwards_ = true;
  uint32_t picture_width_ = 0, picture_height_ = 0;
};

}  // namespace lumi
