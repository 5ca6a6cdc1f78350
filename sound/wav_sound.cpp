#include "archive/registry.h"
#include "archive/utf.h"
#include "params/param_archive.h"
#include "scene/notices.h"
#include "scene/resource_access.h"
#include "sound/decibels.h"
#include "sound/sound_device.h"
#include "sound/sound_objects.h"

namespace lumi {

static const RegisterClass<DS_WAV_Constructor> kRegisterWav(Family::General);

void DS_WAV_Constructor::Describe(Archive& ar) {
  LinkField(ar, "wave_file", wave_file);
  BaseRecordOf<DS_Sound_Ctrl>(ar, this);
}

void DS_WAV_Constructor::StartSound() {
  if (!sound_buffer) LoadWave();
  if (sound_buffer) {
    sound_buffer->SetVolume(ClampPercent(volume.value) * 50 - 5000);
    sound_buffer->SetPan(ClampPercent(balance.value) * 100 - 5000);
  }
  timing.flags |= kStartedFlags;
}

void DS_WAV_Constructor::LoadWave() {
  const ResourceAccess& access = DocumentResourceAccess();
  const std::shared_ptr<const std::vector<uint8_t>> bytes =
      access.file_bytes != nullptr ? access.file_bytes(wave_file.key) : nullptr;
  const std::string what = "WAV sound " + ToUtf8(wave_file.key.name);
  if (bytes == nullptr) {
    AddNoticeOnce(what + ": the document does not carry the file; it stays silent");
    return;
  }
  std::string error;
  const std::optional<WaveFile> wave = ParseWave(*bytes, error);
  if (!wave) {
    AddNoticeOnce(what + ": " + error + "; it stays silent");
    return;
  }
  SetLength(WaveLengthHundredths(*wave));
  if (const std::shared_ptr<Mixer>& mixer = CurrentSoundDevice().mixer) {
    sound_buffer = std::make_shared<SoundBuffer>(mixer, std::make_shared<const PcmSound>(DecodePcm(*wave)));
  }
}

void DS_WAV_Constructor::StopSound() {
  if (sound_buffer) sound_buffer->Stop();
}

void DS_WAV_Constructor::UpdateSound(double /*time*/) {
  if (!sound_buffer) return;
  const int state = TimelineState();
  if (!sound_buffer->Playing() && state == VRN_Timing::kOn) {
    sound_buffer->Rewind();
    sound_buffer->Play(timing.value == VRN_SmartTiming::kContinuous);
  } else if (sound_buffer->Looping() && state == VRN_Timing::kOff) {
    sound_buffer->Stop();
  }
}

}  // namespace lumi
