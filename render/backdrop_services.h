// What off-screen surfaces need from the slide's backdrop, which owns the
// placement stack and draws the picture quad.
#pragma once

#include <cstdint>

#include "render/scene_view.h"

namespace lumi {

class Effect;

class BackdropServices {
 public:
  virtual ~BackdropServices() = default;
  // Places the picture onto a target of this size, remembering the
  // placement in force so PopTarget can return to it.
  virtual void PushTarget(uint32_t width, uint32_t height, PlacementMode mode) = 0;
  virtual void PopTarget() = 0;
  // Draws the picture quad under the current placement through every pass
  // of the effect's current technique.
  virtual void DrawPictureWithEffect(Effect& effect) = 0;
};

}  // namespace lumi
