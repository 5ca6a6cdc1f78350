#include "render/scene_view.h"

#include <cmath>
#include <cstring>

namespace lumi {

namespace {

constexpr float kBarWidth = 1000;
constexpr uint32_t kBlack = 0xff000000;

}  // namespace

TargetQuad TargetQuad::FromRect(float left, float top, float width, float height) {
  const float right = left + width, bottom = top + height;
  return {{{left, bottom, 1, 0, 1}, {left, top, 1, 0, 0}, {right, bottom, 1, 1, 1}, {right, top, 1, 1, 0}}};
}

PlacedRect PlacePicture(float a, float b, float pw, float ph, PlacementMode mode) {
  if (a <= 0 || b <= 0 || pw <= 0 || ph <= 0) return {0, 0, a, b};
  const float c = b / a, d = ph / pw;
  const PlacedRect acrossWidth{0, (b - d * a) / 2, a, d * a};
  const PlacedRect acrossHeight{(a - b / d) / 2, 0, b / d, b};
  switch (mode) {
    case PlacementMode::Fit:
      return d <= c ? acrossWidth : acrossHeight;
    case PlacementMode::Fill:
      return d > c ? acrossWidth : acrossHeight;
    default:
      return {0, 0, a, b};
  }
}

Placement3D ComputePlacement3D(float a, float b, float pw, float ph, PlacementMode mode, bool fixedArea,
                               float backBufferWidth, float backBufferHeight) {
  Placement3D result;
  const PlacedRect fit = PlacePicture(a, b, pw, ph, PlacementMode::Fit);
  float left = std::trunc(fit.x), top = std::trunc(fit.y);
  float width = std::trunc(fit.x + fit.width) - left, height = std::trunc(fit.y + fit.height) - top;
  // Nothing to line up with: a picture or area of size 0 keeps identity.
  if (!(a > 0 && b > 0 && pw > 0 && ph > 0 && width > 0 && height > 0)) return result;
  const float t = width != a ? ph / b : pw / a;
  float a2 = a, b2 = b;
  if (!fixedArea && backBufferWidth > 0 && backBufferHeight > 0) {
    const float sx = backBufferWidth / a, sy = backBufferHeight / b;
    left *= sx;
    width *= sx;
    top *= sy;
    height *= sy;
    a2 = backBufferWidth;
    b2 = backBufferHeight;
  }
  result.ratioX = a2 / width;
  result.ratioY = b2 / height;
  result.projection = MatrixOrthoOffCenterLH(0, a, b, 0, -5000, 5000);
  result.view = MatrixLookAtLH({0, 0, -1}, {0, 0, 0}, {0, 1, 0});
  result.world = MatrixScaling(1 / t, 1 / t, 1) * MatrixTranslation(left * a / a2, top * b / b2, 0);
  float u = 1, v = 1;
  const float uStretch = (2 * left + width) / width, vStretch = (2 * top + height) / height;
  if (mode == PlacementMode::Stretch || mode == PlacementMode::WholeTarget) {
    u = uStretch;
    v = vStretch;
  } else if (mode == PlacementMode::Fill) {
    u = v = left != 0 ? uStretch : vStretch;
  }
  result.inverseU = 1 / u;
  result.inverseV = 1 / v;
  result.offsetX = 0.5f * (1 - u) * pw / u;
  result.offsetY = 0.5f * (1 - v) * ph / v;
  result.placement = MatrixTranslation(result.offsetX, result.offsetY, 0) * MatrixScaling(u, v, 1);
  return result;
}

PictureMetrics ComputePictureMetrics(const TargetQuad& quad, float pictureWidth, float pictureHeight,
                                     float backBufferWidth, float backBufferHeight) {
  const float aq = quad.v[3].x - quad.v[1].x, bq = quad.v[2].y - quad.v[1].y;
  const PlacedRect fit = PlacePicture(aq, bq, pictureWidth, pictureHeight, PlacementMode::Fit);
  PictureMetrics metrics;
  metrics.scaleX = aq > 0 ? backBufferWidth / aq : 1;
  metrics.scaleY = bq > 0 ? backBufferHeight / bq : 1;
  metrics.fitted = TargetQuad::FromRect(fit.x, fit.y, fit.width, fit.height);
  for (VertexPT& vertex : metrics.fitted.v) {
    vertex.x *= metrics.scaleX;
    vertex.y *= metrics.scaleY;
  }
  metrics.pictureWidth = pictureWidth;
  metrics.pictureHeight = pictureHeight;
  return metrics;
}

void SceneView::Place(GraphicsDevice& device, const TargetQuad& area, float pictureWidth, float pictureHeight,
                      PlacementMode mode) {
  const float left = area.v[1].x, top = area.v[1].y;
  const float width = area.v[3].x - left, height = area.v[2].y - top;
  mode_ = mode;
  picture_width_ = pictureWidth;
  picture_height_ = pictureHeight;
  placed_ = PlacePicture(width, height, pictureWidth, pictureHeight, mode);
  const auto target = device.GetRenderTarget();
  const float targetWidth = target ? static_cast<float>(target->Width()) : 1;
  const float targetHeight = target ? static_cast<float>(target->Height()) : 1;
  projection_ = MatrixOrthoOffCenterLH(0, targetWidth, targetHeight, 0, -5000, 5000);
  const float sx = pictureWidth > 0 ? placed_.width / pictureWidth : 1;
  const float sy = pictureHeight > 0 ? placed_.height / pictureHeight : 1;
  const Matrix scale = MatrixScaling(sx, sy, 1);
  view_ = scale * MatrixTranslation(left + placed_.x, top + placed_.y, 0);
  view_inverse_ = MatrixInverse(view_).value_or(Matrix{});
  placement_ = scale * MatrixTranslation(placed_.x, placed_.y, 0);
  const float pw = pictureWidth, ph = pictureHeight, w = kBarWidth;
  const float rects[4][4] = {
      {-w, -w, pw + w, 0}, {-w, -w, 0, ph + w}, {-w, ph, pw + w, ph + w}, {pw, -w, pw + w, ph + w}};
  for (size_t i = 0; i < bars_.size(); ++i) {
    if (!bars_[i]) bars_[i] = device.CreateVertexBuffer(4 * sizeof(VertexPC), kBufferWriteOnly, Pool::Managed);
    if (!bars_[i]) continue;
    const auto [x0, y0, x1, y1] = rects[i];
    const VertexPC strip[4] = {{x0, y1, 0, kBlack}, {x0, y0, 0, kBlack}, {x1, y1, 0, kBlack}, {x1, y0, 0, kBlack}};
    if (void* data = bars_[i]->Lock(0, 0, kLockDiscard)) {
      std::memcpy(data, strip, sizeof strip);
      bars_[i]->Unlock();
    }
  }
}

void SceneView::SetCamera(float pw, float ph, const Vector3& centre, float zoom, bool active) {
  cameraActive = active;
  camera = MatrixTranslation(-centre.x, -centre.y, 0) * MatrixScaling(zoom, zoom, 1) *
           MatrixTranslation(picture_width_ / 2, picture_height_ / 2, 0);
  cameraPan = {pw / 2 - centre.x, ph / 2 - centre.y, 0};
}

Matrix SceneView::WorldTransform(const Matrix& object) const {
  if (mode_ == PlacementMode::WholeTarget) return object;
  if (!cameraActive) return object * world_;
  return object * camera * parallax;
}

void SceneView::DrawBorderBars(GraphicsDevice& device) const {
  device.SetTransform(TransformKind::World, world_);
  device.SetTransform(TransformKind::View, view_);
  device.SetTransform(TransformKind::Projection, projection_);
  device.SetTexture(0, nullptr);
  device.SetPixelProgram(nullptr);
  device.SetVertexFormat(VertexFormat::PC);
  for (const auto& bar : bars_) {
    if (!bar) continue;
    device.SetStreamSource(bar);
    device.DrawPrimitive(PrimitiveType::TriangleStrip, 0, 2);
  }
}

}  // namespace lumi
