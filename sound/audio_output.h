// The platform's audio output: a device opened before the loop starts (so
// that its thread keeps the priority the process started with), which pulls
// interleaved stereo float frames from one render function once started
// for the saver's main window.
#pragma once

#include <cstdint>
#include <functional>

#include "platform/saver_platform.h"

namespace lumi {

class AudioOutput {
 public:
  using Render = std::function<void(float* out, size_t frames)>;

  virtual ~AudioOutput() = default;
  virtual uint32_t rate() const = 0;
  // From now on the output's thread calls `render` for every period.
  virtual void Start(Render render, PlatformWindow main_window) = 0;
};

}  // namespace lumi
