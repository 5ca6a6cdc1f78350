#include "timing/continues_timeline.h"

#include "archive/registry.h"

namespace lumi {

static const RegisterClass<VRN_ContinuesTimeLine> kRegisterContinuesTimeLine(Family::Timeline);

}  // namespace lumi
