// The saver's windows and render units and the one loop that draws them:
// frames for every unit, device resets, and the bouncing error box after a
// failure. It runs over the platform's message queue and a SaverDisplay,
// so every system shares it.
#pragma once

#include <chrono>
#include <memory>
#include <vector>

#include "host/device_choice.h"
#include "host/error_box.h"
#include "host/frame_timer.h"
#include "host/saver_parts.h"
#include "platform/saver_display.h"

namespace lumi {

class SceneSound;

struct FrameCycleOptions {
  // Frames per second at most; 0: the monitor's refresh rate, 60 if unknown.
  double fps = 0;
  // Lose every device after this many frames, as a display change does.
  std::uint32_t lose_device_every = 0;
  // Full screen drawn into this foreign window (as xscreensaver hands one
  // to each program per monitor) instead of windows of our own.
  PlatformWindow full_screen_window = 0;
  // The frame clock: the steady clock unless the platform has its own.
  FrameTimer timer;
};

class SaverFrameCycle : public SaverParts {
 public:
  // `display` is null where no mode draws (the configuration needs none).
  SaverFrameCycle(SaverPlatform& platform, SaverDisplay* display, SceneSound& sound, FrameCycleOptions options);
  ~SaverFrameCycle() override;

  void EnumerateMonitors() override;
  HResult CreateSaverWindows(CD3DScreensaver& host) override;
  HResult BuildDeviceList() override;
  bool HasUsableDevice() const override;
  void ReadScreenSettings(SaverSettings& settings) override;
  void CreateMediaGraph(WindowHandle notification_window) override;
  long GetMediaEvent() override;
  HResult RunSaverLoop(CD3DScreensaver& host) override;
  void Cleanup3D(CD3DScreensaver& host) override;
  void OnWindowResized(WindowHandle window) override;
  void PaintError(CD3DScreensaver& host, WindowHandle window) override;
  void FreeAdapters() override;

  // A drawing mode that could open no window: there was nothing to show.
  bool WindowsMissing() const { return windows_missing_; }

 private:
  struct Monitor {
    MonitorAnswer answer;
    int adapter = -1;
    PlatformWindow window = 0;
    ErrorBox box;
  };
  struct Adapter {
    AdapterAnswer answer;
    std::vector<DisplayModeAnswer> modes;
    UserMode user;
    bool disable_hardware = false;
    std::uint32_t quality = 0;  // the screen's "Quality"
    // Draws with the software rasteriser, by nature or by the user's choice.
    bool Software() const { return answer.software || disable_hardware; }
  };
  struct Unit {
    int adapter = -1;
    int monitor = -1;
    PlatformWindow window = 0;
    std::unique_ptr<GraphicsDevice> device;
    // A full-screen unit renders at its mode's height; 0 for a windowed
    // one, which renders at its window's size.
    std::uint32_t mode_height = 0;
    bool objects_created = false;
    bool objects_restored = false;
  };

  void Initialize3D(CD3DScreensaver& host);
  // False when no device could be made for the unit.
  bool CreateUnit(CD3DScreensaver& host, int adapter, int monitor, PlatformWindow window, std::uint32_t mode_height);
  // The best adapter's unit on monitor `m`, at lower modes while devices fail.
  void CreateFullscreenUnit(CD3DScreensaver& host, int adapter, std::size_t m);
  // The back buffer a unit renders: its window's size, or its mode's
  // height at its window's shape.
  std::pair<std::uint32_t, std::uint32_t> RenderSize(const Unit& unit) const;
  void SwitchToUnit(CD3DScreensaver& host, std::size_t index);
  void RenderFrame(CD3DScreensaver& host);
  void UpdateErrorBox(CD3DScreensaver& host);
  // The monitor a window shows on; -1 for none.
  int MonitorOfWindow(PlatformWindow window) const;
  std::chrono::steady_clock::duration FrameInterval() const;

  SaverPlatform& platform_;
  SaverDisplay* display_;
  SceneSound& sound_;
  FrameCycleOptions options_;
  std::vector<Monitor> monitors_;
  std::vector<Adapter> adapters_;
  std::vector<Unit> units_;
  // Where a mode found after a fallback is remembered; null for nowhere.
  SaverSettings* settings_ = nullptr;
  bool windows_missing_ = false;
  std::uint64_t frame_count_ = 0;
  std::optional<std::chrono::steady_clock::time_point> last_box_step_;
};

}  // namespace lumi
