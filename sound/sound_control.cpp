#include <algorithm>

#include "archive/registry.h"
#include "params/param_archive.h"
#include "sound/sound_objects.h"
#include "timing/continues_timeline.h"
#include "timing/random_timeline.h"

namespace lumi {


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

bool DS_Sound_Ctrl::CopyTo(VRN_RenderObjData& other, int /*unused*/) {
  if (auto* random = dynamic_cast<VRN_RandomTimeLine*>(&other.timing.current())) {
    const unsigned int length = static_cast<unsigned int>(std::max(length_hundredths, 0));
    random->on_min.Set(length);
    random->on_max.Set(length);
  }
  return false;
}

std::unique_ptr<VRN_RenderObj> DS_Sound_Ctrl::CreateRenderObject() const {
  std::unique_ptr<DS_Sound_Ctrl> player = CloneSound();
  DS_Sound_Ctrl& started = *player;
  auto sound = std::make_unique<DS_Sound>(std::move(player));
  started.StartSound();
  return sound;
}

void DS_Sound_Ctrl::SetLength(int32_t hundredths) {
  length_hundredths = hundredths;
  timing.default_fade_in = 0;
  timing.default_on = static_cast<float>(hundredths) * 0.01f;
  timing.default_fade_out = 0;
}

DS_Sound::DS_Sound(std::unique_ptr<DS_Sound_Ctrl> player) : DS_ABObj(std::move(player)), player_(static_cast<DS_Sound_Ctrl&>(settings())) {}

void DS_Sound::SetEnabled(bool flag) {
  if (!flag) player_.StopSound();
  enabled = flag;
}

void DS_Sound::FrameMove(double local_time) {
  if (enabled) player_.UpdateSound(local_time);
}

}  // namespace lumi
