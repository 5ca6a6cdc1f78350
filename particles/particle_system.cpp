#include "particles/particle_system.h"

#include "params/param_archive.h"

namespace lumi {

void VRN_ParticleSystemCtrl::Describe(Archive& ar) {
  RejectVersionsBefore(ar, kFirstKnownVersion);
  LookField(ar, "look", look);
  SliderField(ar, "speed", speed, Apply::Set);
  BaseRecordOf<DS_ABObj_Constructor>(ar, this);
}

}  // namespace lumi
