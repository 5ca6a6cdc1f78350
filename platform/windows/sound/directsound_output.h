// Audio output through DirectSound: our mixer streamed into one secondary
// buffer, so that volumes, pans, loops and rates behave as on every system.
#pragma once

#include <functional>
#include <memory>
#include <string>

#include "sound/audio_output.h"

namespace lumi {

// Opens the default device (its cooperative level is set on the main window
// when the output starts). Where there is none, or its buffer cannot be
// made, `report` gets one line and the output keeps time silently, so that
// positions and completions still advance.
std::unique_ptr<AudioOutput> OpenDirectSoundOutput(std::function<void(const std::string&)> report);

}  // namespace lumi
