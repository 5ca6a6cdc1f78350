// Where a point of the screen falls on the slide's picture: the captions'
// hit tests take screen pixels, their quads live in picture pixels.
#pragma once

#include "params/vector_math.h"

namespace lumi {

// The point in pixels of the picture as the current document places it; the
// screen point itself when no picture is placed.
Vector3 ScreenToPicture(int x, int y);

}  // namespace lumi
