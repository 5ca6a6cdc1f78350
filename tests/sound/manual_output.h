// A scene sound over an output that the test pumps by hand, at 8,000 frames
// a second so that 8 kHz sounds pass sample for sample.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "sound/audio_output.h"
#include "sound/mixed_scene_sound.h"
#include "sound/mixer_media_graph.h"

namespace lumi::test {

class ManualOutput final : public AudioOutput {
 public:
  explicit ManualOutput(std::shared_ptr<Render> render) : render_(std::move(render)) {}
  uint32_t rate() const override { return 8000; }
  void Start(Render render, PlatformWindow /*main_window*/) override { *render_ = std::move(render); }

 private:
  std::shared_ptr<Render> render_;
};

// `with_graphs` false stands for a system without media graphs.
struct PumpedSound {
  explicit PumpedSound(bool with_graphs = true) {
    MediaGraphMaker graphs = [](const std::shared_ptr<Mixer>&, std::optional<PlatformWindow>) { return nullptr; };
    if (with_graphs) graphs = MixerMediaGraphs(nullptr, [this](PlatformWindow) { ++posts; });
    sound = std::make_unique<MixedSceneSound>([this] { return settings; }, std::make_unique<ManualOutput>(render),
                                              std::move(graphs),
                                              [this](const std::string& line) { reports.push_back(line); });
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
  std::vector<std::string> reports;  // the lines of track starts
  std::unique_ptr<MixedSceneSound> sound;
};

}  // namespace lumi::test
