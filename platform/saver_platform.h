// The system services the screen-saver host calls: thread priority, the
// command line, message boxes, the message queue and timers, libraries, and
// the creation of the Direct3D object. Windows provides them directly; other
// platforms stand in for them.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace lumi {

// Window handles, library handles and procedure addresses as numbers; 0 is none.
using PlatformWindow = std::intptr_t;
using LibraryHandle = std::uintptr_t;
using ProcedureAddress = std::uintptr_t;

inline constexpr std::uint32_t kMessageTimer = 0x0113;  // WM_TIMER
inline constexpr std::uint32_t kMessageUser = 0x0400;   // WM_USER
inline constexpr std::uint32_t kIconError = 0x10;       // MB_ICONERROR

struct WindowMessage {
  PlatformWindow window = 0;
  std::uint32_t message = 0;
  std::uintptr_t wparam = 0;
  std::intptr_t lparam = 0;
};

using WindowProcedure = std::function<std::intptr_t(const WindowMessage&)>;

// The Direct3D object the host owns from start-up to the end of its run;
// releasing it is destroying it.
class Direct3D {
 public:
  virtual ~Direct3D() = default;
};

class SaverPlatform {
 public:
  virtual ~SaverPlatform() = default;

  virtual void LowerThreadToIdlePriority() = 0;
  virtual std::u16string CommandLine() = 0;
  virtual void InitCommonControls() = 0;
  virtual void ShowMessageBox(PlatformWindow owner, std::u16string_view text, std::u16string_view title,
                              std::uint32_t icon) = 0;

  // The procedure that dispatched messages of the saver's windows reach.
  virtual void SetWindowProcedure(WindowProcedure procedure) = 0;
  virtual void PostMessage(const WindowMessage& message) = 0;
  // The next message for `window` (0: any), waiting for one; nullopt once
  // the quit message arrives.
  virtual std::optional<WindowMessage> GetMessage(PlatformWindow window) = 0;
  virtual void TranslateMessage(const WindowMessage& message) = 0;
  virtual std::intptr_t DispatchMessage(const WindowMessage& message) = 0;
  virtual void PostQuitMessage(int exitCode) = 0;
  virtual std::intptr_t DefaultWindowProcedure(const WindowMessage& message) = 0;
  virtual void SetTimer(PlatformWindow window, std::uintptr_t id, std::uint32_t milliseconds) = 0;
  virtual void KillTimer(PlatformWindow window, std::uintptr_t id) = 0;

  virtual LibraryHandle LoadLibrary(std::u16string_view name) = 0;
  virtual ProcedureAddress GetProcAddress(LibraryHandle library, const char* name) = 0;
  virtual void FreeLibrary(LibraryHandle library) = 0;
  // Calls PwdChangePasswordA(provider, parent, 0, 0) found at `procedure`.
  virtual void CallPasswordChange(ProcedureAddress procedure, const char* provider, PlatformWindow parent) = 0;

  // Direct3DCreate9(sdkVersion); nullptr when Direct3D is not available.
  virtual std::unique_ptr<Direct3D> CreateDirect3D(std::uint32_t sdkVersion) = 0;
};

}  // namespace lumi
