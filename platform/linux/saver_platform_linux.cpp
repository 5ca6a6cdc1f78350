#include "platform/linux/saver_platform_linux.h"

#include <signal.h>
#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstdio>
#include <thread>

#include "archive/utf.h"

namespace lumi {
namespace {

// SIGTERM and SIGINT write a byte into this pipe (writing is all a signal
// handler may safely do); a thread turns it into a message, which wakes
// the loop however long it waits. -1 while no platform listens.
std::atomic<int> g_signalPipe{-1};

constexpr char kSignalByte = 's';
constexpr char kStopByte = 'q';

void OnEndSignal(int) {
  const int saved = errno;
  if (const int pipe = g_signalPipe.load(); pipe >= 0) {
    [[maybe_unused]] const ssize_t written = write(pipe, &kSignalByte, 1);
  }
  errno = saved;
}

}  // namespace

LinuxSaverPlatform::LinuxSaverPlatform(std::u16string command_line, bool idle_priority)
    : command_line_(std::move(command_line)), idle_priority_(idle_priority) {
  if (pipe(signal_pipe_) == 0) {
    g_signalPipe.store(signal_pipe_[1]);
    signal_thread_ = std::thread([this] { ForwardSignals(); });
  }
  struct sigaction action {};
  action.sa_handler = OnEndSignal;
  action.sa_flags = SA_RESTART;
  sigemptyset(&action.sa_mask);
  sigaction(SIGTERM, &action, nullptr);
  sigaction(SIGINT, &action, nullptr);
}

LinuxSaverPlatform::~LinuxSaverPlatform() {
  signal(SIGTERM, SIG_DFL);
  signal(SIGINT, SIG_DFL);
  g_signalPipe.store(-1);
  if (signal_thread_.joinable()) {
    [[maybe_unused]] const ssize_t written = write(signal_pipe_[1], &kStopByte, 1);
    signal_thread_.join();
    close(signal_pipe_[0]);
    close(signal_pipe_[1]);
  }
}

void LinuxSaverPlatform::ForwardSignals() {
  for (;;) {
    char byte = 0;
    const ssize_t got = read(signal_pipe_[0], &byte, 1);
    if (got < 0 && errno == EINTR) continue;
    if (got != 1 || byte == kStopByte) return;
    PostMessage({0, kMessageEndSession, 1, 0});
  }
}

void LinuxSaverPlatform::LowerThreadToIdlePriority() {
  if (!idle_priority_) return;
  // SCHED_IDLE, Linux's nearest to THREAD_PRIORITY_IDLE, gets next to no
  // time while anything else keeps the processors busy: the saver would
  // never get past "Loading..." during a build. A nice value of 10 yields
  // to other work and still draws. A thread niced already (xscreensaver
  // nices its programs) keeps what it was given. The nice value belongs to
  // this thread alone; threads started later inherit it.
  const pid_t thread = gettid();
  errno = 0;
  const int nice = getpriority(PRIO_PROCESS, static_cast<id_t>(thread));
  if (errno == 0 && nice > 0) return;
  setpriority(PRIO_PROCESS, static_cast<id_t>(thread), kSaverNice);
}

void LinuxSaverPlatform::ShowMessageBox(PlatformWindow, std::u16string_view text, std::u16string_view title,
                                        std::uint32_t) {
  std::fprintf(stderr, "%s: %s\n", ToUtf8(title).c_str(), ToUtf8(text).c_str());
}

void LinuxSaverPlatform::SetEventSource(EventSource* source) {
  std::lock_guard lock(mutex_);
  events_ = source;
}

void LinuxSaverPlatform::PostMessage(const WindowMessage& message) {
  EventSource* events = nullptr;
  {
    std::lock_guard lock(mutex_);
    queue_.push_back(message);
    events = events_;
  }
  posted_.notify_all();
  if (events) events->Wake();
}

std::optional<WindowMessage> LinuxSaverPlatform::TakeQueued(PlatformWindow window) {
  std::lock_guard lock(mutex_);
  const auto queued = std::find_if(queue_.begin(), queue_.end(),
                                   [window](const WindowMessage& m) { return window == 0 || m.window == window; });
  if (queued == queue_.end()) return std::nullopt;
  const WindowMessage message = *queued;
  queue_.erase(queued);
  return message;
}

std::optional<WindowMessage> LinuxSaverPlatform::TakeDueTimer(PlatformWindow window, Clock::time_point now) {
  for (Timer& timer : timers_) {
    if ((window == 0 || timer.window == window) && timer.due <= now) {
      timer.due = now + timer.period;
      return WindowMessage{timer.window, kMessageTimer, timer.id, 0};
    }
  }
  return std::nullopt;
}

std::optional<WindowMessage> LinuxSaverPlatform::GetMessage(PlatformWindow window) {
  if (std::optional<WindowMessage> queued = TakeQueued(window)) return queued;
  {
    std::lock_guard lock(mutex_);
    if (quit_posted_) {
      quit_posted_ = false;
      return std::nullopt;
    }
  }
  const Timer* next = nullptr;
  for (const Timer& timer : timers_) {
    if ((window == 0 || timer.window == window) && (next == nullptr || timer.due < next->due)) next = &timer;
  }
  if (next == nullptr) return std::nullopt;
  std::this_thread::sleep_until(next->due);
  return TakeDueTimer(window, next->due);
}

std::optional<WindowMessage> LinuxSaverPlatform::PeekMessage(Clock::time_point deadline) {
  // The window system is asked at least once, so that input is seen even
  // when frames run late.
  bool asked = false;
  for (;;) {
    if (std::optional<WindowMessage> queued = TakeQueued(0)) return queued;
    {
      std::lock_guard lock(mutex_);
      if (quit_posted_) {
        quit_posted_ = false;
        return WindowMessage{0, kMessageQuit, 0, 0};
      }
    }
    const Clock::time_point now = Clock::now();
    if (std::optional<WindowMessage> timer = TakeDueTimer(0, now)) return timer;
    if (now >= deadline && asked) return std::nullopt;
    Clock::time_point until = std::max(now, deadline);
    for (const Timer& timer : timers_) until = std::max(now, std::min(until, timer.due));
    std::unique_lock lock(mutex_);
    if (events_ != nullptr) {
      EventSource* events = events_;
      lock.unlock();
      events->WaitForEvents(until);
    } else {
      posted_.wait_until(lock, until, [this] { return !queue_.empty() || quit_posted_; });
    }
    asked = true;
  }
}

std::intptr_t LinuxSaverPlatform::DispatchMessage(const WindowMessage& message) {
  return procedure_ ? procedure_(message) : 0;
}

void LinuxSaverPlatform::PostQuitMessage(int) {
  EventSource* events = nullptr;
  {
    std::lock_guard lock(mutex_);
    quit_posted_ = true;
    events = events_;
  }
  posted_.notify_all();
  if (events) events->Wake();
}

std::intptr_t LinuxSaverPlatform::DefaultWindowProcedure(const WindowMessage& message) {
  if (message.message == kMessageSysCommand && message.wparam == kCommandClose) {
    PostMessage({message.window, kMessageDestroy, 0, 0});
  }
  return 0;
}

void LinuxSaverPlatform::SetTimer(PlatformWindow window, std::uintptr_t id, std::uint32_t milliseconds) {
  KillTimer(window, id);
  const Clock::duration period = std::chrono::milliseconds(milliseconds);
  timers_.push_back(Timer{window, id, period, Clock::now() + period});
}

void LinuxSaverPlatform::KillTimer(PlatformWindow window, std::uintptr_t id) {
  std::erase_if(timers_, [&](const Timer& t) { return t.window == window && t.id == id; });
}

std::unique_ptr<Direct3D> LinuxSaverPlatform::CreateDirect3D() { return std::make_unique<Direct3D>(); }

}  // namespace lumi
