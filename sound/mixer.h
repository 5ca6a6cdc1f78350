// Our stand-in for the sound device: a master output whose volume applies to
// every sound buffer, and the voices mixed into it (sound buffers and the
// media graphs' streams). The output's own thread calls Mix; every other
// call comes from the loop. Both hold the one lock, briefly.
#pragma once

#include <cstdint>
#include <mutex>
#include <span>
#include <vector>

namespace lumi {

// One source of the mix. Its state is read and changed under the mixer's
// lock only.
class MixerVoice {
 public:
  virtual ~MixerVoice() = default;
  // Adds `frames` stereo frames at the output rate into `out`, scaled by
  // `gain`; the voice advances even when the gain is 0.
  virtual void MixInto(float* out, size_t frames, uint32_t output_rate, float gain) = 0;
  // Whether the master's volume and playing state apply to this voice.
  virtual bool UnderMaster() const { return true; }
};

class Mixer {
 public:
  static constexpr uint32_t kDefaultRate = 48000;

  explicit Mixer(uint32_t output_rate = kDefaultRate) : rate_(output_rate) {}
  Mixer(const Mixer&) = delete;
  Mixer& operator=(const Mixer&) = delete;

  uint32_t rate() const { return rate_; }

  // Fills `frames` interleaved stereo frames.
  void Mix(float* out, size_t frames);

  // The master, in hundredths of a decibel.
  void SetMasterVolume(int32_t hundredths);
  int32_t MasterVolume() const;
  void PlayMaster();
  void StopMaster();
  bool MasterPlaying() const;

  // Voices register while they exist.
  void Add(MixerVoice* voice);
  void Remove(MixerVoice* voice);
  std::unique_lock<std::mutex> Lock() const { return std::unique_lock(mutex_); }

 private:
  const uint32_t rate_;
  mutable std::mutex mutex_;
  std::vector<MixerVoice*> voices_;
  int32_t master_volume_ = 0;
  bool master_playing_ = false;
};

}  // namespace lumi
