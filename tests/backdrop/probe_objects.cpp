#include "tests/backdrop/probe_objects.h"

#include "render/current_context.h"

namespace lumi::test {

std::unique_ptr<VRN_RenderObj> ProbeConstructor::CreateRenderObject() const {
  return std::make_unique<Probe>(std::make_unique<ProbeConstructor>(*this));
}

void Probe::Render(DS_ABRender& backdrop) {
  GraphicsDevice* device = CurrentDevice();
  const SceneView* view = CurrentSceneView();
  Settings().draws->push_back({backdrop.Background().get(), device != nullptr ? device->GetRenderTarget().get() : nullptr,
                               view != nullptr ? view->Mode() : PlacementMode::Fit});
  if (!NeedsBackground() || device == nullptr) return;
  const auto target = device->GetRenderTarget();
  const auto w = static_cast<float>(target->Width()), h = static_cast<float>(target->Height());
  ScreenImage image{{{0, h, 0, 1, 0xffffffff, 0, 1}, {0, 0, 0, 1, 0xffffffff, 0, 0}, {w, h, 0, 1, 0xffffffff, 1, 1},
                     {w, 0, 0, 1, 0xffffffff, 1, 0}},
                    backdrop.Background()};
  backdrop.DrawScreenImage(image);
}

std::unique_ptr<ProbeConstructor> MakeProbe(bool reads_picture) {
  auto probe = std::make_unique<ProbeConstructor>();
  probe->reads_picture = reads_picture;
  return probe;
}

}  // namespace lumi::test
