// The Sound Settings dialog without a toolkit: a vertical volume scale with
// the loudest end at the top (so its position is 100 - volume) and a mute
// box. OK writes both at once; Cancel writes nothing.
#pragma once

#include <cstdint>

#include "host/saver_settings.h"

namespace lumi {

inline constexpr int kControlVolume = 1021;
inline constexpr int kControlMute = 1022;
inline constexpr int kVolumeTickFrequency = 10;

class SoundSettingsModel {
 public:
  // Reads the stored volume and mute.
  explicit SoundSettingsModel(SaverSettings& settings);

  // 0 (top, loudest) to 100.
  std::uint32_t ScalePosition() const { return kMaxSoundVolume - volume_; }
  std::uint32_t Volume() const { return volume_; }
  bool Muted() const { return muted_; }

  // Positions beyond the scale's ends are taken as its ends.
  void SetScalePosition(int position);
  void SetMuted(bool muted) { muted_ = muted; }
  void Ok();

 private:
  SaverSettings& settings_;
  std::uint32_t volume_;
  bool muted_;
};

}  // namespace lumi
