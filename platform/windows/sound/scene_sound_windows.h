// The saver's sound on Windows: our mixer through DirectSound, MP3 and the
// background music through DirectShow.
//
// Implements SceneSound (through MixedSceneSound), AudioOutput (DirectSound)
// and the media graph (DirectShow).
// Does not: decode MP3 itself; DirectShow's decoders do.
#pragma once

#include <functional>
#include <memory>
#include <string>

#include "sound/scene_sound.h"

namespace lumi {

// `report` gets a line when there is no sound device (sounds then play
// silently) and each time a background track starts.
std::unique_ptr<SceneSound> MakeWindowsSceneSound(SoundSettingsReader read_settings,
                                                  std::function<void(const std::string&)> report);

}  // namespace lumi
