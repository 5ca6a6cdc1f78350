// The platform's audio output: a device opened before the loop starts (so
// that its thread keeps the priority the process started with), which pulls
// interleaved stereo float frames from one render function once started.
#pragma once

#include <cstdint>
#include <functional>

namespace lumi {

class AudioOutput {
 public:
  using Render = std::function<void(float* out, size_t frames)>;

  virtual ~AudioOutput() = default;
  virtual uint32_t rate() const = 0;
  // From now on the output's thread calls `render` for every period.
  virtual void Start(Render render) = 0;
};

}  // namespace lumi
