// What the frame cycle asks of a window system: its monitors and the
// capabilities of the renderers behind them, the saver's windows, a device
// drawing into each, the cursor and the painting of the error box.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/saver_platform.h"

namespace lumi {

class GraphicsDevice;

// Left, top, right, bottom in desktop (or client) pixels.
struct WindowRect {
  std::int32_t left = 0, top = 0, right = 0, bottom = 0;
  std::int32_t Width() const { return right - left; }
  std::int32_t Height() const { return bottom - top; }
  bool operator==(const WindowRect&) const = default;
};

inline constexpr std::uint32_t kFormatX8R8G8B8 = 22;

struct DisplayModeAnswer {
  std::uint32_t width = 0, height = 0, format = kFormatX8R8G8B8;
  bool operator==(const DisplayModeAnswer&) const = default;
};

struct MonitorAnswer {
  std::u16string adapter_name;
  std::u16string monitor_name;
  WindowRect bounds;
  double refresh_hz = 0;  // 0 when unknown
};

// One renderer driving one monitor.
struct AdapterAnswer {
  int monitor = -1;  // index into the monitors, -1 for none
  std::u16string description;
  bool software = false;  // a software rasteriser rather than hardware
  std::array<std::uint8_t, 16> identifier{};
  DisplayModeAnswer desktop;
  std::vector<DisplayModeAnswer> modes;  // as the system lists them
};

enum class SaverWindowKind {
  FullScreen,  // borderless, topmost, at a monitor's bounds, cursor hidden
  Test,        // titled, fixed size, client area at the rectangle
  Child,       // inside a foreign window, following its size
};

struct SaverWindowRequest {
  SaverWindowKind kind = SaverWindowKind::Test;
  WindowRect rect;
  std::u16string title;
  PlatformWindow parent = 0;  // the foreign window of a child
};

class SaverDisplay {
 public:
  virtual ~SaverDisplay() = default;

  virtual std::vector<MonitorAnswer> Monitors() = 0;
  virtual std::vector<AdapterAnswer> Adapters() = 0;

  // 0 when the window cannot be made. Its events arrive as messages.
  virtual PlatformWindow CreateSaverWindow(const SaverWindowRequest& request) = 0;
  // The client area, from 0, 0; empty for a window that is gone.
  virtual WindowRect ClientRect(PlatformWindow window) = 0;
  // Where the window lies on the desktop (also for foreign windows).
  virtual WindowRect DesktopRect(PlatformWindow window) = 0;
  // Asks for a kMessagePaint of the window.
  virtual void InvalidateWindow(PlatformWindow window) = 0;

  // A device drawing into `window` at a back buffer of width x height,
  // scaled to the window on Present. Null with the reason in error.
  virtual std::unique_ptr<GraphicsDevice> CreateDevice(PlatformWindow window, std::uint32_t width,
                                                       std::uint32_t height, std::string& error) = 0;
  // Paints the window black around `box` (client pixels), fills the box
  // with the window colour, frames it and writes `text` word-wrapped and
  // centred in it. Only called while no device draws into the window.
  virtual void PaintErrorBox(PlatformWindow window, WindowRect box, std::u16string_view text) = 0;
  // Tells the system whether a full-screen saver runs (Windows holds back
  // its task-switching keys meanwhile); nothing where no system asks.
  virtual void AnnounceSaverRunning(bool) {}
};

}  // namespace lumi
