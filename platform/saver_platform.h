// The system services the screen-saver host calls: thread priority, the
// command line, message boxes, the message queue and timers, the password
// change, and the graphics system's object. The vocabulary is Windows'
// (WM_* messages, a window procedure): the quit rules read well in it, and
// other systems translate their events into it. Anything only Windows has
// stays in platform/windows/.
#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace lumi {

// Window handles as numbers; 0 is none.
using PlatformWindow = std::intptr_t;

// The window messages of Windows that the saver's window procedure serves;
// other platforms translate their events into them.
inline constexpr std::uint32_t kMessageDestroy = 0x0002;          // WM_DESTROY
inline constexpr std::uint32_t kMessageSize = 0x0005;             // WM_SIZE
inline constexpr std::uint32_t kMessagePaint = 0x000F;            // WM_PAINT
inline constexpr std::uint32_t kMessageQuit = 0x0012;             // WM_QUIT
inline constexpr std::uint32_t kMessageEraseBackground = 0x0014;  // WM_ERASEBKGND
inline constexpr std::uint32_t kMessageEndSession = 0x0016;       // WM_ENDSESSION
inline constexpr std::uint32_t kMessageActivateApp = 0x001C;      // WM_ACTIVATEAPP
inline constexpr std::uint32_t kMessageSetCursor = 0x0020;        // WM_SETCURSOR
inline constexpr std::uint32_t kMessageKeyDown = 0x0100;          // WM_KEYDOWN
inline constexpr std::uint32_t kMessageSysCommand = 0x0112;       // WM_SYSCOMMAND
inline constexpr std::uint32_t kMessageTimer = 0x0113;            // WM_TIMER
inline constexpr std::uint32_t kMessageMouseMove = 0x0200;        // WM_MOUSEMOVE
inline constexpr std::uint32_t kMessageLeftButtonDown = 0x0201;   // WM_LBUTTONDOWN
inline constexpr std::uint32_t kMessageRightButtonDown = 0x0204;  // WM_RBUTTONDOWN
inline constexpr std::uint32_t kMessageMiddleButtonDown = 0x0207; // WM_MBUTTONDOWN
inline constexpr std::uint32_t kMessagePowerBroadcast = 0x0218;   // WM_POWERBROADCAST
inline constexpr std::uint32_t kMessageUser = 0x0400;             // WM_USER

inline constexpr std::uintptr_t kPowerSuspend = 4;  // PBT_APMSUSPEND
inline constexpr std::uintptr_t kCommandNextWindow = 0xF040;  // SC_NEXTWINDOW
inline constexpr std::uintptr_t kCommandPrevWindow = 0xF050;  // SC_PREVWINDOW
inline constexpr std::uintptr_t kCommandClose = 0xF060;       // SC_CLOSE
inline constexpr std::uintptr_t kCommandScreenSave = 0xF140;  // SC_SCREENSAVE

inline constexpr std::uint32_t kIconError = 0x10;  // MB_ICONERROR

// A mouse position as WM_MOUSEMOVE carries it: x and y as signed 16-bit
// client coordinates in the low and high word.
constexpr std::intptr_t PackMousePosition(int x, int y) {
  return static_cast<std::intptr_t>((static_cast<std::uint32_t>(static_cast<std::uint16_t>(y)) << 16) |
                                    static_cast<std::uint16_t>(x));
}
constexpr int MouseX(std::intptr_t lparam) { return static_cast<std::int16_t>(lparam & 0xFFFF); }
constexpr int MouseY(std::intptr_t lparam) { return static_cast<std::int16_t>((lparam >> 16) & 0xFFFF); }

struct WindowMessage {
  PlatformWindow window = 0;
  std::uint32_t message = 0;
  std::uintptr_t wparam = 0;
  std::intptr_t lparam = 0;
};

using WindowProcedure = std::function<std::intptr_t(const WindowMessage&)>;

// The graphics system's object (Direct3D's, in the host's words), owned
// from start-up to the end of the run; releasing it is destroying it.
class Direct3D {
 public:
  virtual ~Direct3D() = default;
};

class SaverPlatform {
 public:
  virtual ~SaverPlatform() = default;

  virtual void LowerThreadToIdlePriority() = 0;
  virtual std::u16string CommandLine() = 0;
  virtual void ShowMessageBox(PlatformWindow owner, std::u16string_view text, std::u16string_view title,
                              std::uint32_t icon) = 0;

  // The procedure that dispatched messages of the saver's windows reach.
  virtual void SetWindowProcedure(WindowProcedure procedure) = 0;
  // Safe from any thread; wakes a waiting PeekMessage.
  virtual void PostMessage(const WindowMessage& message) = 0;
  // The next message of any window, waiting for one until `deadline`;
  // nullopt once the deadline has passed with none. The quit message is
  // returned as kMessageQuit.
  virtual std::optional<WindowMessage> PeekMessage(std::chrono::steady_clock::time_point deadline) = 0;
  // The next message for `window` (0: any), waiting for one; nullopt once
  // the quit message arrives.
  virtual std::optional<WindowMessage> GetMessage(PlatformWindow window) = 0;
  virtual void TranslateMessage(const WindowMessage& message) = 0;
  virtual std::intptr_t DispatchMessage(const WindowMessage& message) = 0;
  virtual void PostQuitMessage(int exit_code) = 0;
  virtual std::intptr_t DefaultWindowProcedure(const WindowMessage& message) = 0;
  virtual void SetTimer(PlatformWindow window, std::uintptr_t id, std::uint32_t milliseconds) = 0;
  virtual void KillTimer(PlatformWindow window, std::uintptr_t id) = 0;

  // The system's own dialog that changes the screen saver's password,
  // owned by `parent`; nothing where the system keeps no such password.
  virtual void ChangePassword(PlatformWindow parent) = 0;

  // nullptr when nothing can draw at all.
  virtual std::unique_ptr<Direct3D> CreateDirect3D() = 0;
};

}  // namespace lumi
