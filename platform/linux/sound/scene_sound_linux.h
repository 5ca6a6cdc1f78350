// The saver's sound on Linux: our mixer through SDL's audio, MP3 tracks
// through libmpg123. Make it before the loop lowers the process's priority:
// the output's thread keeps the priority it starts with.
//
// Implements SceneSound (through MixedSceneSound), AudioOutput (SDL) and
// MP3 decoding (libmpg123); the media graph is our mixer's.
// Does not: use a system media framework; WAV is read by sound/wave_file.h.
#pragma once

#include <functional>
#include <memory>
#include <string>

#include "sound/scene_sound.h"

namespace lumi {

// `message` tells of a fallback to silent output or of no output at all
// (then the first device reset throws); empty otherwise. `report` gets a
// line each time a background track starts.
std::unique_ptr<SceneSound> MakeLinuxSceneSound(SoundSettingsReader read_settings,
                                                std::function<void(PlatformWindow)> post_media_event,
                                                std::function<void(const std::string&)> report, std::string& message);

}  // namespace lumi
