// Effects that lay a transformed copy over the picture: a tiled pattern, a
// shifted copy of the picture, and the picture turned about a centre.
#include <cmath>

#include "effects/catalogue_effects.h"
#include "render/effect.h"
#include "scene/ab_render.h"
#include "scene/resource_access.h"

namespace lumi {
namespace {

constexpr double kDegrees = kEffectPi / 180.0;

// The upper-left 2 x 2 of a matrix, row by row.
std::array<float, 4> UpperLeft(const Matrix& m) { return {m.m[0][0], m.m[0][1], m.m[1][0], m.m[1][1]}; }

void SetMixColour(Effect& effect, float alpha) {
  const float mix_color[4] = {1, 1, 1, alpha};
  effect.SetFloatArray("mix_color", mix_color, 4);
}

}  // namespace

void DS_PatternBrush::LoadEffect(std::shared_ptr<Texture> mask) {
  const ResourceAccess& resources = DocumentResourceAccess();
  PictureFrames frames = resources.frames != nullptr ? resources.frames(pattern_image.key) : PictureFrames{};
  pattern_.frames = std::move(frames.textures);
  pattern_.sequence.SetDurations(std::move(frames.delays));
  pattern_.texture = pattern_.frames.empty() ? nullptr : pattern_.frames.front();
  pattern_width_ = frames.width;
  pattern_height_ = frames.height;
  DS_FX_Constructor::LoadEffect(std::move(mask));
}

void DS_PatternBrush::Advance(double local_time) {
  DS_FX_Constructor::Advance(local_time);
  pattern_.StepFrames(static_cast<float>(clock.phase));
}

std::array<float, 4> DS_PatternBrush::PatternTransform(float picture_width, float picture_height, float pattern_width,
                                                      float pattern_height) const {
  const float size = fx::NonZero(pattern_size);
  float sx = picture_width / (pattern_width * size), sy = picture_height / (pattern_height * size);
  if (horizontal_flip.value != 0) sx = -sx;
  if (vertical_flip.value != 0) sy = -sy;
  const auto angle = static_cast<float>(rotation_angle.value % 360 * kDegrees);
  return UpperLeft(MatrixScaling(sx, sy, 1) * MatrixRotationZ(angle));
}

void DS_PatternBrush::Draw(DS_ABRender& backdrop) {
  if (!ReadyToDraw(backdrop)) return;
  Effect& effect = *effect_;
  SetMixColour(effect, RandomTimelineFactor());
  if (!pattern_.texture || pattern_width_ == 0 || pattern_height_ == 0) {
    // Nothing to lay down this frame; a chain pass still hands the picture on.
    if (UsesBackground()) backdrop.CopyBackground();
    return;
  }
  const auto pw = static_cast<float>(pattern_width_), ph = static_cast<float>(pattern_height_);
  const float scale[2] = {pw / ph, 1};
  const float offset[2] = {x_offset.scaled(), y_offset.scaled()};
  const std::array<float, 4> transform = PatternTransform(static_cast<float>(backdrop.PictureWidth()),
                                                          static_cast<float>(backdrop.PictureHeight()), pw, ph);
  effect.SetTexture("Pattern", pattern_.texture);
  effect.SetFloatArray("scale", scale, 2);
  effect.SetFloatArray("offset", offset, 2);
  effect.SetFloatArray("coord_transf", transform.data(), 4);
  DrawOverPicture(backdrop);
}

void DS_BackgroundCopy::Draw(DS_ABRender& backdrop) {
  if (!ReadyToDraw(backdrop, true)) return;
  const auto w = static_cast<float>(backdrop.PictureWidth()), h = static_cast<float>(backdrop.PictureHeight());
  // A whole picture further on mirrors it, since the picture's sampler
  // mirrors.
  const float offset[2] = {static_cast<float>(source_rectangle.x.value) / w + (horizontal_flag.value != 0 ? 1.0f : 0.0f),
                           static_cast<float>(source_rectangle.y.value) / h + (vertical_flag.value != 0 ? 1.0f : 0.0f)};
  effect_->SetFloatArray("offset", offset, 2);
  DrawOverPicture(backdrop);
}

void DS_RotationFX::Advance(double local_time) {
  DS_FX_Constructor::Advance(local_time);
  // Whole turns change nothing, and a float angle of hours would jitter.
  turn = (direction.value != 0 ? -1 : 1) * ReducedPhase(clock.phase, 2 * kEffectPi);
}

std::array<float, 4> DS_RotationFX::Transform() const {
  // A stretch of 0 would divide by 0: it is a plain rotation.
  const float s = stretch.scaled() != 0 ? stretch.scaled() : 1.0f;
  Matrix turned = MatrixRotationZ(static_cast<float>(turn));
  turned.m[0][1] *= s;
  turned.m[1][0] /= s;
  const auto ellipse = static_cast<float>(ellipse_angle.value % 360 * kDegrees);
  return UpperLeft(MatrixRotationZ(-ellipse) * turned * MatrixRotationZ(ellipse));
}

void DS_RotationFX::Draw(DS_ABRender& backdrop) {
  if (!ReadyToDraw(backdrop, true)) return;
  Effect& effect = *effect_;
  const std::array<float, 4> transform = Transform();
  const std::array<float, 2> c = NormalisedCentre(backdrop);
  const float offset[2] = {-c[0], -c[1]};
  effect.SetFloatArray("coord_transf", transform.data(), 4);
  effect.SetFloatArray("offset", offset, 2);
  SetMixColour(effect, RandomTimelineFactor());
  DrawOverPicture(backdrop);
}

}  // namespace lumi
