// New identities for render objects. They come from a generator of their
// own, so that making objects never disturbs the scene's random sequence.
#pragma once

#include "archive/guid.h"

namespace lumi {

// A random (version 4) GUID.
GUID NewGuid();

}  // namespace lumi
