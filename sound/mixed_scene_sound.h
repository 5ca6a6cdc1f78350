// The scene host's sound on our mixer: the sound device made at the first
// device reset, the process's media graph for the background tracks, each
// document's track cursor, and the user's volume and mute.
//
// Unlike the device-loss handling it replaces, a reset after a loss starts
// the master again at the stored volume (or muted), and makes the graph
// again and goes on with the next track, so music survives a resize of the
// window it plays for.
#pragma once

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "sound/audio_output.h"
#include "sound/media_graph.h"
#include "sound/mixer.h"
#include "sound/scene_sound.h"
#include "sound/temp_sound_file.h"

namespace lumi {

class DS_AudioFile;

class MixedSceneSound final : public SceneSound {
 public:
  // Without an output there is no sound device: OnDeviceReset throws.
  // `make_graph` makes the platform's media graphs; `report` (if any) gets a
  // line each time a background track starts.
  MixedSceneSound(SoundSettingsReader read_settings, std::unique_ptr<AudioOutput> output, MediaGraphMaker make_graph,
                  std::function<void(const std::string&)> report);
  ~MixedSceneSound() override;

  bool CreateMediaGraph(PlatformWindow window) override;
  long GetMediaEvent() override;
  void OnDeviceReset(PlatformWindow main_window) override;
  void OnDeviceLost() override;
  void OnSceneLoaded(DS_SlideShow_Light& show) override;
  void OnSceneUnloading(DS_SlideShow_Light& show) override;
  void OnMediaEvent(DS_SlideShow_Light& show, long code) override;

  const Mixer& mixer() const { return *mixer_; }
  MediaGraph* graph() const { return graph_.get(); }

 private:
  // Writes a track's bytes to a file of its own unless its stored path names
  // a file on disk; its name becomes the path to play.
  void PrepareTrackFile(DS_AudioFile& track);
  void PlayNextTrack(DS_SlideShow_Light& show, long code);
  // Plays track `index` through the graph, if there is one; false when it
  // cannot.
  bool PlayTrack(DS_SlideShow_Light& show, size_t index);
  // Tells the report that track `index` has started.
  void Report(const DS_SlideShow_Light& show, size_t index) const;
  // The graph, posting its events to notify_window_.
  void MakeGraph();
  void ApplyMasterVolume();
  void ApplyGraphVolume();

  const SoundSettingsReader read_settings_;
  const std::shared_ptr<Mixer> mixer_;
  const std::unique_ptr<AudioOutput> output_;
  const MediaGraphMaker make_graph_;
  const std::function<void(const std::string&)> report_;
  PlatformWindow notify_window_ = 0;
  SoundSettings settings_;  // as last read
  bool device_made_ = false;
  bool device_lost_ = false;
  bool wants_graph_ = false;
  std::vector<std::unique_ptr<TempSoundFile>> track_files_;
  std::unique_ptr<MediaGraph> graph_;  // reads the track files: goes first
  std::map<const DS_SlideShow_Light*, size_t> track_cursors_;
  DS_SlideShow_Light* music_show_ = nullptr;  // whose tracks the graph plays
};

}  // namespace lumi
