// The OpenGL 3.3 core implementation of the graphics device.
#pragma once

#include <memory>
#include <string>

#include "render/device.h"

namespace lumi {

class GlContext;

struct GlDeviceOptions {
  // Off: DXT textures are decoded to pixels even when the context could
  // sample them compressed.
  bool compressedTextures = true;
};

// The device draws into its own back buffer and, for a window, copies it
// to the window on Present. The context must outlive the device and stay
// current on the calling thread. Null with the reason in error.
std::unique_ptr<GraphicsDevice> CreateGlDevice(GlContext& context, uint32_t width, uint32_t height, std::string& error,
                                               const GlDeviceOptions& options = {});

}  // namespace lumi
