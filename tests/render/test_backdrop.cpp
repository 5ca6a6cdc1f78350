#include "tests/render/test_backdrop.h"

namespace lumi::test {

TestBackdrop::TestBackdrop(GraphicsDevice& device, float pictureWidth, float pictureHeight)
    : context_(&device, &view) {
  Load();
  SetPicture({nullptr, static_cast<uint32_t>(pictureWidth), static_cast<uint32_t>(pictureHeight),
              pictureHeight / pictureWidth});
  const auto target = device.GetRenderTarget();
  SetTargetQuad(TargetQuad::FromRect(0, 0, static_cast<float>(target->Width()), static_cast<float>(target->Height())));
}

void TestBackdrop::DrawTexture(const std::shared_ptr<Texture>& texture) {
  SetPicture({texture, PictureWidth(), PictureHeight(), Aspect()});
  DS_2D_Light::DrawPicture(true);
}

}  // namespace lumi::test
