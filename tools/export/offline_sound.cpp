#include "tools/export/offline_sound.h"

#include "platform/linux/sound/mpeg_decoder.h"
#include "sound/mixer_media_graph.h"

namespace lumi::tool {
namespace {

// An output that plays nothing itself: it hands its render function to
// whoever pulls the samples.
class PulledAudioOutput final : public AudioOutput {
 public:
  explicit PulledAudioOutput(AudioOutput::Render& render) : render_(render) {}
  uint32_t rate() const override { return OfflineSound::kRate; }
  void Start(Render render, PlatformWindow) override { render_ = std::move(render); }

 private:
  AudioOutput::Render& render_;
};

// The graph posts its events nowhere: Mix asks for them after every pull.
constexpr PlatformWindow kNoSoundWindow = 1;

}  // namespace

OfflineSound::OfflineSound()
    : sound_([] { return SoundSettings{}; }, std::make_unique<PulledAudioOutput>(render_),
             MixerMediaGraphs(OpenMpegTrack, [](PlatformWindow) {}), nullptr) {
  sound_.CreateMediaGraph(kNoSoundWindow);
  sound_.OnDeviceReset(kNoSoundWindow);
}

void OfflineSound::Start(DS_SlideShow_Light& show) {
  show_ = &show;
  sound_.OnSceneLoaded(show);
}

void OfflineSound::Mix(float* out, size_t frames) {
  render_(out, frames);
  if (show_ == nullptr) return;
  for (long code = sound_.GetMediaEvent(); code != -1; code = sound_.GetMediaEvent()) sound_.OnMediaEvent(*show_, code);
}

}  // namespace lumi::tool
