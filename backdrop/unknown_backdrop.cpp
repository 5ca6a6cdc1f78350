#include "backdrop/unknown_backdrop.h"

#include "archive/registry.h"

namespace lumi {

static const RegisterUnknownClass<UnknownBackdrop> kRegister(Family::Backdrop);

}  // namespace lumi
