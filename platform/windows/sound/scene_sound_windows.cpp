#include "platform/windows/sound/scene_sound_windows.h"

#include "platform/windows/sound/directshow_graph.h"
#include "platform/windows/sound/directsound_output.h"
#include "sound/mixed_scene_sound.h"

namespace lumi {

std::unique_ptr<SceneSound> MakeWindowsSceneSound(SoundSettingsReader read_settings,
                                                  std::function<void(const std::string&)> report) {
  std::unique_ptr<AudioOutput> output = OpenDirectSoundOutput(report);
  return std::make_unique<MixedSceneSound>(std::move(read_settings), std::move(output), DirectShowGraphs(),
                                           std::move(report));
}

}  // namespace lumi
