// Our stand-in for the media graph that plays a sound file: from its start,
// rewound and run again, stopped; it reports completion as event 1, its
// position and duration, and applies volume and balance in hundredths of a
// decibel. Files are opened on the caller's thread; decoding happens on the
// output's thread as the mixer pulls, so the loop never waits for it, and
// every state query answers at once. The master does not apply.
#pragma once

#include <cstdint>
#include <deque>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "sound/mixer.h"
#include "sound/track_decoder.h"

namespace lumi {

inline constexpr long kGraphEventComplete = 1;

class MediaGraph final : public MixerVoice {
 public:
  // `notify` is called from the output's thread when an event is queued.
  // The host's graph plays beside the master; a scene object's plays under
  // it, so that the user's volume and mute reach it as they reach WAVs.
  MediaGraph(std::shared_ptr<Mixer> mixer, TrackOpener open, std::function<void()> notify, bool under_master);
  ~MediaGraph() override;
  MediaGraph(const MediaGraph&) = delete;
  MediaGraph& operator=(const MediaGraph&) = delete;

  // Makes `path` the current file, stopped; false with `error` set when it
  // cannot be opened, leaving the graph without a file.
  bool Open(const std::filesystem::path& path, std::string& error);
  // Opens `path` and runs it from its start.
  bool PlayFile(const std::filesystem::path& path, std::string& error);
  // Rewinds the current file and runs; nothing without one.
  void RestartFile();
  void Stop();
  bool Running() const;
  bool HasFile() const;

  void SetVolume(int32_t hundredths);
  void SetBalance(int32_t hundredths);
  int32_t Volume() const;
  double DurationSeconds() const;
  double PositionSeconds() const;
  // The oldest queued event code, or -1.
  long GetEvent();

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

}  // namespace lumi
