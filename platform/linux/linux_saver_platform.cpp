#include "platform/linux/linux_saver_platform.h"

#include <pthread.h>
#include <sched.h>

#include <algorithm>
#include <cstdio>
#include <thread>

#include "archive/utf.h"

namespace lumi {

void LinuxSaverPlatform::LowerThreadToIdlePriority() {
  // SCHED_IDLE runs the thread only when nothing else wants the processor,
  // as THREAD_PRIORITY_IDLE does; a refusal leaves the priority as it was.
  sched_param parameters{};
  pthread_setschedparam(pthread_self(), SCHED_IDLE, &parameters);
}

void LinuxSaverPlatform::ShowMessageBox(PlatformWindow, std::u16string_view text, std::u16string_view title,
                                        std::uint32_t) {
  std::fprintf(stderr, "%s: %s\n", ToUtf8(title).c_str(), ToUtf8(text).c_str());
}

std::optional<WindowMessage> LinuxSaverPlatform::GetMessage(PlatformWindow window) {
  auto forWindow = [window](PlatformWindow w) { return window == 0 || w == window; };
  const auto queued =
      std::find_if(queue_.begin(), queue_.end(), [&](const WindowMessage& m) { return forWindow(m.window); });
  if (queued != queue_.end()) {
    const WindowMessage message = *queued;
    queue_.erase(queued);
    return message;
  }
  if (quitPosted_) {
    quitPosted_ = false;
    return std::nullopt;
  }
  Timer* next = nullptr;
  for (Timer& timer : timers_) {
    if (forWindow(timer.window) && (next == nullptr || timer.due < next->due)) next = &timer;
  }
  if (next == nullptr) return std::nullopt;
  std::this_thread::sleep_until(next->due);
  next->due += next->period;
  return WindowMessage{next->window, kMessageTimer, next->id, 0};
}

std::intptr_t LinuxSaverPlatform::DispatchMessage(const WindowMessage& message) {
  return procedure_ ? procedure_(message) : 0;
}

void LinuxSaverPlatform::PostQuitMessage(int) { quitPosted_ = true; }

void LinuxSaverPlatform::SetTimer(PlatformWindow window, std::uintptr_t id, std::uint32_t milliseconds) {
  KillTimer(window, id);
  const Clock::duration period = std::chrono::milliseconds(milliseconds);
  timers_.push_back(Timer{window, id, period, Clock::now() + period});
}

void LinuxSaverPlatform::KillTimer(PlatformWindow window, std::uintptr_t id) {
  std::erase_if(timers_, [&](const Timer& t) { return t.window == window && t.id == id; });
}

std::unique_ptr<Direct3D> LinuxSaverPlatform::CreateDirect3D(std::uint32_t) { return std::make_unique<Direct3D>(); }

}  // namespace lumi
