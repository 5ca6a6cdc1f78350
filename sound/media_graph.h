// The media graph that plays a sound file: from its start, rewound and run
// again, stopped; it reports completion as event 1, its position and
// duration, and applies volume and balance in hundredths of a decibel.
// Every state query answers at once, so the loop never waits for it. Each
// system has its own (our mixer's voice, DirectShow), made by the sound
// device.
#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "platform/saver_platform.h"

namespace lumi {

class Mixer;

inline constexpr long kGraphEventComplete = 1;

class MediaGraph {
 public:
  virtual ~MediaGraph() = default;

  // Makes `path` the current file, stopped at its start; false with `error`
  // set when it cannot be played, leaving the graph without a file.
  virtual bool Open(const std::filesystem::path& path, std::string& error) = 0;
  // Rewinds the current file and runs; nothing without one.
  virtual void RestartFile() = 0;
  virtual void Stop() = 0;
  // Running and not yet at the end of the file.
  virtual bool Running() = 0;
  virtual bool HasFile() const = 0;

  virtual void SetVolume(int32_t hundredths) = 0;
  virtual void SetBalance(int32_t hundredths) = 0;
  virtual int32_t Volume() const = 0;
  virtual double DurationSeconds() const = 0;
  virtual double PositionSeconds() const = 0;
  // The oldest pending event code, or -1.
  virtual long GetEvent() = 0;

  // Opens `path` and runs it from its start.
  bool PlayFile(const std::filesystem::path& path, std::string& error) {
    if (!Open(path, error)) return false;
    RestartFile();
    return true;
  }
};

// Makes a graph on the sound device whose master is `mixer`'s. The
// background music's graph names the window it posts kMessageMediaEvent to
// whenever it has an event, and plays beside the master; a sound object's
// graph (no window) posts nothing and plays under the master, so that the
// user's volume and mute reach it as they reach WAVs.
using MediaGraphMaker = std::function<std::unique_ptr<MediaGraph>(const std::shared_ptr<Mixer>& mixer,
                                                                  std::optional<PlatformWindow> music_window)>;

}  // namespace lumi
