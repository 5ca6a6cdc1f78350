// The process's sound device, through which the scene's sound objects
// play: set while a scene sound lives (after its first device reset).
// Without it sound objects stay silent.
#pragma once

#include <memory>

#include "sound/mixer.h"
#include "sound/track_decoder.h"

namespace lumi {

struct SoundDevice {
  std::shared_ptr<Mixer> mixer;
  TrackOpener open_compressed;  // the platform's MP3 decoder
};

SoundDevice& CurrentSoundDevice();

}  // namespace lumi
