#include "sound/decibels.h"

#include <algorithm>
#include <cmath>

namespace lumi {

float GainOfHundredths(int32_t hundredths) {
  if (hundredths <= kSilentHundredths) return 0.0f;
  return static_cast<float>(std::pow(10.0, std::min(hundredths, 0) / 2000.0));
}

StereoGain PanGain(int32_t volume, int32_t pan) {
  volume = std::clamp(volume, kSilentHundredths, 0);
  pan = std::clamp(pan, -10000, 10000);
  // In 64 bits: a volume and a pan at their limits reach -20000.
  const int64_t left = static_cast<int64_t>(volume) - std::max(pan, 0);
  const int64_t right = static_cast<int64_t>(volume) + std::min(pan, 0);
  return {GainOfHundredths(static_cast<int32_t>(std::max<int64_t>(left, kSilentHundredths))),
          GainOfHundredths(static_cast<int32_t>(std::max<int64_t>(right, kSilentHundredths)))};
}

int32_t UnderMaster(int32_t own, int32_t master, bool master_playing) {
  if (!master_playing) return kSilentHundredths;
  const int64_t sum =
      static_cast<int64_t>(std::clamp(own, kSilentHundredths, 0)) + std::clamp(master, kSilentHundredths, 0);
  return static_cast<int32_t>(std::max<int64_t>(sum, kSilentHundredths));
}

}  // namespace lumi
