// Attenuations in hundredths of a decibel, as sound buffers take them:
// 0 leaves a sound as it is, -10000 silences it. Pan attenuates the far
// side only: a positive pan lowers the left channel, a negative the right.
#pragma once

#include <cstdint>

namespace lumi {

inline constexpr int32_t kSilentHundredths = -10000;

struct StereoGain {
  float left = 1, right = 1;
};

// Linear gain of an attenuation; -10000 and below are silence.
float GainOfHundredths(int32_t hundredths);
// Gains of a volume and a pan, each clamped to its range.
StereoGain PanGain(int32_t volume, int32_t pan);

// The attenuation of a sound played under the master (volume `master`,
// silent while stopped) on an output of its own, such as a media graph of
// the system's: the two attenuations add up, down to silence.
int32_t UnderMaster(int32_t own, int32_t master, bool master_playing);

// The document's 0 ... 100 settings; values outside are clamped, since a
// positive attenuation would amplify.
inline int32_t ClampPercent(uint32_t percent) { return percent > 100 ? 100 : static_cast<int32_t>(percent); }

}  // namespace lumi
