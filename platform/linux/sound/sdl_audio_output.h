// Audio output through SDL2. Where no device opens (a machine without a
// sound card) it falls back to SDL's dummy driver, which keeps time, so
// positions and completions advance as if the sound were heard.
#pragma once

#include <memory>
#include <string>

#include "sound/audio_output.h"

namespace lumi {

// Opens the default device as 48 kHz float stereo, paused until Start.
// `message` tells of a fallback to the dummy driver; null when not even
// that opens.
std::unique_ptr<AudioOutput> OpenSdlAudioOutput(std::string& message);

}  // namespace lumi
