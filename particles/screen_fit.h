// Where systems their author left unplaced go on the render unit's screen.
#pragma once

#include "params/quad_rect.h"
#include "params/vector_math.h"

namespace lumi {

// The share of the screen an unplaced stream or fan of rays covers.
constexpr float kUnplacedShare = 0.8f;

// Whether there is a screen to fit to: a current device with a back buffer.
bool HasScreen();
// The centre of the render unit's screen, in pixels.
Vector3 ScreenCentre();
// `area` becomes `share` of the screen's width and height, centred on it:
// corner 0 top-left, 1 bottom-left, 2 top-right, 3 bottom-right.
void FitToScreen(MediaQuad& area, float share);

}  // namespace lumi
