// The device and view the scene draws with. Scene objects never receive a
// device as an argument: whoever runs a scene (the saver, the render tool,
// a test) makes its device and view current first. Without a current
// device the scene moves as usual and draws nothing.
#pragma once

#include <cstdint>

namespace lumi {

class GraphicsDevice;
class SceneView;

// One device for the process; the view belongs to the calling thread.
GraphicsDevice* CurrentDevice();
SceneView* CurrentSceneView();

// The back buffer's size as it was when the device was made current.
struct BackBufferSize {
  uint32_t width = 0, height = 0;
};
BackBufferSize CurrentBackBufferSize();

// Makes a device and its view current until the next change: the saver
// switches between its units' devices every frame.
void SetCurrentRenderContext(GraphicsDevice* device, SceneView* view);

// Makes a device and its view current for its lifetime, then puts back
// what was current before.
class ScopedRenderContext {
 public:
  ScopedRenderContext(GraphicsDevice* device, SceneView* view);
  ~ScopedRenderContext();
  ScopedRenderContext(const ScopedRenderContext&) = delete;
  ScopedRenderContext& operator=(const ScopedRenderContext&) = delete;

 private:
  GraphicsDevice* previous_device_;
  SceneView* previous_view_;
  BackBufferSize previous_size_;
};

}  // namespace lumi
