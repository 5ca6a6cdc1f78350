// Field forms the sprite, 3D and text records share.
#pragma once

#include <cstdint>

#include "archive/archive.h"
#include "params/param_archive.h"
#include "params/typed_param.h"
#include "params/vector_math.h"

namespace lumi {

// A Windows colour value (0x00BBGGRR), stored as a signed 32-bit integer.
void ColourField(Archive& ar, const char* field, MediaParamTB<uint32_t>& colour, Apply apply);

// Three floats x, y, z.
void PointField(Archive& ar, const char* field, MediaParamTB<Vector3>& point, Apply apply);

}  // namespace lumi
