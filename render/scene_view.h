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

// The placement 3D objects use, lined up with the picture in every mode.
struct Placement3D {
  Matrix projection, view, world;
  // Back-buffer (or area) size over the fitted picture's size.
  float ratioX = 1, ratioY = 1;
  // The stretch of Stretch and Fill against Fit, as a matrix and in parts.
  Matrix placement;
  float inverseU = 1, inverseV = 1, offsetX = 0, offsetY = 0;
};

// For an area of a x b and a picture of pw x ph; with `fixedArea` the area
// itself stands for the back buffer. A size of 0 gives identity throughout.
Placement3D ComputePlacement3D(float a, float b, float pw, float ph, PlacementMode mode, bool fixedArea,
                               float backBufferWidth, float backBufferHeight);

PictureMetrics ComputePictureMetrics(const TargetQuad& quad, float pictureWidth, float pictureHeight,
                                     float backBufferWidth, float backBufferHeight);

class SceneView {
 public:
  // Sets projection, view and border bars for a picture placed in the area.
  void Place(GraphicsDevice& device, const TargetQuad& area, float pictureWidth, float pictureHeight,
             PlacementMode mode);
  // The camera looks at `centre` of a pw x ph picture with zoom z: the
  // centre goes to the middle of the window placement works with, so a
  // window inside the picture shows only picture. The pan offset is how far
  // the camera has moved the picture from its middle.
  void SetCamera(float pw, float ph, const Vector3& centre, float zoom, bool active);
  // The parallax shift of the next object drawn.
  void SetParallax(const Vector3& offset) { parallax = MatrixTranslation(offset.x, offset.y, offset.z); }
  // The world matrix for an object matrix under the current camera.
  Matrix WorldTransform(const Matrix& object) const;
  // Sets the transforms of the placement and draws the four bars in black.
  void DrawBorderBars(GraphicsDevice& device) const;

  const Matrix& Projection() const { return projection_; }
  const Matrix& View() const { return view_; }
  const Matrix& ViewInverse() const { return view_inverse_; }
  const Matrix& PlacementWithoutOrigin() const { return placement_; }
  const PlacedRect& Placed() const { return placed_; }
  PlacementMode Mode() const { return mode_; }
  float PictureWidth() const { return picture_width_; }
  float PictureHeight() const { return picture_height_; }

  // The camera writes these.
  Matrix camera;
  Matrix parallax;
  Vector3 cameraPan;
  bool cameraActive = false;
  Placement3D placement3d;
  // The user's choice of picture position.
  PlacementMode pictureSetting = PlacementMode::Fit;

 private:
  Matrix projection_, view_, view_inverse_, placement_, world_;
  PlacedRect placed_;
  PlacementMode mode_ = PlacementMode::Fit;
  float picture_width_ = 0, picture_height_ = 0;
  std::array<std::shared_ptr<VertexBuffer>, 4> bars_;
};

}  // namespace lumi
