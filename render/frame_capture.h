// Rendering a number of frames off-screen and saving the last as a PNG,
// for the render command of the tool and for tests; optionally losing the
// device every few frames to exercise the restore path.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "render/device.h"

namespace lumi {

struct FrameCallbacks {
  // Draws frame number n between BeginScene and EndScene.
  std::function<void(uint32_t frame)> draw;
  // Called after the device was lost, before Reset: release every
  // default-pool resource.
  std::function<void()> lose;
  // Called after Reset: make them again.
  std::function<void()> restore;
};

struct CaptureOptions {
  uint32_t frames = 1;
  uint32_t loseDeviceEvery = 0;  // 0 never
};

// The back buffer after the last frame; empty with the reason in error.
std::optional<RgbaImage> RenderFrames(GraphicsDevice& device, const CaptureOptions& options,
                                      const FrameCallbacks& callbacks, std::string& error);

bool WritePng(const RgbaImage& image, const std::string& path, std::string& error);

}  // namespace lumi
