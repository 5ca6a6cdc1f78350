// Placement of the picture on the render target: picture pixels (x right,
// y down) become target pixels according to the user's picture position,
// the camera and the object's depth; black bars hide what strays outside.
#pragma once

#include <array>
#include <cstdint>
#include <memory>

#include "render/device.h"

namespace lumi {

enum class PlacementMode : uint32_t { Stretch = 0, Fit = 1, Fill = 2, WholeTarget = 3 };

// An area of the target as a triangle strip: (left, bottom), (left, top),
// (right, bottom), (right, top), texture coordinates spanning 0 to 1.
struct TargetQuad {
  VertexPT v[4];
  static TargetQuad FromRect(float left, float top, float width, float height);
};

struct PlacedRect {
  float x = 0, y = 0, width = 0, height = 0;
  bool operator==(const PlacedRect&) const = default;
};

// Where a picture of pw x ph lands inside an area of a x b.
PlacedRect PlacePicture(float a, float b, float pw, float ph, PlacementMode mode);

struct PictureMetrics {
  float scaleX = 1, scaleY = 1;  // back-buffer size over the quad's size
  TargetQuad fitted;             // the picture fitted into the quad, in back-buffer pixels
  float pictureWidth = 0, pictureHeight = 0;
};

PictureMetrics ComputePictureMetrics(const TargetQuad& quad, float pictureWidth, float pictureHeight,
                                     float backBufferWidth, float backBufferHeight);

class SceneView {
 public:
  // Sets projection, view and border bars for a picture placed in the area.
  void Place(GraphicsDevice& device, const TargetQuad& area, float pictureWidth, float pictureHeight,
             PlacementMode mode);
  // The world matrix for an object matrix under the current camera.
  Matrix WorldTransform(const Matrix& object) const;
  // Sets the transforms of the placement and draws the four bars in black.
  void DrawBorderBars(GraphicsDevice& device) const;

  const Matrix& Projection() const { return projection_; }
  const Matrix& View() const { return view_; }
  const Matrix& ViewInverse() const { return viewInverse_; }
  const Matrix& PlacementWithoutOrigin() const { return placement_; }
  const PlacedRect& Placed() const { return placed_; }
  PlacementMode Mode() const { return mode_; }
  float PictureWidth() const { return pictureWidth_; }
  float PictureHeight() const { return pictureHeight_; }

  // The camera writes these.
  Matrix camera;
  Matrix parallax;
  Vector3 cameraPan;
  bool cameraActive = false;
  // The user's choice of picture position.
  PlacementMode pictureSetting = PlacementMode::Fit;

 private:
  Matrix projection_, view_, viewInverse_, placement_, world_;
  PlacedRect placed_;
  PlacementMode mode_ = PlacementMode::Fit;
  float pictureWidth_ = 0, pictureHeight_ = 0;
  std::array<std::shared_ptr<VertexBuffer>, 4> bars_;
};

}  // namespace lumi
