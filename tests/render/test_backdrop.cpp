#include "tests/render/test_backdrop.h"

#include <cstring>

namespace lumi::test {

TestBackdrop::TestBackdrop(GraphicsDevice& device, float pictureWidth, float pictureHeight)
    : device_(device), pictureWidth_(pictureWidth), pictureHeight_(pictureHeight) {
  const float w = pictureWidth, h = pictureHeight;
  const VertexPT strip[4] = {{0, h, 0, 0, 1}, {0, 0, 0, 0, 0}, {w, h, 0, 1, 1}, {w, 0, 0, 1, 0}};
  quad_ = device.CreateVertexBuffer(sizeof strip, kBufferWriteOnly, Pool::Managed);
  std::memcpy(quad_->Lock(0, 0), strip, sizeof strip);
  quad_->Unlock();
  const auto target = device.GetRenderTarget();
  current_ = {TargetQuad::FromRect(0, 0, static_cast<float>(target->Width()), static_cast<float>(target->Height())),
              PlacementMode::Fit};
  view.Place(device, current_.area, w, h, current_.mode);
}

void TestBackdrop::PushTarget(uint32_t width, uint32_t height, PlacementMode mode) {
  stack_.push_back(current_);
  current_ = {TargetQuad::FromRect(0, 0, static_cast<float>(width), static_cast<float>(height)), mode};
  view.Place(device_, current_.area, pictureWidth_, pictureHeight_, mode);
}

void TestBackdrop::PopTarget() {
  if (stack_.empty()) return;
  current_ = stack_.back();
  stack_.pop_back();
  view.Place(device_, current_.area, pictureWidth_, pictureHeight_, current_.mode);
}

void TestBackdrop::DrawQuad() {
  device_.SetTransform(TransformKind::World, view.WorldTransform(Matrix{}));
  device_.SetTransform(TransformKind::View, view.View());
  device_.SetTransform(TransformKind::Projection, view.Projection());
  device_.SetVertexFormat(VertexFormat::PT);
  device_.SetStreamSource(quad_);
  device_.DrawPrimitive(PrimitiveType::TriangleStrip, 0, 2);
}

void TestBackdrop::DrawPictureWithEffect(Effect& effect) {
  RunEffectPasses(effect, [this] { DrawQuad(); });
}

void TestBackdrop::DrawPicture(const std::shared_ptr<Texture>& texture) {
  device_.SetTexture(0, texture);
  DrawQuad();
}

}  // namespace lumi::test
