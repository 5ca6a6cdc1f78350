// A scene sound over an output that the test pumps by hand, at 8,000 frames
// a second so that 8 kHz sounds pass sample for sample.
#pragma once

#include <memory>
#include <vector>

#include "sound/audio_output.h"
#include "sound/mixed_scene_sound.h"

namespace lumi::test {

class ManualOutput final : public AudioOutput {
 public:
  explicit ManualOutput(std::shared_ptr<Render> render) : render_(std::move(render)) {}
  uint32_t rate() const override { return 8000; }
  void Start(Render render) override { *render_ = std::move(render); }

 private:
  std::shared_ptr<Render> render_;
};

struct PumpedSound {
  PumpedSound() {
    sound = std::make_unique<MixedSceneSound>([this] { return settings; }, std::make_unique<ManualOutput>(render),
                                              nullptr, [this](PlatformWindow) { ++posts; });
  }
  // Interleaved stereo frames from the mixer.
  std::vector<float> Pump(size_t frames) {
    std::vector<float> out(frames * 2);
    (*render)(out.data(), frames);
    return out;
  }

  std::shared_ptr<AudioOutput::Render> render = std::make_shared<AudioOutput::Render>();
  SoundSettings settings;
  int posts = 0;
  std::unique_ptr<MixedSceneSound> sound;
};

}  // namespace lumi::test
