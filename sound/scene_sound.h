// What the scene host asks of sound: the sound device and its primary buffer,
// made again at every device reset, and the media graph that plays the
// document's background tracks one after another. The sound subsystem
// implements it; SilentSceneSound stands in where there is no sound.
#pragma once

#include <cstdint>
#include <functional>

#include "platform/saver_platform.h"

namespace lumi {

class DS_SlideShow_Light;

// The media graph's notification to the main window: fetch its events.
inline constexpr std::uint32_t kMessageMediaEvent = 0x8000;
// The media graph's event code for "playback complete".
inline constexpr long kMediaEventComplete = 1;

// The stored sound settings, as the scene host's settings store reads them.
struct SoundSettings {
  std::uint32_t volume = 100;  // percent
  std::uint32_t balance = 50;  // 0 left, 50 centre, 100 right
  bool muted = false;
};
using SoundSettingsReader = std::function<SoundSettings()>;

class SceneSound {
 public:
  virtual ~SceneSound() = default;

  // Makes the media graph, which posts kMessageMediaEvent to `window` (from
  // any thread) whenever it has an event. False when it cannot be made.
  virtual bool CreateMediaGraph(PlatformWindow window) = 0;
  // One pending event code of the media graph; -1 when there is none.
  virtual long GetMediaEvent() = 0;

  // After each device creation or reset. Throws when the sound device cannot
  // be made; the host then shows "Could not load required media.".
  virtual void OnDeviceReset(PlatformWindow main_window) = 0;
  // Before a device reset: every sound stops.
  virtual void OnDeviceLost() = 0;

  // A unit's document has loaded: its tracks are prepared, the first starts
  // and the stored volume applies.
  virtual void OnSceneLoaded(DS_SlideShow_Light& show) = 0;
  // A unit's document is about to go, for the next one: nothing of it may
  // be played or held on to afterwards.
  virtual void OnSceneUnloading(DS_SlideShow_Light& show) = 0;
  // An event of the media graph while `show` is the current unit's document.
  virtual void OnMediaEvent(DS_SlideShow_Light& show, long code) = 0;
};

class SilentSceneSound final : public SceneSound {
 public:
  bool CreateMediaGraph(PlatformWindow) override { return false; }
  long GetMediaEvent() override { return -1; }
  void OnDeviceReset(PlatformWindow) override {}
  void OnDeviceLost() override {}
  void OnSceneLoaded(DS_SlideShow_Light&) override {}
  void OnSceneUnloading(DS_SlideShow_Light&) override {}
  void OnMediaEvent(DS_SlideShow_Light&, long) override {}
};

}  // namespace lumi
