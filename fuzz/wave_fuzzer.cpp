// Feeds arbitrary bytes to the WAVE reader. A file must either read or be
// refused with a reason; one that reads holds only whole frames of its own
// bytes, its samples lie within -1 and 1, and its length is not negative.
#include <cstdint>
#include <cstdlib>

#include "sound/wave_file.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string error;
  const auto wave = lumi::ParseWave({data, size}, error);
  if (!wave) {
    if (error.empty()) std::abort();
    return 0;
  }
  if (wave->data.data() < data || wave->data.data() + wave->data.size() > data + size) std::abort();
  if (lumi::WaveLengthHundredths(*wave) < 0) std::abort();
  const lumi::PcmSound pcm = lumi::DecodePcm(*wave);
  if (pcm.samples.size() % pcm.channels != 0 || pcm.rate == 0) std::abort();
  for (float s : pcm.samples) {
    if (!(s >= -1.0f && s <= 1.0f)) std::abort();
  }
  return 0;
}
