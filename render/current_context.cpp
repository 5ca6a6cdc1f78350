#include "render/current_context.h"

#include "render/device.h"

namespace lumi {
namespace {

GraphicsDevice* current_device = nullptr;
BackBufferSize current_size;
thread_local SceneView* current_view = nullptr;

}  // namespace

GraphicsDevice* CurrentDevice() { return current_device; }
SceneView* CurrentSceneView() { return current_view; }
BackBufferSize CurrentBackBufferSize() { return current_size; }

void SetCurrentRenderContext(GraphicsDevice* device, SceneView* view) {
  current_device = device;
  current_view = view;
  current_size = device != nullptr ? BackBufferSize{device->BackBufferWidth(), device->BackBufferHeight()}
                                   : BackBufferSize{};
}

ScopedRenderContext::ScopedRenderContext(GraphicsDevice* device, SceneView* view)
    : previous_device_(current_device), previous_view_(current_view), previous_size_(current_size) {
  SetCurrentRenderContext(device, view);
}

ScopedRenderContext::~ScopedRenderContext() {
  current_device = previous_device_;
  current_view = previous_view_;
  current_size = previous_size_;
}

}  // namespace lumi
