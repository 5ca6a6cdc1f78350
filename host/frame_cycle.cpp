#include "host/frame_cycle.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "archive/utf.h"
#include "host/saver_settings.h"
#include "host/screensaver.h"
#include "host/string_table.h"
#include "render/device.h"
#include "sound/scene_sound.h"

namespace lumi {
namespace {

using Clock = std::chrono::steady_clock;

// The error box moves smoothly enough at this rate and costs next to nothing.
constexpr Clock::duration kErrorBoxInterval = std::chrono::milliseconds(50);
constexpr double kDefaultFramesPerSecond = 60;

bool Contains(const WindowRect& rect, std::int32_t x, std::int32_t y) {
  return x >= rect.left && x < rect.right && y >= rect.top && y < rect.bottom;
}

}  // namespace

SaverFrameCycle::SaverFrameCycle(SaverPlatform& platform, SaverDisplay* display, SceneSound& sound,
                                 FrameCycleOptions options)
    : platform_(platform), display_(display), sound_(sound), options_(std::move(options)) {}

// Devices go before the windows they draw into.
SaverFrameCycle::~SaverFrameCycle() = default;

void SaverFrameCycle::EnumerateMonitors() {
  monitors_.clear();
  if (display_ == nullptr) return;
  for (MonitorAnswer& answer : display_->Monitors()) {
    if (monitors_.size() == kMaxMonitors) break;
    monitors_.push_back(Monitor{std::move(answer)});
  }
}

HResult SaverFrameCycle::CreateSaverWindows(CD3DScreensaver& host) {
  if (display_ == nullptr) return kErrorUnspecified;
  auto create = [&](SaverWindowKind kind, WindowRect rect, PlatformWindow parent) {
    return display_->CreateSaverWindow({kind, rect, host.window_title_, parent});
  };
  if (host.mode_ == ModeFull && options_.full_screen_window == 0) {
    for (Monitor& monitor : monitors_) {
      monitor.window = create(SaverWindowKind::FullScreen, monitor.answer.bounds, 0);
      if (monitor.window == 0) return kErrorUnspecified;
      if (host.main_window_ == 0) host.main_window_ = monitor.window;
    }
    return host.main_window_ != 0 ? kSuccess : kErrorUnspecified;
  }
  PlatformWindow window = 0;
  if (host.mode_ == ModeTest) {
    window = create(SaverWindowKind::Test, {50, 50, 650, 450}, 0);
  } else {
    const PlatformWindow parent = host.mode_ == ModePreview ? host.parent_window_ : options_.full_screen_window;
    if (parent != 0) window = create(SaverWindowKind::Child, {}, parent);
  }
  if (window == 0) return kErrorUnspecified;
  host.main_window_ = window;
  if (monitors_.empty()) monitors_.push_back(Monitor{});
  // A preview or test window keeps its box in the first record; a foreign
  // full-screen window belongs to the monitor it lies on.
  int monitor = 0;
  if (host.mode_ == ModeFull) {
    const WindowRect rect = display_->DesktopRect(window);
    const int found = [&] {
      for (std::size_t i = 0; i < monitors_.size(); ++i) {
        if (Contains(monitors_[i].answer.bounds, (rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2)) {
          return static_cast<int>(i);
        }
      }
      return 0;
    }();
    monitor = found;
  }
  monitors_[static_cast<std::size_t>(monitor)].window = window;
  return kSuccess;
}

HResult SaverFrameCycle::BuildDeviceList() {
  adapters_.clear();
  if (display_ == nullptr) return kSuccess;
  for (AdapterAnswer& answer : display_->Adapters()) {
    if (adapters_.size() == kMaxAdapters) break;
    Adapter adapter{std::move(answer)};
    adapter.modes = ListUsableModes(adapter.answer.modes);
    const int monitor = adapter.answer.monitor;
    if (monitor >= 0 && static_cast<std::size_t>(monitor) < monitors_.size()) {
      monitors_[static_cast<std::size_t>(monitor)].adapter = static_cast<int>(adapters_.size());
    }
    adapters_.push_back(std::move(adapter));
  }
  return kSuccess;
}

bool SaverFrameCycle::HasUsableDevice() const {
  // Without a display there is nothing to draw and so nothing to refuse.
  if (display_ == nullptr) return true;
  return std::any_of(adapters_.begin(), adapters_.end(), [](const Adapter& a) { return !a.modes.empty(); });
}

void SaverFrameCycle::ReadScreenSettings(SaverSettings& settings) {
  settings_ = &settings;
  for (std::size_t m = 0; m < monitors_.size(); ++m) {
    const int index = monitors_[m].adapter;
    if (index < 0) continue;
    Adapter& adapter = adapters_[static_cast<std::size_t>(index)];
    const ScreenSettings screen = settings.Screen(static_cast<int>(m), adapter.answer.identifier);
    // "Leave Black" is read but one screen draws anyway: the best one.
    adapter.disable_hardware = screen.disable_hardware;
    adapter.quality = screen.quality;
    adapter.user = {screen.width, screen.height, screen.format};
  }
}

void SaverFrameCycle::CreateMediaGraph(WindowHandle notification_window) {
  sound_.CreateMediaGraph(notification_window);
}

long SaverFrameCycle::GetMediaEvent() { return sound_.GetMediaEvent(); }

void SaverFrameCycle::FreeAdapters() { adapters_.clear(); }

int SaverFrameCycle::MonitorOfWindow(PlatformWindow window) const {
  for (std::size_t i = 0; i < monitors_.size(); ++i) {
    if (monitors_[i].window == window && window != 0) return static_cast<int>(i);
  }
  return -1;
}

Clock::duration SaverFrameCycle::FrameInterval() const {
  double fps = options_.fps;
  if (fps <= 0 && !units_.empty() && units_.front().monitor >= 0) {
    fps = monitors_[static_cast<std::size_t>(units_.front().monitor)].answer.refresh_hz;
  }
  if (fps <= 0) fps = kDefaultFramesPerSecond;
  return std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(1.0 / fps));
}

HResult SaverFrameCycle::RunSaverLoop(CD3DScreensaver& host) {
  // Without a window nothing could be shown and no input could end us.
  if (host.main_window_ == 0) {
    windows_missing_ = true;
    return Failed(host.error_code_) ? host.error_code_ : kErrorUnspecified;
  }
  options_.timer.Start();
  if (!host.error_occurred_) {
    if (const HResult initialized = host.InitializeScene(); Failed(initialized)) return initialized;
    Initialize3D(host);
  }
  const bool full_screen = host.mode_ == ModeFull;
  if (full_screen) display_->AnnounceSaverRunning(true);
  Clock::time_point next = Clock::now();
  for (;;) {
    if (const std::optional<WindowMessage> message = platform_.PeekMessage(next)) {
      if (message->message == kMessageQuit) break;
      platform_.TranslateMessage(*message);
      platform_.DispatchMessage(*message);
      continue;
    }
    const Clock::time_point start = Clock::now();
    if (host.error_occurred_) {
      UpdateErrorBox(host);
      next = start + kErrorBoxInterval;
    } else {
      RenderFrame(host);
      // Frames keep their rhythm; one that ran late is not made up for.
      next = std::max(next + FrameInterval(), start);
    }
  }
  // Only a quit rule ends the loop, and it has ended the saver.
  if (full_screen) display_->AnnounceSaverRunning(false);
  return kSuccess;
}

std::pair<std::uint32_t, std::uint32_t> SaverFrameCycle::RenderSize(const Unit& unit) const {
  const WindowRect client = display_->ClientRect(unit.window);
  const auto width = static_cast<std::uint32_t>(std::max(client.Width(), 1));
  const auto height = static_cast<std::uint32_t>(std::max(client.Height(), 1));
  if (unit.mode_height == 0) return {width, height};
  // The monitor keeps its mode: pictures keep their shape when the
  // unit's picture is scaled to the window.
  const double aspect = static_cast<double>(width) / height;
  return {std::max(1u, static_cast<std::uint32_t>(std::lround(unit.mode_height * aspect))), unit.mode_height};
}

bool SaverFrameCycle::CreateUnit(CD3DScreensaver& host, int adapter, int monitor, PlatformWindow window,
                                 std::uint32_t mode_height) {
  Unit unit{adapter, monitor, window};
  unit.mode_height = mode_height;
  const auto [width, height] = RenderSize(unit);
  std::string error;
  unit.device = display_->CreateDevice(window, width, height, error);
  if (!unit.device) {
    // The box shows the saver's own text; the reason is for whoever looks.
    std::fprintf(stderr, "%s: %s\n", ToUtf8(host.window_title_).c_str(), error.c_str());
    return false;
  }
  static_assert(kMaxQuality == kMaxRenderQuality, "the stored numbers are the device's");
  if (adapter >= 0) unit.device->SetQuality(static_cast<RenderQuality>(adapters_[static_cast<std::size_t>(adapter)].quality));
  units_.push_back(std::move(unit));
  return true;
}

void SaverFrameCycle::CreateFullscreenUnit(CD3DScreensaver& host, int adapter_index, std::size_t m) {
  Adapter& adapter = adapters_[static_cast<std::size_t>(adapter_index)];
  std::size_t mode = ChooseFullscreenMode(adapter.modes, adapter.Software(), adapter.answer.desktop, adapter.user);
  bool fell_back = false;
  while (!CreateUnit(host, adapter_index, static_cast<int>(m), monitors_[m].window, adapter.modes[mode].height)) {
    const std::optional<std::size_t> lower = FindNextLowerMode(adapter.modes, mode);
    if (!lower) {
      host.RecordError(kErrorCannotCreateDevice);
      return;
    }
    mode = *lower;
    fell_back = true;
  }
  if (!fell_back) return;
  const DisplayModeAnswer& worked = adapter.modes[mode];
  adapter.user = {worked.width, worked.height, worked.format};
  if (settings_ != nullptr) settings_->WriteScreenMode(static_cast<int>(m), worked, adapter.answer.identifier);
}

void SaverFrameCycle::OnWindowResized(WindowHandle window) {
  // The next frame takes the path of a device that needs a reset.
  for (Unit& unit : units_) {
    if (unit.window == window && unit.device) unit.device->LoseDevice();
  }
}

void SaverFrameCycle::Initialize3D(CD3DScreensaver& host) {
  std::vector<int> monitor_adapters;
  for (const Monitor& monitor : monitors_) monitor_adapters.push_back(monitor.adapter);
  std::vector<AdapterChoice> choices;
  for (const Adapter& adapter : adapters_) choices.push_back({!adapter.modes.empty(), adapter.Software()});
  const int best = FindBestAdapter(monitor_adapters, choices);

  if (host.mode_ == ModeFull) {
    if (best < 0) host.RecordError(kErrorNoCompatibleDevices);
    // Only the best adapter draws; every other monitor stays black.
    for (std::size_t m = 0; m < monitors_.size(); ++m) {
      const Monitor& monitor = monitors_[m];
      if (monitor.adapter != best || best < 0 || monitor.window == 0) continue;
      CreateFullscreenUnit(host, best, m);
    }
  } else if (best < 0) {
    host.RecordError(kErrorCannotCreateDevice);
  } else if (!CreateUnit(host, best, 0, host.main_window_, 0)) {
    host.RecordError(host.mode_ == ModePreview ? kErrorNoPreview : kErrorCannotCreateDevice);
  }

  if (!host.error_occurred_) {
    for (std::size_t i = 0; i < units_.size(); ++i) {
      SwitchToUnit(host, i);
      if (Failed(host.OnDeviceCreated())) {
        host.RecordError(kErrorDeviceObjectsFailed);
        continue;
      }
      units_[i].objects_created = true;
      if (Failed(host.OnDeviceReset())) {
        host.RecordError(kErrorDeviceObjectsFailed);
        continue;
      }
      units_[i].objects_restored = true;
    }
  }
  host.mouse_move_count_ = 0;
}

void SaverFrameCycle::SwitchToUnit(CD3DScreensaver& host, std::size_t index) {
  host.current_device_ = units_[index].device.get();
  host.SelectUnit(static_cast<int>(index));
}

void SaverFrameCycle::RenderFrame(CD3DScreensaver& host) {
  host.app_time_ = options_.timer.AppTime();
  host.elapsed_time_ = options_.timer.Elapsed();
  host.Advance();
  ++frame_count_;
  const bool lose = options_.lose_device_every > 0 && frame_count_ % options_.lose_device_every == 0;
  for (std::size_t i = 0; i < units_.size(); ++i) {
    SwitchToUnit(host, i);
    Unit& unit = units_[i];
    if (!unit.device) continue;
    if (lose) unit.device->LoseDevice();
    switch (unit.device->TestCooperativeLevel()) {
      case DeviceState::Lost:
        // Nothing is presented on any monitor this turn.
        return;
      case DeviceState::NotReset:
        if (unit.objects_restored) {
          host.OnDeviceLost();
          unit.objects_restored = false;
        }
        if (const auto [width, height] = RenderSize(unit); !unit.device->Reset(width, height)) {
          // The code stays as it was: the reset itself has no text. Its
          // reason is for whoever looks.
          std::fprintf(stderr, "%s: %s\n", ToUtf8(host.window_title_).c_str(), unit.device->LastError().c_str());
          host.error_occurred_ = true;
          break;
        }
        // Selected again before the scene restores: the back buffer may have
        // a new size, which the scene's off-screen targets are made from.
        SwitchToUnit(host, i);
        if (Failed(host.OnDeviceReset())) {
          host.error_occurred_ = true;
        } else {
          unit.objects_restored = true;
        }
        break;
      case DeviceState::Ok:
        break;
    }
    if (const HResult rendered = host.Render(); Failed(rendered)) host.RecordError(rendered);
  }
  for (std::size_t i = 0; i < units_.size(); ++i) {
    SwitchToUnit(host, i);
    if (units_[i].device) units_[i].device->Present();
  }
}

void SaverFrameCycle::Cleanup3D(CD3DScreensaver& host) {
  for (std::size_t i = 0; i < units_.size(); ++i) {
    SwitchToUnit(host, i);
    Unit& unit = units_[i];
    if (unit.objects_restored) {
      host.OnDeviceLost();
      unit.objects_restored = false;
    }
    if (unit.objects_created) {
      host.OnDeviceDestroyed();
      unit.objects_created = false;
    }
    unit.device.reset();
  }
  units_.clear();
  host.current_device_ = nullptr;
}

void SaverFrameCycle::UpdateErrorBox(CD3DScreensaver& host) {
  if (!units_.empty()) {
    Cleanup3D(host);
    // The windows the devices drew into show the box from now on.
    for (const Monitor& monitor : monitors_) {
      if (monitor.window != 0) display_->InvalidateWindow(monitor.window);
    }
  }
  const Clock::time_point now = Clock::now();
  const double step = last_box_step_ ? std::chrono::duration<double>(now - *last_box_step_).count() : 0.0;
  last_box_step_ = now;
  if (host.error_text_.empty()) LookUpErrorText(host.error_code_, host.error_text_);
  const bool preview = host.mode_ == ModePreview;
  for (Monitor& monitor : monitors_) {
    if (monitor.window == 0) continue;
    const WindowRect bounds = display_->ClientRect(monitor.window);
    if (!monitor.box.Placed()) {
      PlaceErrorBox(monitor.box, bounds, preview);
      display_->InvalidateWindow(monitor.window);
    } else if (!preview && MoveErrorBox(monitor.box, bounds, step)) {
      display_->InvalidateWindow(monitor.window);
    }
  }
}

void SaverFrameCycle::PaintError(CD3DScreensaver& host, WindowHandle window) {
  // A window a device draws into is the device's.
  for (const Unit& unit : units_) {
    if (unit.window == window && unit.device) return;
  }
  const int monitor = MonitorOfWindow(window);
  const bool boxed = host.error_occurred_ && monitor >= 0;
  const WindowRect box = boxed ? monitors_[static_cast<std::size_t>(monitor)].box.Rect() : WindowRect{};
  display_->PaintErrorBox(window, box, boxed ? std::u16string_view(host.error_text_) : std::u16string_view());
}

}  // namespace lumi
