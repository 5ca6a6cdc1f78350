// A window system of recorded answers: monitors, adapters and windows as
// numbers, and devices that draw nowhere, refused above a height as a
// driver that cannot make a large back buffer refuses them.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "platform/saver_display.h"
#include "render/recording_device.h"

namespace lumi::test {

class FakeDisplay : public SaverDisplay {
 public:
  std::vector<MonitorAnswer> monitors;
  std::vector<AdapterAnswer> adapters;
  std::uint32_t max_device_height = 100000;
  // The heights devices were asked for, in order.
  std::vector<std::uint32_t> device_heights;
  std::vector<SaverWindowRequest> windows;
  int paints = 0;
  // What the system was told of a running saver, in order.
  std::vector<bool> announcements;

  std::vector<MonitorAnswer> Monitors() override { return monitors; }
  std::vector<AdapterAnswer> Adapters() override { return adapters; }
  PlatformWindow CreateSaverWindow(const SaverWindowRequest& request) override {
    windows.push_back(request);
    return static_cast<PlatformWindow>(windows.size());
  }
  WindowRect ClientRect(PlatformWindow window) override {
    if (window < 1 || static_cast<std::size_t>(window) > windows.size()) return {};
    const WindowRect& r = windows[static_cast<std::size_t>(window) - 1].rect;
    return {0, 0, r.Width(), r.Height()};
  }
  WindowRect DesktopRect(PlatformWindow window) override {
    if (window < 1 || static_cast<std::size_t>(window) > windows.size()) return {};
    return windows[static_cast<std::size_t>(window) - 1].rect;
  }
  void InvalidateWindow(PlatformWindow) override {}
  std::unique_ptr<GraphicsDevice> CreateDevice(PlatformWindow, std::uint32_t width, std::uint32_t height,
                                               std::string& error) override {
    device_heights.push_back(height);
    if (height > max_device_height) {
      error = "back buffer too large";
      return nullptr;
    }
    return std::make_unique<RecordingDevice>(width, height);
  }
  void PaintErrorBox(PlatformWindow, WindowRect, std::u16string_view) override { ++paints; }
  void AnnounceSaverRunning(bool running) override { announcements.push_back(running); }
};

}  // namespace lumi::test
