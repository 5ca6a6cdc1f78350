// The document's sound mixed by our own mixer with no sound device and no
// clock: the slide sounds and background tracks move on only as samples are
// taken, so they keep step with frames however fast those are drawn.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>

#include "sound/audio_output.h"
#include "sound/mixed_scene_sound.h"

namespace lumi {
class DS_SlideShow_Light;
}

namespace lumi::tool {

class OfflineSound {
 public:
  static constexpr uint32_t kRate = 48000;

  // Makes our mixer the sound device: before the slides are prepared, so
  // their sound objects find it.
  OfflineSound();
  // The show's background tracks start, at the document's own volumes.
  void Start(DS_SlideShow_Light& show);
  // The next `frames` interleaved stereo frames; a finished background
  // track gives way to the next as it would in the saver.
  void Mix(float* out, size_t frames);

 private:
  AudioOutput::Render render_;
  MixedSceneSound sound_;
  DS_SlideShow_Light* show_ = nullptr;
};

}  // namespace lumi::tool
