// What a renderer's own names tell the device list: whether it can draw the
// scene at all, whether it rasterises in software, and a stable identity
// that stands in for an adapter's device GUID in the stored settings.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "platform/saver_display.h"

namespace lumi {

// GL_VENDOR and GL_RENDERER of a context; empty when none could be made.
struct RendererNames {
  std::string vendor, renderer;
};

// False with no renderer, or Microsoft's "GDI Generic", which stops at
// OpenGL 1.1 and cannot draw the scene.
bool IsUsableRenderer(const RendererNames& names);
// Mesa's rasterisers that run on the processor.
bool IsSoftwareRenderer(const std::string& renderer);

// The adapter record of the renderer driving `monitor`, without modes.
AdapterAnswer RendererAdapter(const RendererNames& names, int monitor);

}  // namespace lumi
