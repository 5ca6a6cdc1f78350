// The process's sound device, through which the scene's sound objects
// play: set while a scene sound lives (after its first device reset).
// Without it sound objects stay silent.
#pragma once

#include <memory>

#include "sound/media_graph.h"
#include "sound/mixer.h"

namespace lumi {

struct SoundDevice {
  std::shared_ptr<Mixer> mixer;
  MediaGraphMaker make_graph;  // the platform's media graphs
};

SoundDevice& CurrentSoundDevice();

}  // namespace lumi
