// The media graph as a voice of our mixer. Files are opened on the caller's
// thread; decoding happens on the output's thread as the mixer pulls, so
// the loop never waits for it.
#pragma once

#include <cstdint>
#include <deque>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "sound/media_graph.h"
#include "sound/mixer.h"
#include "sound/track_decoder.h"

namespace lumi {

class MixerMediaGraph final : public MediaGraph, public MixerVoice {
 public:
  // `notify` is called from the output's thread when an event is queued.
  // The host's graph plays beside the master; a scene object's plays under
  // it, so that the user's volume and mute reach it as they reach WAVs.
  MixerMediaGraph(std::shared_ptr<Mixer> mixer, TrackOpener open, std::function<void()> notify, bool under_master);
  ~MixerMediaGraph() override;
  MixerMediaGraph(const MixerMediaGraph&) = delete;
  MixerMediaGraph& operator=(const MixerMediaGraph&) = delete;

  bool Open(const std::filesystem::path& path, std::string& error) override;
  void RestartFile() override;
  void Stop() override;
  bool Running() override;
  bool HasFile() const override;

  void SetVolume(int32_t hundredths) override;
  void SetBalance(int32_t hundredths) override;
  int32_t Volume() const override;
  double DurationSeconds() const override;
  double PositionSeconds() const override;
  long GetEvent() override;

  bool UnderMaster() const override { return under_master_; }
  void MixInto(float* out, size_t frames, uint32_t output_rate, float gain) override;

 private:
  // Decodes until the window holds frame `index`; false at the end.
  bool Fill(size_t index);
  void ResetWindow();

  const std::shared_ptr<Mixer> mixer_;
  const TrackOpener open_;
  const std::function<void()> notify_;
  const bool under_master_;
  // Everything below is shared with the output's thread: under the lock.
  std::unique_ptr<TrackDecoder> decoder_;
  std::vector<float> window_;  // stereo frames decoded and not yet passed
  std::vector<float> scratch_;
  double cursor_ = 0;          // in source frames, from the window's start
  uint64_t passed_frames_ = 0;  // source frames dropped from the window
  bool decoder_done_ = false;
  bool running_ = false;
  int32_t volume_ = 0, balance_ = 0;
  std::deque<long> events_;
};

// Graphs on our mixer: compressed files through `open_compressed`, the
// music's events posted through `post_media_event`.
MediaGraphMaker MixerMediaGraphs(TrackOpener open_compressed, std::function<void(PlatformWindow)> post_media_event);

}  // namespace lumi
