#include "sound/mixed_scene_sound.h"

#include <stdexcept>

#include "archive/utf.h"
#include "scene/notices.h"
#include "scene/slide_show.h"
#include "sound/decibels.h"
#include "sound/sound_device.h"

namespace lumi {

MixedSceneSound::MixedSceneSound(SoundSettingsReader read_settings, std::unique_ptr<AudioOutput> output,
                                 MediaGraphMaker make_graph, std::function<void(const std::string&)> report)
    : read_settings_(std::move(read_settings)),
      mixer_(std::make_shared<Mixer>(output ? output->rate() : Mixer::kDefaultRate)),
      output_(std::move(output)),
      make_graph_(std::move(make_graph)),
      report_(std::move(report)) {}

MixedSceneSound::~MixedSceneSound() {
  if (CurrentSoundDevice().mixer == mixer_) CurrentSoundDevice() = {};
}

bool MixedSceneSound::CreateMediaGraph(PlatformWindow window) {
  wants_graph_ = true;
  notify_window_ = window;
  MakeGraph();
  return true;
}

void MixedSceneSound::MakeGraph() {
  graph_ = make_graph_(mixer_, notify_window_);
}

long MixedSceneSound::GetMediaEvent() { return graph_ ? graph_->GetEvent() : -1; }

void MixedSceneSound::OnDeviceReset(PlatformWindow main_window) {
  if (!output_) throw std::runtime_error("no audio output could be opened");
  if (!device_made_) {
    device_made_ = true;
    output_->Start([mixer = mixer_](float* out, size_t frames) { mixer->Mix(out, frames); }, main_window);
    CurrentSoundDevice() = {mixer_, make_graph_};
    mixer_->PlayMaster();
    return;
  }
  if (!device_lost_) return;
  device_lost_ = false;
  ApplyMasterVolume();
  mixer_->PlayMaster();
  if (wants_graph_ && !graph_) {
    MakeGraph();
    if (music_show_ != nullptr) {
      // A single track starts again; with more the list goes on.
      if (music_show_->tracks.size() == 1) track_cursors_[music_show_] = 0;
      PlayNextTrack(*music_show_, kMediaEventComplete);
    }
  }
}

void MixedSceneSound::OnDeviceLost() {
  if (!device_made_) return;
  device_lost_ = true;
  mixer_->StopMaster();
  if (graph_) {
    graph_->Stop();
    graph_.reset();
  }
}

void MixedSceneSound::OnSceneLoaded(DS_SlideShow_Light& show) {
  for (const auto& track : show.tracks) PrepareTrackFile(*track);
  track_cursors_[&show] = 0;
  PlayNextTrack(show, kMediaEventComplete);
  settings_ = read_settings_();
  ApplyMasterVolume();
}

void MixedSceneSound::OnSceneUnloading(DS_SlideShow_Light& show) {
  track_cursors_.erase(&show);
  if (music_show_ != &show) return;
  // Its tracks stop with it; the next document starts its own.
  if (graph_) graph_->Stop();
  music_show_ = nullptr;
}

void MixedSceneSound::OnMediaEvent(DS_SlideShow_Light& show, long code) { PlayNextTrack(show, code); }

void MixedSceneSound::PrepareTrackFile(DS_AudioFile& track) {
  if (track.file.bytes.empty()) return;
  std::error_code ec;
  if (std::filesystem::is_regular_file(StoredPath(track.file.name), ec)) {
    track.file.bytes.clear();
    return;
  }
  std::string error;
  std::unique_ptr<TempSoundFile> file = TempSoundFile::Write(track.file.bytes, track.file.name, error);
  if (!file) {
    AddNoticeOnce("background track " + ToUtf8(track.title) + ": " + error + "; it stays silent");
    return;
  }
  track.file.name = file->path().u16string();
  track_files_.push_back(std::move(file));
}

void MixedSceneSound::PlayNextTrack(DS_SlideShow_Light& show, long code) {
  if (code != kMediaEventComplete) return;
  size_t& cursor = track_cursors_[&show];
  if (cursor >= show.tracks.size()) {
    if (show.tracks.size() == 1) {
      if (graph_ && graph_->HasFile()) {
        graph_->RestartFile();
        Report(show, 0);
      }
      return;
    }
    cursor = 0;
  }
  if (show.tracks.empty()) return;
  // A track that cannot be played gives way to the next, once round the list
  // at most: otherwise no completion would ever come and the music would end.
  for (size_t tried = 1; !PlayTrack(show, cursor) && tried < show.tracks.size(); ++tried) {
    cursor = (cursor + 1) % show.tracks.size();
  }
  settings_ = read_settings_();
  ApplyGraphVolume();
  ++cursor;
}

bool MixedSceneSound::PlayTrack(DS_SlideShow_Light& show, size_t index) {
  if (!graph_) return true;
  music_show_ = &show;
  const DS_AudioFile& track = *show.tracks[index];
  std::string error;
  if (graph_->PlayFile(StoredPath(track.file.name), error)) {
    Report(show, index);
    return true;
  }
  AddNoticeOnce("background track " + ToUtf8(track.title) + ": " + error);
  return false;
}

void MixedSceneSound::Report(const DS_SlideShow_Light& show, size_t index) const {
  if (!report_) return;
  report_("background track " + std::to_string(index + 1) + " of " + std::to_string(show.tracks.size()) + " (" +
          ToUtf8(show.tracks[index]->title) + ") starts");
}

void MixedSceneSound::ApplyMasterVolume() {
  mixer_->SetMasterVolume(settings_.muted ? kSilentHundredths : (ClampPercent(settings_.volume) - 100) * 50);
}

void MixedSceneSound::ApplyGraphVolume() {
  if (graph_) graph_->SetVolume(settings_.muted ? kSilentHundredths : (ClampPercent(settings_.volume) - 100) * 40);
}

}  // namespace lumi
