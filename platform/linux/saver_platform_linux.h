// The saver's system services on Linux. There is no Windows message system
// here: messages and timers go through a queue of the process's own, message
// boxes are lines on the standard error stream. A window system, when there
// is one, hands its events to the queue through an EventSource.
//
// Implements SaverPlatform: idle priority (nice 10), the command line it is
// given, message boxes, the queue, timers and the window procedure, SIGTERM
// and SIGINT as kMessageEndSession, the graphics object.
// Does not: translate keys (TranslateMessage does nothing: no WM_CHAR is
// read), change a password (the screen locker keeps it).
#pragma once

#include <chrono>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <thread>
#include <vector>

#include "platform/saver_platform.h"

namespace lumi {

// Where window events come from: it posts them as messages.
class EventSource {
 public:
  virtual ~EventSource() = default;
  // Posts the events that arrive until `deadline` or until Wake.
  virtual void WaitForEvents(std::chrono::steady_clock::time_point deadline) = 0;
  // Ends a WaitForEvents early; safe from any thread.
  virtual void Wake() = 0;
};

// The nice value the saver lowers itself to.
inline constexpr int kSaverNice = 10;

class LinuxSaverPlatform : public SaverPlatform {
 public:
  // With `idle_priority` false the thread keeps its normal priority.
  LinuxSaverPlatform(std::u16string command_line, bool idle_priority = true);
  ~LinuxSaverPlatform() override;

  void LowerThreadToIdlePriority() override;
  std::u16string CommandLine() override { return command_line_; }
  // Writes "TITLE: TEXT".
  void ShowMessageBox(PlatformWindow owner, std::u16string_view text, std::u16string_view title,
                      std::uint32_t icon) override;

  void SetWindowProcedure(WindowProcedure procedure) override { procedure_ = std::move(procedure); }
  void PostMessage(const WindowMessage& message) override;
  // With nothing queued and no timer running nothing could ever arrive, so
  // that counts as the quit message.
  std::optional<WindowMessage> GetMessage(PlatformWindow window) override;
  // SIGTERM and SIGINT arrive here as kMessageEndSession.
  std::optional<WindowMessage> PeekMessage(std::chrono::steady_clock::time_point deadline) override;
  void TranslateMessage(const WindowMessage&) override {}
  std::intptr_t DispatchMessage(const WindowMessage& message) override;
  void PostQuitMessage(int exit_code) override;
  // A close command let through closes the window; nothing else needs doing.
  std::intptr_t DefaultWindowProcedure(const WindowMessage& message) override;
  void SetTimer(PlatformWindow window, std::uintptr_t id, std::uint32_t milliseconds) override;
  void KillTimer(PlatformWindow window, std::uintptr_t id) override;

  // The screen locker (xscreensaver) keeps the password, not the saver.
  void ChangePassword(PlatformWindow) override {}

  // The OpenGL device stands in for Direct3D; the object only marks that
  // drawing is possible at all, and the device code lists its adapters.
  std::unique_ptr<Direct3D> CreateDirect3D() override;

  // The window system's events; null for none. Must outlive its use.
  void SetEventSource(EventSource* source);

 private:
  using Clock = std::chrono::steady_clock;
  struct Timer {
    PlatformWindow window;
    std::uintptr_t id;
    Clock::duration period;
    Clock::time_point due;
  };

  // Posts kMessageEndSession for each SIGTERM or SIGINT, until stopped.
  void ForwardSignals();
  std::optional<WindowMessage> TakeQueued(PlatformWindow window);
  std::optional<WindowMessage> TakeDueTimer(PlatformWindow window, Clock::time_point now);

  std::u16string command_line_;
  bool idle_priority_;
  WindowProcedure procedure_;
  std::mutex mutex_;  // guards queue_ and quit_posted_: sound threads post too
  std::condition_variable posted_;
  std::deque<WindowMessage> queue_;
  bool quit_posted_ = false;
  std::vector<Timer> timers_;
  EventSource* events_ = nullptr;
  int signal_pipe_[2] = {-1, -1};
  std::thread signal_thread_;
};

}  // namespace lumi
