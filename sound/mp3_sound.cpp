#include <cmath>

#include "archive/registry.h"
#include "archive/utf.h"
#include "scene/notices.h"
#include "sound/decibels.h"
#include "sound/sound_device.h"
#include "sound/sound_objects.h"

namespace lumi {

static const RegisterClass<DS_MP3_Constructor> kRegisterMp3(Family::General);

void DS_MP3_Constructor::Describe(Archive& ar) {
  ar.MemBlob("audio_file", audio_file);
  BaseRecordOf<DS_Sound_Ctrl>(ar, this);
}

void DS_MP3_Constructor::StartSound() {
  const SoundDevice& device = CurrentSoundDevice();
  if (device.mixer == nullptr || !device.make_graph) return;
  playback.graph = device.make_graph(device.mixer, std::nullopt);
  const std::string what = "MP3 sound " + ToUtf8(audio_file.name);
  if (!playback.graph) {
    AddNoticeOnce(what + ": the system has no media graph; it stays silent");
    return;
  }
  std::string error;
  std::filesystem::path path;
  if (audio_file.bytes.empty()) {
    // Played where it is: copying it first gains nothing.
    path = StoredPath(audio_file.name);
  } else {
    playback.file = TempSoundFile::Write(audio_file.bytes, audio_file.name, error);
    if (!playback.file) {
      AddNoticeOnce(what + ": " + error + "; it stays silent");
      return;
    }
    path = playback.file->path();
  }
  if (!playback.graph->Open(path, error)) {
    AddNoticeOnce(what + ": " + error + "; it stays silent");
    return;
  }
  SetLength(static_cast<int32_t>(std::trunc(playback.graph->DurationSeconds())) * 100);
}

void DS_MP3_Constructor::StopSound() {
  if (playback.graph) playback.graph->Stop();
}

void DS_MP3_Constructor::UpdateSound(double /*time*/) {
  if (!playback.graph || !playback.graph->HasFile()) return;
  const int state = TimelineState();
  if (!playback.graph->Running() && state == VRN_Timing::kOn) {
    playback.graph->RestartFile();
    playback.graph->SetVolume((ClampPercent(volume.value) - 100) * 40);
    playback.graph->SetBalance((ClampPercent(balance.value) - 50) * 80);
  }
  if (state == VRN_Timing::kOff) StopSound();
}

}  // namespace lumi
