// Field forms the sprite, 3D and text records share.
#pragma once

#include <cstdint>
#include <string_view>

#include "archive/archive.h"
#include "params/param_archive.h"
#include "params/typed_param.h"
#include "params/vector_math.h"

namespace lumi {

// A Windows colour value (0x00BBGGRR), stored as a signed 32-bit integer.
void ColourField(Archive& ar, const char* field, MediaParamTB<uint32_t>& colour, Apply apply);

// Three floats x, y, z.
void PointField(Archive& ar, const char* field, MediaParamTB<D3DXVECTOR3>& point, Apply apply);

// Fails the load of a record whose stored version has a layout this player
// does not know: records carry no length, so nothing after it could be read.
[[noreturn]] void RejectUnknownLayout(Archive& ar, const char* field);

// The same for any version below `oldest`, the oldest layout known.
inline void RequireVersionAtLeast(Archive& ar, int oldest, const char* field) {
  if (ar.version() < oldest) RejectUnknownLayout(ar, field);
}

}  // namespace lumi
