// The saver's system services on Linux. There is no Windows message system
// here: messages and timers go through a queue of the process's own, message
// boxes are lines on the standard error stream, and no Windows library can
// be loaded.
#pragma once

#include <chrono>
#include <deque>
#include <vector>

#include "platform/saver_platform.h"

namespace lumi {

class LinuxSaverPlatform : public SaverPlatform {
 public:
  explicit LinuxSaverPlatform(std::u16string commandLine) : commandLine_(std::move(commandLine)) {}

  void LowerThreadToIdlePriority() override;
  std::u16string CommandLine() override { return commandLine_; }
  void InitCommonControls() override {}
  // Writes "TITLE: TEXT".
  void ShowMessageBox(PlatformWindow owner, std::u16string_view text, std::u16string_view title,
                      std::uint32_t icon) override;

  void SetWindowProcedure(WindowProcedure procedure) override { procedure_ = std::move(procedure); }
  void PostMessage(const WindowMessage& message) override { queue_.push_back(message); }
  // With nothing queued and no timer running nothing could ever arrive, so
  // that counts as the quit message.
  std::optional<WindowMessage> GetMessage(PlatformWindow window) override;
  void TranslateMessage(const WindowMessage&) override {}
  std::intptr_t DispatchMessage(const WindowMessage& message) override;
  void PostQuitMessage(int exitCode) override;
  std::intptr_t DefaultWindowProcedure(const WindowMessage&) override { return 0; }
  void SetTimer(PlatformWindow window, std::uintptr_t id, std::uint32_t milliseconds) override;
  void KillTimer(PlatformWindow window, std::uintptr_t id) override;

  LibraryHandle LoadLibrary(std::u16string_view) override { return 0; }
  ProcedureAddress GetProcAddress(LibraryHandle, const char*) override { return 0; }
  void FreeLibrary(LibraryHandle) override {}
  // Unreachable: no library loads here.
  void CallPasswordChange(ProcedureAddress, const char*, PlatformWindow) override {}

  // The OpenGL device stands in for Direct3D; the object only marks that
  // drawing is possible at all, and the device code lists its adapters.
  std::unique_ptr<Direct3D> CreateDirect3D(std::uint32_t sdkVersion) override;

 private:
  using Clock = std::chrono::steady_clock;
  struct Timer {
    PlatformWindow window;
    std::uintptr_t id;
    Clock::duration period;
    Clock::time_point due;
  };

  std::u16string commandLine_;
  WindowProcedure procedure_;
  std::deque<WindowMessage> queue_;
  bool quitPosted_ = false;
  std::vector<Timer> timers_;
};

}  // namespace lumi
