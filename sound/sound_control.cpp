#include "archive/registry.h"
#include "params/param_archive.h"
#include "sound/sound_objects.h"
#include "timing/continues_timeline.h"
#include "timing/random_timeline.h"

namespace lumi {

static const RegisterClass<DS_WAV_Constructor> kRegisterWav(Family::General);

void DS_Sound_Ctrl::Describe(Archive& ar) {
  const int v = ar.version();
  UIntField(ar, "volume", volume, Apply::Direct);
  UIntField(ar, "balance", balance, Apply::Direct);
  int32_t kind = 0;
  uint32_t first_duration = 0, second_duration = 0;  // whole seconds
  if (v < 3) {
    ar.Long("timeline_kind", kind);
    ar.UInt("first_duration", first_duration);
    ar.UInt("second_duration", second_duration);
  }
  BaseRecordOf<DS_ABObj_Constructor>(ar, this);
  if (v >= 3) return;
  timing.value = kind;
  if (kind == VRN_SmartTiming::kContinuous) {
    timing.SetTimeline(std::make_shared<VRN_ContinuesTimeLine>());
  } else if (kind == VRN_SmartTiming::kRandom) {
    auto random = std::make_shared<VRN_RandomTimeLine>();
    random->off_min.Set(first_duration * 100);
    random->off_max.Set(second_duration * 100);
    timing.SetTimeline(std::move(random));
  }
}

void DS_WAV_Constructor::Describe(Archive& ar) {
  LinkField(ar, "wave_file", wave_file);
  BaseRecordOf<DS_Sound_Ctrl>(ar, this);
}

}  // namespace lumi
