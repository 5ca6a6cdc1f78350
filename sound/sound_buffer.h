// A secondary sound buffer: decoded samples played once or looped through
// the mixer at its own volume and pan (hundredths of a decibel), resampled
// to the output rate. A loop joins its end to its start without a click.
#pragma once

#include <cstdint>
#include <memory>

#include "sound/mixer.h"
#include "sound/wave_file.h"

namespace lumi {

class SoundBuffer final : public MixerVoice {
 public:
  SoundBuffer(std::shared_ptr<Mixer> mixer, std::shared_ptr<const PcmSound> pcm);
  ~SoundBuffer() override;
  SoundBuffer(const SoundBuffer&) = delete;
  SoundBuffer& operator=(const SoundBuffer&) = delete;

  void Play(bool looping);
  void Stop();
  void Rewind();
  void SetVolume(int32_t hundredths);
  void SetPan(int32_t hundredths);
  bool Playing() const;
  bool Looping() const;

  void MixInto(float* out, size_t frames, uint32_t output_rate, float gain) override;

 private:
  // Source sample of channel c at frame i; past the end the loop's start,
  // or silence for a sound played once.
  float SampleAt(size_t i, int c) const;

  const std::shared_ptr<Mixer> mixer_;
  const std::shared_ptr<const PcmSound> pcm_;
  double position_ = 0;  // in source frames
  int32_t volume_ = 0, pan_ = 0;
  bool playing_ = false, looping_ = false;
};

}  // namespace lumi
