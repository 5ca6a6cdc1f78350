// The slide's backdrop as the scene sees it (render/backdrop_services.h),
// and the fade the slide show draws over it.
#pragma once

#include <array>
#include <cstdint>

#include "render/backdrop_services.h"

namespace lumi {

// The black rectangle drawn over the slide for its fades, in window pixels.
struct TransitionOverlay {
  ScreenRect rect;

  uint8_t alpha() const { return static_cast<uint8_t>(rect.v[0].color >> 24); }
  void SetAlpha(uint8_t alpha) {
    for (VertexScreenPC& v : rect.v) v.color = (v.color & 0x00FFFFFFu) | (uint32_t{alpha} << 24);
  }
};

}  // namespace lumi
