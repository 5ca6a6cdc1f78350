#include "platform/windows/saver_display_windows.h"

#include "platform/windows_api.h"

#include <cstdio>
#include <cwchar>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "platform/gl/gl_context.h"
#include "render/gl/gl_device.h"

namespace lumi {
namespace {

constexpr wchar_t kSaverClass[] = L"D3DSaverWndClass";
constexpr wchar_t kProbeClass[] = L"LumisaveRendererProbe";
constexpr std::uint32_t kBitsPerPixelX8R8G8B8 = 32;

HWND ToWindow(PlatformWindow window) { return reinterpret_cast<HWND>(window); }
PlatformWindow FromWindow(HWND window) { return reinterpret_cast<PlatformWindow>(window); }
RECT ToRect(const WindowRect& r) { return {r.left, r.top, r.right, r.bottom}; }
WindowRect FromRect(const RECT& r) { return {r.left, r.top, r.right, r.bottom}; }

template <std::size_t N>
std::u16string FromWide(const wchar_t (&text)[N]) {
  return std::u16string(text, text + wcsnlen(text, N));
}

// A display device on the desktop, with the monitor it shows on.
struct DisplayDevice {
  std::wstring device_name;
  DEVMODEW current{};
  MonitorAnswer monitor;
};

// Mirroring drivers copy another device's picture; devices off the desktop
// have no monitor to cover.
std::vector<DisplayDevice> ListDisplayDevices() {
  std::vector<DisplayDevice> devices;
  DISPLAY_DEVICEW adapter{};
  adapter.cb = sizeof adapter;
  for (DWORD i = 0; EnumDisplayDevicesW(nullptr, i, &adapter, 0); ++i) {
    if ((adapter.StateFlags & DISPLAY_DEVICE_MIRRORING_DRIVER) != 0) continue;
    if ((adapter.StateFlags & DISPLAY_DEVICE_ATTACHED_TO_DESKTOP) == 0) continue;
    DisplayDevice device;
    device.device_name = adapter.DeviceName;
    device.current.dmSize = sizeof device.current;
    if (!EnumDisplaySettingsW(adapter.DeviceName, ENUM_CURRENT_SETTINGS, &device.current)) continue;
    RECT rect{0, 0, static_cast<LONG>(device.current.dmPelsWidth), static_cast<LONG>(device.current.dmPelsHeight)};
    if ((adapter.StateFlags & DISPLAY_DEVICE_PRIMARY_DEVICE) == 0) {
      OffsetRect(&rect, device.current.dmPosition.x, device.current.dmPosition.y);
    }
    const HMONITOR handle = MonitorFromRect(&rect, MONITOR_DEFAULTTONULL);
    if (handle == nullptr) continue;
    // The monitor's own rectangle is in real pixels, whatever the settings say.
    MONITORINFO info{};
    info.cbSize = sizeof info;
    if (GetMonitorInfoW(handle, &info)) rect = info.rcMonitor;
    DISPLAY_DEVICEW monitor{};
    monitor.cb = sizeof monitor;
    if (!EnumDisplayDevicesW(adapter.DeviceName, 0, &monitor, 0)) monitor.DeviceString[0] = L'\0';
    device.monitor.adapter_name = FromWide(adapter.DeviceString);
    device.monitor.monitor_name = FromWide(monitor.DeviceString);
    device.monitor.bounds = FromRect(rect);
    // 0 and 1 stand for the hardware's default rate.
    if (device.current.dmDisplayFrequency > 1) device.monitor.refresh_hz = device.current.dmDisplayFrequency;
    devices.push_back(std::move(device));
  }
  return devices;
}

std::vector<DisplayModeAnswer> ListModes(const std::wstring& device_name) {
  std::vector<DisplayModeAnswer> modes;
  DEVMODEW mode{};
  mode.dmSize = sizeof mode;
  for (DWORD i = 0; EnumDisplaySettingsW(device_name.c_str(), i, &mode); ++i) {
    if (mode.dmBitsPerPel == kBitsPerPixelX8R8G8B8) modes.push_back({mode.dmPelsWidth, mode.dmPelsHeight});
  }
  return modes;
}

// The renderer's names from a context on a window of a class apart, so
// that none of the probe's messages reach the saver.
RendererNames ProbeRenderer() {
  WNDCLASSW probe_class{};
  probe_class.lpfnWndProc = DefWindowProcW;
  probe_class.hInstance = GetModuleHandleW(nullptr);
  probe_class.lpszClassName = kProbeClass;
  RegisterClassW(&probe_class);
  HWND window = CreateWindowExW(0, kProbeClass, L"", WS_POPUP, 0, 0, 16, 16, nullptr, nullptr,
                                probe_class.hInstance, nullptr);
  RendererNames names;
  if (window == nullptr) return names;
  std::string error;
  if (std::unique_ptr<GlContext> context = CreateWglContext(window, false, error)) {
    names = ReadRendererNames(*context);
  } else {
    std::fprintf(stderr, "lumisave: %s\n", error.c_str());
  }
  DestroyWindow(window);
  return names;
}

class Win32SaverDisplay final : public SaverDisplay {
 public:
  explicit Win32SaverDisplay(WindowsSaverPlatform& platform) : platform_(platform) {
    WNDCLASSW saver_class{};
    saver_class.style = CS_HREDRAW | CS_VREDRAW;
    saver_class.lpfnWndProc = &Win32SaverDisplay::ClassProcedure;
    saver_class.hInstance = GetModuleHandleW(nullptr);
    saver_class.hIcon = LoadIconW(saver_class.hInstance, MAKEINTRESOURCEW(1));
    // IDC_ARROW, named here without the character-set macros.
    saver_class.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512));
    saver_class.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
    saver_class.lpszClassName = kSaverClass;
    RegisterClassW(&saver_class);
  }

  ~Win32SaverDisplay() override {
    // The saver is gone by now: its windows' last messages are Windows' own.
    detached_ = true;
    for (auto& [window, record] : windows_) {
      record.context.reset();
      if (IsWindow(window)) DestroyWindow(window);
    }
  }

  std::vector<MonitorAnswer> Monitors() override {
    std::vector<MonitorAnswer> monitors;
    for (DisplayDevice& device : ListDisplayDevices()) monitors.push_back(std::move(device.monitor));
    return monitors;
  }

  std::vector<AdapterAnswer> Adapters() override {
    if (!renderer_) renderer_ = ProbeRenderer();
    std::vector<AdapterAnswer> adapters;
    // Without a renderer that draws OpenGL 3.3, nothing is usable.
    if (!IsUsableRenderer(*renderer_)) return adapters;
    const std::vector<DisplayDevice> devices = ListDisplayDevices();
    for (std::size_t i = 0; i < devices.size(); ++i) {
      AdapterAnswer adapter = RendererAdapter(*renderer_, static_cast<int>(i));
      adapter.desktop = {devices[i].current.dmPelsWidth, devices[i].current.dmPelsHeight};
      adapter.modes = ListModes(devices[i].device_name);
      if (adapter.modes.empty()) adapter.modes.push_back(adapter.desktop);
      adapters.push_back(std::move(adapter));
    }
    return adapters;
  }

  PlatformWindow CreateSaverWindow(const SaverWindowRequest& request) override {
    const std::wstring title(request.title.begin(), request.title.end());
    DWORD style = WS_VISIBLE;
    DWORD extended_style = 0;
    HWND parent = nullptr;
    RECT rect = ToRect(request.rect);
    switch (request.kind) {
      case SaverWindowKind::FullScreen:
        style |= WS_POPUP;
        extended_style = WS_EX_TOPMOST;
        // The first full-screen window owns the others.
        parent = first_full_screen_;
        break;
      case SaverWindowKind::Test:
        style |= WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
        AdjustWindowRectEx(&rect, style, FALSE, extended_style);
        break;
      case SaverWindowKind::Child:
        style |= WS_CHILD;
        parent = ToWindow(request.parent);
        if (!IsWindow(parent) || !GetClientRect(parent, &rect)) return 0;
        AdjustWindowRectEx(&rect, style, FALSE, extended_style);
        break;
    }
    HWND window = CreateWindowExW(extended_style, kSaverClass, title.c_str(), style, rect.left, rect.top,
                                  rect.right - rect.left, rect.bottom - rect.top, parent, nullptr,
                                  GetModuleHandleW(nullptr), this);
    if (window == nullptr) {
      std::fprintf(stderr, "lumisave: no window (Windows error %lu)\n", GetLastError());
      return 0;
    }
    const bool full_screen = request.kind == SaverWindowKind::FullScreen;
    windows_[window].full_screen = full_screen;
    if (full_screen && first_full_screen_ == nullptr) first_full_screen_ = window;
    return FromWindow(window);
  }

  WindowRect ClientRect(PlatformWindow window) override {
    RECT client{};
    if (!GetClientRect(ToWindow(window), &client)) return {};
    return FromRect(client);
  }

  WindowRect DesktopRect(PlatformWindow window) override {
    RECT rect{};
    if (!GetClientRect(ToWindow(window), &rect)) return {};
    MapWindowPoints(ToWindow(window), nullptr, reinterpret_cast<POINT*>(&rect), 2);
    return FromRect(rect);
  }

  void InvalidateWindow(PlatformWindow window) override {
    InvalidateRect(ToWindow(window), nullptr, FALSE);
    UpdateWindow(ToWindow(window));
  }

  std::unique_ptr<GraphicsDevice> CreateDevice(PlatformWindow window, std::uint32_t width, std::uint32_t height,
                                               std::string& error) override {
    const auto found = windows_.find(ToWindow(window));
    if (found == windows_.end()) {
      error = "not a window of ours";
      return nullptr;
    }
    WindowRecord& record = found->second;
    record.context.reset();
    record.context = CreateWglContext(found->first, true, error);
    if (!record.context) return nullptr;
    return CreateGlDevice(*record.context, width, height, error);
  }

  void PaintErrorBox(PlatformWindow window, WindowRect box, std::u16string_view text) override {
    const HWND hwnd = ToWindow(window);
    // Inside WM_PAINT the painting's own context; otherwise the window's.
    const bool painting = paint_window_ == hwnd && paint_dc_ != nullptr;
    const HDC dc = painting ? paint_dc_ : GetDC(hwnd);
    if (dc == nullptr) return;
    RECT client{};
    GetClientRect(hwnd, &client);
    const auto black = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
    if (box.Width() > 0 && box.Height() > 0) {
      const RECT frame = ToRect(box);
      FillRect(dc, &frame, GetSysColorBrush(COLOR_WINDOW));
      FrameRect(dc, &frame, black);
      const std::wstring wide(text.begin(), text.end());
      const int length = static_cast<int>(wide.size());
      RECT measured = frame;
      DrawTextW(dc, wide.c_str(), length, &measured, DT_CALCRECT | DT_WORDBREAK | DT_CENTER);
      const LONG text_height = measured.bottom - measured.top;
      RECT placed = frame;
      placed.top = (frame.top + frame.bottom - text_height) / 2;
      placed.bottom = placed.top + text_height;
      SetBkMode(dc, TRANSPARENT);
      SetTextColor(dc, GetSysColor(COLOR_WINDOWTEXT));
      DrawTextW(dc, wide.c_str(), length, &placed, DT_WORDBREAK | DT_CENTER);
      // Black around the box, never over it, so the box does not flicker.
      ExcludeClipRect(dc, frame.left, frame.top, frame.right, frame.bottom);
    }
    FillRect(dc, &client, black);
    if (!painting) ReleaseDC(hwnd, dc);
  }

  void AnnounceSaverRunning(bool running) override {
    BOOL was_running = FALSE;
    SystemParametersInfoW(SPI_SCREENSAVERRUNNING, running ? TRUE : FALSE, &was_running, 0);
  }

 private:
  struct WindowRecord {
    bool full_screen = false;
    std::unique_ptr<GlContext> context;
  };

  // Exceptions must not cross Windows' frames: one that escapes the
  // saver's procedure ends the message with 1.
  static LRESULT CALLBACK ClassProcedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    if (message == WM_NCCREATE) {
      const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lparam);
      SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    }
    auto* display = reinterpret_cast<Win32SaverDisplay*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (display == nullptr || display->detached_) return DefWindowProcW(window, message, wparam, lparam);
    try {
      return display->Handle(window, message, wparam, lparam);
    } catch (...) {
      return 1;
    }
  }

  LRESULT Handle(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    const WindowMessage passed{FromWindow(window), message, wparam, lparam};
    if (message == WM_PAINT) {
      // Painted or not, the window is valid afterwards: a WM_PAINT left
      // unanswered would come back before every other message.
      PAINTSTRUCT paint{};
      paint_dc_ = BeginPaint(window, &paint);
      paint_window_ = window;
      const LRESULT result = platform_.CallWindowProcedure(passed);
      paint_window_ = nullptr;
      paint_dc_ = nullptr;
      EndPaint(window, &paint);
      return result;
    }
    const LRESULT result = platform_.CallWindowProcedure(passed);
    // The saver answers 1 where it hides the cursor.
    if (message == WM_SETCURSOR && result == 1) {
      const auto found = windows_.find(window);
      if (found != windows_.end() && found->second.full_screen) SetCursor(nullptr);
    }
    return result;
  }

  WindowsSaverPlatform& platform_;
  std::map<HWND, WindowRecord> windows_;
  HWND first_full_screen_ = nullptr;
  std::optional<RendererNames> renderer_;
  HWND paint_window_ = nullptr;
  HDC paint_dc_ = nullptr;
  bool detached_ = false;
};

}  // namespace

std::unique_ptr<SaverDisplay> CreateWin32SaverDisplay(WindowsSaverPlatform& platform) {
  return std::make_unique<Win32SaverDisplay>(platform);
}

}  // namespace lumi
