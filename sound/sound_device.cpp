#include "sound/sound_device.h"

namespace lumi {

SoundDevice& CurrentSoundDevice() {
  static SoundDevice device;
  return device;
}

}  // namespace lumi
