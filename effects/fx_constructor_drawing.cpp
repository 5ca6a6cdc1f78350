// What every image effect does at run time: loading its program and mask,
// its clock, and the shared ways of drawing.
#include <algorithm>
#include <cmath>
#include <string>

#include "archive/utf.h"
#include "effects/brush_obj.h"
#include "render/current_context.h"
#include "render/effect.h"
#include "scene/ab_render.h"
#include "scene/fresh_guid.h"
#include "scene/notices.h"
#include "scene/resource_access.h"

namespace lumi {

std::unique_ptr<VRN_RenderObj> DS_FX_Constructor::CreateRenderObject() const {
  std::unique_ptr<DS_ABObj_Constructor> copy = Clone();
  return std::make_unique<DS_BrushObj>(
      std::unique_ptr<DS_FX_Constructor>(static_cast<DS_FX_Constructor*>(copy.release())));
}

void DS_FX_Constructor::RenewResources() {
  brush_id = NewGuid();
  brush_label.clear();
  brush_flag = 1;
  mask_.reset();
}

void DS_FX_Constructor::LoadEffect(std::shared_ptr<Texture> mask) {
  const ResourceAccess& resources = DocumentResourceAccess();
  const bool finite_corners = std::ranges::all_of(rectangle.corners, [](const auto& corner) {
    return std::isfinite(corner.value.x) && std::isfinite(corner.value.y) && std::isfinite(corner.value.z);
  });
  if (!finite_corners) {
    NoteUnusable("a corner of its rectangle is not a finite number; the rectangle is empty");
    for (auto& corner : rectangle.corners) corner.value = Vector3{0, 0, 0};
  }
  effect_ = resources.class_effect != nullptr ? resources.class_effect(program.key, ClassName()) : nullptr;
  SetMask(std::move(mask));
}

void DS_FX_Constructor::BuildRectMesh() {
  if (rect_mesh_.columns == 0) return;
  const ResourceAccess& resources = DocumentResourceAccess();
  const PictureMetrics metrics = resources.metrics != nullptr ? resources.metrics() : PictureMetrics{};
  // Without a picture the coordinates are 0, never a division by 0.
  const bool local = GridInRectangleCoordinates();
  const auto corner = [&](size_t i, float u, float v) {
    const Vector3& p = rectangle.corners[i].value;
    if (local) return GridCorner{p.x, p.y, p.z, u, v};
    return GridCorner{p.x, p.y, p.z, metrics.pictureWidth > 0 ? p.x / metrics.pictureWidth : 0.0f,
                      metrics.pictureHeight > 0 ? p.y / metrics.pictureHeight : 0.0f};
  };
  // The record keeps the corners in strip order: top left, bottom left,
  // top right, bottom right.
  rect_mesh_.SetCorners(corner(0, 0, 0), corner(2, 1, 0), corner(1, 0, 1), corner(3, 1, 1));
}

void DS_FX_Constructor::MakeRectMesh(uint32_t cells) {
  if (GraphicsDevice* device = CurrentDevice()) rect_mesh_.Create(*device, cells, cells);
  BuildRectMesh();
}

void DS_FX_Constructor::Advance(double local_time) { clock.Advance(local_time, speed.scaled()); }

float DS_FX_Constructor::PatternScale() const { return fx::NonZero(pattern_scale); }

float DS_FX_Constructor::TimelineFactor() const { return timing.current().GetLevel(); }

float DS_FX_Constructor::RandomTimelineFactor() const {
  return timing.value == VRN_SmartTiming::kRandom ? TimelineFactor() : 1.0f;
}

float DS_FX_Constructor::SignedAmplitude(int mode, float for_mode_0, float for_mode_1, float a, float b) const {
  switch (mode) {
    case 0:
      return for_mode_0;
    case 1:
      return for_mode_1;
    case kTriangle:
    case kSine:
    case kNoise:
      return Oscillate(mode, clock.phase, phase_offset.scaled()) * (a + b) / 2 + (a - b) / 2;
    default:
      return 0;
  }
}

void DS_FX_Constructor::NoteUnusable(const std::string& what) const {
  AddNoticeOnce(std::string(ClassName()) + " \"" + ToUtf8(name) + "\": " + what);
}

float DS_FX_Constructor::PictureAspect(DS_ABRender& backdrop) {
  const uint32_t w = backdrop.PictureWidth(), h = backdrop.PictureHeight();
  return w > 0 && h > 0 ? static_cast<float>(w) / static_cast<float>(h) : 1.0f;
}

bool DS_FX_Constructor::ReadyToDraw(DS_ABRender& backdrop, bool needs_picture) const {
  const bool has_picture = backdrop.PictureWidth() > 0 && backdrop.PictureHeight() > 0;
  if (effect_ && mask_ && (has_picture || !needs_picture)) return true;
  if (UsesBackground()) backdrop.CopyBackground();
  return false;
}

void DS_FX_Constructor::SetCommonParameters(DS_ABRender& backdrop) {
  const float a = PictureAspect(backdrop), s = PatternScale();
  const float scale[4] = {a / s, 1 / s, s / a, s};
  effect_->SetFloatArray("Scale", scale, 4);
  effect_->SetTexture("Mask", mask_);
  effect_->SetTexture("Background", backdrop.Background());
  effect_->SetTechnique(UsesBackground() ? "MainFX" : "Main");
}

void DS_FX_Constructor::DrawOverPicture(DS_ABRender& backdrop) {
  SetCommonParameters(backdrop);
  backdrop.DrawStripWithEffect(backdrop.PictureGeometry(), *effect_);
}

void DS_FX_Constructor::DrawTechnique(DS_ABRender& backdrop) {
  if (UsesBackground()) {
    effect_->SetTechnique("MainFX");
    backdrop.DrawStripWithEffect(backdrop.PictureGeometry(), *effect_);
  } else {
    effect_->SetTechnique("Main");
    backdrop.DrawMeshWithEffect(rect_mesh_, *effect_);
  }
}

std::array<float, 2> DS_DirectionBased::Direction() const {
  const double radians = (360.0 - angle.value) * kEffectPi / 180.0;
  return {static_cast<float>(std::cos(radians)), static_cast<float>(std::sin(radians))};
}

void DS_CentralBased::LoadEffect(std::shared_ptr<Texture> mask) {
  const Vector3& c = centre.value;
  if (!std::isfinite(c.x) || !std::isfinite(c.y) || !std::isfinite(c.z)) {
    NoteUnusable("its centre is not a finite number; it turns about the picture's centre");
    const ResourceAccess& resources = DocumentResourceAccess();
    const PictureMetrics metrics = resources.metrics != nullptr ? resources.metrics() : PictureMetrics{};
    centre.Set({metrics.pictureWidth / 2, metrics.pictureHeight / 2, 0});
  }
  DS_FX_Constructor::LoadEffect(std::move(mask));
}

std::array<float, 2> DS_CentralBased::NormalisedCentre(DS_ABRender& backdrop) const {
  const auto w = static_cast<float>(backdrop.PictureWidth()), h = static_cast<float>(backdrop.PictureHeight());
  return {w > 0 ? centre.value.x / w : 0.5f, h > 0 ? centre.value.y / h : 0.5f};
}

std::array<float, 3> LineThrough(float x1, float y1, float x2, float y2) {
  const float length = std::hypot(x2 - x1, y2 - y1);
  if (length == 0) return {0, 0, 0};
  return {(y1 - y2) / length, (x2 - x1) / length, (y2 * x1 - x2 * y1) / length};
}

void DS_LineBased::LoadEffect(std::shared_ptr<Texture> mask) {
  DS_CentralBased::LoadEffect(std::move(mask));
  const ResourceAccess& resources = DocumentResourceAccess();
  const PictureMetrics metrics = resources.metrics != nullptr ? resources.metrics() : PictureMetrics{};
  const auto normalised = [](float v, float size) { return size > 0 ? v / size : 0.0f; };
  const Vector3& c = centre.value;
  lines.centre = {normalised(c.x, metrics.pictureWidth), normalised(c.y, metrics.pictureHeight)};
  const std::array<float, 4>& d1 = line_direction.direction();
  const std::array<float, 4>& d2 = line_direction.perpendicular();
  lines.along = {d1[0], -d1[1]};
  lines.across = {d2[0], d2[1]};
  const auto through = [&](const std::array<float, 2>& d) {
    return LineThrough(lines.centre[0], lines.centre[1], lines.centre[0] + d[0], lines.centre[1] + d[1]);
  };
  lines.first = through(lines.along);
  lines.second = through(lines.across);
}

}  // namespace lumi
