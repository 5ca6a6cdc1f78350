// The identity under which the caption tests keep their caption picture.
#pragma once

#include "archive/guid.h"

namespace lumi::test {

constexpr GUID kCaptionPictureId{0x7E47C0DE, 1, 2, {3, 4, 5, 6, 7, 8, 9, 10}};

}  // namespace lumi::test
