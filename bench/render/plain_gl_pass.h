// A full-target textured pass written directly against OpenGL, the
// baseline the device's own pass is measured against.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

namespace lumi {

class GlContext;

class PlainGlPass {
 public:
  virtual ~PlainGlPass() = default;
  // Draws a texture of textureSize squared over the whole target.
  virtual void Draw() = 0;
  // count tiny quads, each with its own transform uniform, alternating
  // between two textures every ten: the driver's own cost per draw.
  virtual void DrawSmall(uint32_t count) = 0;
  virtual void Finish() = 0;
};

std::unique_ptr<PlainGlPass> CreatePlainGlPass(GlContext& context, uint32_t width, uint32_t height,
                                               uint32_t textureSize, std::string& error);

}  // namespace lumi
