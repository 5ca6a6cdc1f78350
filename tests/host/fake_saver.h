// A platform and host parts that record every call in one shared log, for
// checking the order of start-up and the run modes.
#pragma once

#include <deque>
#include <string>
#include <vector>

#include "archive/utf.h"
#include "host/saver_parts.h"
#include "host/screensaver.h"
#include "platform/saver_platform.h"

namespace lumi::test {

using CallLog = std::vector<std::string>;

class FakePlatform : public SaverPlatform {
 public:
  explicit FakePlatform(CallLog& log) : log_(log) {}

  std::u16string command_line = u"saver.scr /s";
  bool direct3d_available = true;
  // Whether a timer's message arrives; GetMessage answers quit once the
  // queue is empty.
  bool timers_fire = true;
  std::deque<WindowMessage> queue;

  void LowerThreadToIdlePriority() override { log_.push_back("LowerThreadToIdlePriority"); }
  std::u16string CommandLine() override {
    log_.push_back("CommandLine");
    return command_line;
  }
  void ShowMessageBox(PlatformWindow owner, std::u16string_view text, std::u16string_view title,
                      std::uint32_t icon) override {
    log_.push_back("MessageBox " + std::to_string(owner) + " [" + ToUtf8(title) + "] " + ToUtf8(text) + " icon " +
                   std::to_string(icon));
  }
  void SetWindowProcedure(WindowProcedure procedure) override { procedure_ = std::move(procedure); }
  void PostMessage(const WindowMessage& m) override {
    log_.push_back("PostMessage " + Describe(m));
    queue.push_back(m);
  }
  std::optional<WindowMessage> GetMessage(PlatformWindow window) override {
    log_.push_back("GetMessage " + std::to_string(window));
    if (queue.empty()) return std::nullopt;
    const WindowMessage m = queue.front();
    queue.pop_front();
    return m;
  }
  std::optional<WindowMessage> PeekMessage(std::chrono::steady_clock::time_point) override {
    if (queue.empty()) return std::nullopt;
    const WindowMessage m = queue.front();
    queue.pop_front();
    return m;
  }
  void TranslateMessage(const WindowMessage& m) override { log_.push_back("TranslateMessage " + Describe(m)); }
  std::intptr_t DispatchMessage(const WindowMessage& m) override {
    log_.push_back("DispatchMessage " + Describe(m));
    return procedure_(m);
  }
  void PostQuitMessage(int code) override { log_.push_back("PostQuitMessage " + std::to_string(code)); }
  std::intptr_t DefaultWindowProcedure(const WindowMessage& m) override {
    log_.push_back("DefaultWindowProcedure " + Describe(m));
    return 7;
  }
  // A timer fires at once: its message joins the queue.
  void SetTimer(PlatformWindow window, std::uintptr_t id, std::uint32_t ms) override {
    log_.push_back("SetTimer " + std::to_string(window) + " " + std::to_string(id) + " " + std::to_string(ms));
    if (timers_fire) queue.push_back({window, kMessageTimer, id, 0});
  }
  void KillTimer(PlatformWindow window, std::uintptr_t id) override {
    log_.push_back("KillTimer " + std::to_string(window) + " " + std::to_string(id));
  }
  void ChangePassword(PlatformWindow parent) override { log_.push_back("ChangePassword " + std::to_string(parent)); }
  std::unique_ptr<Direct3D> CreateDirect3D() override {
    log_.push_back("CreateDirect3D");
    return direct3d_available ? std::make_unique<Direct3D>() : nullptr;
  }

  static std::string Describe(const WindowMessage& m) {
    return std::to_string(m.window) + " " + std::to_string(m.message) + " " + std::to_string(m.wparam);
  }

 private:
  CallLog& log_;
  WindowProcedure procedure_;
};

class FakeParts : public SaverParts {
 public:
  explicit FakeParts(CallLog& log) : log_(log) {}

  WindowHandle window_to_create = 0;
  HResult windows_result = kSuccess;
  HResult device_list_result = kSuccess;
  bool usable_device = true;
  HResult loop_result = kSuccess;
  long media_event = -1;

  void EnumerateMonitors() override { log_.push_back("EnumerateMonitors"); }
  HResult CreateSaverWindows(CD3DScreensaver& host) override {
    log_.push_back("CreateSaverWindows");
    host.main_window_ = window_to_create;
    return windows_result;
  }
  HResult BuildDeviceList() override {
    log_.push_back("BuildDeviceList");
    return device_list_result;
  }
  bool HasUsableDevice() const override {
    log_.push_back("HasUsableDevice");
    return usable_device;
  }
  void ReadScreenSettings(SaverSettings&) override { log_.push_back("ReadScreenSettings"); }
  void CreateMediaGraph(WindowHandle window) override { log_.push_back("CreateMediaGraph " + std::to_string(window)); }
  HResult RunSaverLoop(CD3DScreensaver& host) override {
    log_.push_back(std::string("RunSaverLoop") + (host.direct3d_ ? " with Direct3D" : ""));
    return loop_result;
  }
  long GetMediaEvent() override {
    log_.push_back("GetMediaEvent");
    return media_event;
  }
  void Cleanup3D(CD3DScreensaver&) override { log_.push_back("Cleanup3D"); }
  void OnWindowResized(WindowHandle window) override { log_.push_back("OnWindowResized " + std::to_string(window)); }
  void PaintError(CD3DScreensaver&, WindowHandle window) override { log_.push_back("PaintError " + std::to_string(window)); }
  void FreeAdapters() override { log_.push_back("FreeAdapters"); }

 private:
  CallLog& log_;
};

}  // namespace lumi::test
