#include "sound/sound_buffer.h"

#include <cmath>

#include "sound/decibels.h"

namespace lumi {

SoundBuffer::SoundBuffer(std::shared_ptr<Mixer> mixer, std::shared_ptr<const PcmSound> pcm)
    : mixer_(std::move(mixer)), pcm_(std::move(pcm)) {
  mixer_->Add(this);
}

SoundBuffer::~SoundBuffer() { mixer_->Remove(this); }

void SoundBuffer::Play(bool looping) {
  const auto lock = mixer_->Lock();
  playing_ = pcm_->frames() != 0;
  looping_ = looping;
}

void SoundBuffer::Stop() {
  const auto lock = mixer_->Lock();
  playing_ = false;
}

void SoundBuffer::Rewind() {
  const auto lock = mixer_->Lock();
  position_ = 0;
}

void SoundBuffer::SetVolume(int32_t hundredths) {
  const auto lock = mixer_->Lock();
  volume_ = hundredths;
}

void SoundBuffer::SetPan(int32_t hundredths) {
  const auto lock = mixer_->Lock();
  pan_ = hundredths;
}

bool SoundBuffer::Playing() const {
  const auto lock = mixer_->Lock();
  return playing_;
}

bool SoundBuffer::Looping() const {
  const auto lock = mixer_->Lock();
  return playing_ && looping_;
}

float SoundBuffer::SampleAt(size_t i, int c) const {
  const size_t frames = pcm_->frames();
  if (i >= frames) {
    if (!looping_) return 0.0f;
    i %= frames;
  }
  return pcm_->samples[i * pcm_->channels + (pcm_->channels == 2 ? c : 0)];
}

void SoundBuffer::MixInto(float* out, size_t frames, uint32_t output_rate, float gain) {
  if (!playing_) return;
  const StereoGain pan = PanGain(volume_, pan_);
  const double step = static_cast<double>(pcm_->rate) / output_rate;
  const double length = static_cast<double>(pcm_->frames());
  for (size_t f = 0; f < frames; ++f) {
    if (position_ >= length) {
      if (!looping_) {
        playing_ = false;
        position_ = 0;
        return;
      }
      position_ = std::fmod(position_, length);
    }
    const size_t i = static_cast<size_t>(position_);
    const float t = static_cast<float>(position_ - static_cast<double>(i));
    for (int c = 0; c < 2; ++c) {
      const float a = SampleAt(i, c), b = SampleAt(i + 1, c);
      out[2 * f + c] += (a + (b - a) * t) * gain * (c == 0 ? pan.left : pan.right);
    }
    position_ += step;
  }
}

}  // namespace lumi
