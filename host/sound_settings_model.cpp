#include "host/sound_settings_model.h"

#include <algorithm>

namespace lumi {

SoundSettingsModel::SoundSettingsModel(SaverSettings& settings) : settings_(settings) {
  const SoundSettings sound = settings.Sound();
  volume_ = sound.volume;
  muted_ = sound.muted;
}

void SoundSettingsModel::SetScalePosition(int position) {
  volume_ = kMaxSoundVolume - static_cast<std::uint32_t>(std::clamp(position, 0, static_cast<int>(kMaxSoundVolume)));
}

void SoundSettingsModel::Ok() {
  settings_.WriteSoundVolume(volume_);
  settings_.WriteMuteSound(muted_);
}

}  // namespace lumi
