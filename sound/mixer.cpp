#include "sound/mixer.h"

#include <algorithm>

#include "sound/decibels.h"

namespace lumi {

void Mixer::Mix(float* out, size_t frames) {
  std::fill(out, out + frames * 2, 0.0f);
  const std::lock_guard lock(mutex_);
  const float master = master_playing_ ? GainOfHundredths(master_volume_) : 0.0f;
  for (MixerVoice* voice : voices_) voice->MixInto(out, frames, rate_, voice->UnderMaster() ? master : 1.0f);
}

void Mixer::SetMasterVolume(int32_t hundredths) {
  const std::lock_guard lock(mutex_);
  master_volume_ = std::clamp(hundredths, kSilentHundredths, 0);
}

int32_t Mixer::MasterVolume() const {
  const std::lock_guard lock(mutex_);
  return master_volume_;
}

void Mixer::PlayMaster() {
  const std::lock_guard lock(mutex_);
  master_playing_ = true;
}

void Mixer::StopMaster() {
  const std::lock_guard lock(mutex_);
  master_playing_ = false;
}

bool Mixer::MasterPlaying() const {
  const std::lock_guard lock(mutex_);
  return master_playing_;
}

void Mixer::Add(MixerVoice* voice) {
  const std::lock_guard lock(mutex_);
  voices_.push_back(voice);
}

void Mixer::Remove(MixerVoice* voice) {
  const std::lock_guard lock(mutex_);
  std::erase(voices_, voice);
}

}  // namespace lumi
