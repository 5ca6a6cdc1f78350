// A minimal backdrop for the tests: a placement stack over a SceneView and
// the picture quad drawn through effects.
#pragma once

#include <vector>

#include "render/backdrop_services.h"
#include "render/effect.h"
#include "render/scene_view.h"

namespace lumi::test {

class TestBackdrop : public BackdropServices {
 public:
  TestBackdrop(GraphicsDevice& device, float pictureWidth, float pictureHeight);

  void PushTarget(uint32_t width, uint32_t height, PlacementMode mode) override;
  void PopTarget() override;
  void DrawPictureWithEffect(Effect& effect) override;
  // The picture quad with the fixed stages, texture in stage 0.
  void DrawPicture(const std::shared_ptr<Texture>& texture);

  SceneView view;
  size_t Depth() const { return stack_.size(); }

 private:
  void DrawQuad();
  struct Placement {
    TargetQuad area;
    PlacementMode mode;
  };
  GraphicsDevice& device_;
  float pictureWidth_, pictureHeight_;
  std::shared_ptr<VertexBuffer> quad_;
  Placement current_;
  std::vector<Placement> stack_;
};

}  // namespace lumi::test
