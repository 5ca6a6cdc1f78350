// The box that shows the error text after a failure, bouncing around the
// window (resting and filling the window in a preview).
#pragma once

#include "platform/saver_display.h"

namespace lumi {

struct ErrorBox {
  double x = 0, y = 0, width = 0, height = 0;
  double speed_x = 0, speed_y = 0;  // pixels per second

  bool Placed() const { return width != 0; }
  // Its rectangle in whole pixels, as painted.
  WindowRect Rect() const;
};

inline constexpr int kErrorBoxWidth = 300;
inline constexpr int kErrorBoxHeight = 150;
// A stall (a suspended process, a slow frame) moves the box at most this
// far in time, so it never jumps out of its bounds.
inline constexpr double kMaxErrorBoxStep = 0.2;

// First placement: the whole bounds in a preview, else 300 x 150 centred,
// moving a tenth of the width and a twentieth of the height per second.
void PlaceErrorBox(ErrorBox& box, const WindowRect& bounds, bool preview);
// Moves a placed box by `seconds`, bouncing off the bounds. True when its
// painted position changed.
bool MoveErrorBox(ErrorBox& box, const WindowRect& bounds, double seconds);

}  // namespace lumi
