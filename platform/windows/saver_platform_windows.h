// The saver's system services on Windows: each one is the Win32 call of the
// same name. Messages posted to no window are the thread's own; dispatching
// one hands it to the saver's window procedure, as the saver's windows do.
//
// Implements SaverPlatform: every operation, the password change through
// MPR.DLL where that service exists; the common controls at construction.
// Does not: make a Direct3D object; the OpenGL device draws instead.
#pragma once

#include "platform/saver_platform.h"

namespace lumi {

class WindowsSaverPlatform : public SaverPlatform {
 public:
  // Registers the common controls, as every saver does at start.
  WindowsSaverPlatform();

  void LowerThreadToIdlePriority() override;
  std::u16string CommandLine() override;
  void ShowMessageBox(PlatformWindow owner, std::u16string_view text, std::u16string_view title,
                      std::uint32_t icon) override;

  void SetWindowProcedure(WindowProcedure procedure) override { procedure_ = std::move(procedure); }
  // What the saver's window class calls for each of its messages: the
  // procedure, or the default handling while there is none.
  std::intptr_t CallWindowProcedure(const WindowMessage& message);
  void PostMessage(const WindowMessage& message) override;
  // Waits in the thread's message queue; nullopt on the quit message (and
  // when Windows refuses, e.g. for a window that no longer exists).
  std::optional<WindowMessage> GetMessage(PlatformWindow window) override;
  std::optional<WindowMessage> PeekMessage(std::chrono::steady_clock::time_point deadline) override;
  void TranslateMessage(const WindowMessage& message) override;
  std::intptr_t DispatchMessage(const WindowMessage& message) override;
  void PostQuitMessage(int exit_code) override;
  std::intptr_t DefaultWindowProcedure(const WindowMessage& message) override;
  // Timers belong to windows: Windows numbers a timer of no window itself.
  void SetTimer(PlatformWindow window, std::uintptr_t id, std::uint32_t milliseconds) override;
  void KillTimer(PlatformWindow window, std::uintptr_t id) override;

  // PwdChangePasswordA of MPR.DLL, the password service of the Windows 9x
  // family; where it is missing there is nothing to change.
  void ChangePassword(PlatformWindow parent) override;

  // The OpenGL device stands in for Direct3D here as on Linux; the object
  // only marks that drawing is possible at all.
  std::unique_ptr<Direct3D> CreateDirect3D() override;

 private:
  WindowProcedure procedure_;
};

}  // namespace lumi
