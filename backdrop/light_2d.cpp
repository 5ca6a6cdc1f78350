#include "backdrop/light_2d.h"

#include "archive/registry.h"

namespace lumi {

static const RegisterClass<DS_2D_Light> kRegister(Family::Backdrop);

void DS_2D_Light::Describe(Archive& ar) {
  if (ar.version() >= 2) LinkField(ar, "picture", picture);
  if (ar.version() >= 3) Member(ar, "camera", camera);
}

}  // namespace lumi
