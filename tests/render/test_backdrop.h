// The slide backdrop over a given picture size, with its own view made
// current on the device for the test's lifetime.
#pragma once

#include "backdrop/light_2d.h"
#include "render/current_context.h"
#include "render/scene_view.h"

namespace lumi::test {

class TestBackdrop : public DS_2D_Light {
 public:
  TestBackdrop(GraphicsDevice& device, float pictureWidth, float pictureHeight);

  // The picture quad with this texture, over what is drawn.
  void DrawTexture(const std::shared_ptr<Texture>& texture);
  size_t Depth() const { return SavedTargetDepth(); }

  SceneView view;

 private:
  ScopedRenderContext context_;
};

}  // namespace lumi::test
