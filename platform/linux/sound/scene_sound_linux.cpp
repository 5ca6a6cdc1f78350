#include "platform/linux/sound/scene_sound_linux.h"

#include "platform/linux/sound/mpeg_decoder.h"
#include "platform/linux/sound/sdl_audio_output.h"
#include "sound/mixed_scene_sound.h"
#include "sound/mixer_media_graph.h"

namespace lumi {

std::unique_ptr<SceneSound> MakeLinuxSceneSound(SoundSettingsReader read_settings,
                                                std::function<void(PlatformWindow)> post_media_event,
                                                std::function<void(const std::string&)> report, std::string& message) {
  return std::make_unique<MixedSceneSound>(std::move(read_settings), OpenSdlAudioOutput(message),
                                           MixerMediaGraphs(OpenMpegTrack, std::move(post_media_event)),
                                           std::move(report));
}

}  // namespace lumi
