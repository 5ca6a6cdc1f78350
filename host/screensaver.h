// The screen-saver host: CD3DScreensaver, the generic host with its 24
// virtual operations in slot order, and CVovorScreensaver, the host that
// plays the embedded scene document. Start-up (`Create`), the run modes
// (`Run`), the saver window's procedure and the quit rules live here;
// monitors, devices, windows, the frame cycle and the media graph are
// reached through SaverParts.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "host/command_line.h"
#include "host/result_codes.h"
#include "host/saver_parts.h"
#include "platform/saver_platform.h"

namespace lumi {

using DeviceContext = std::uintptr_t;

class GraphicsDevice;
class SaverSettings;
class SceneHost;

inline constexpr std::uintptr_t kPreviewTimer = 1;
inline constexpr std::uint32_t kPreviewTimerMilliseconds = 500;
inline constexpr std::size_t kWindowTitleCapacity = 200;

class CD3DScreensaver {
 public:
  CD3DScreensaver(SaverPlatform& platform, SaverParts& parts);
  virtual ~CD3DScreensaver();
  CD3DScreensaver(const CD3DScreensaver&) = delete;
  CD3DScreensaver& operator=(const CD3DScreensaver&) = delete;

  // Slots 0 to 23. Nothing displays the diagnostics (8, 9), and device
  // acceptance and checks (13, 14) are the device choice's, so those slots
  // are gone. Create always succeeds: a failing step is remembered in
  // error_occurred_/error_code_.
  virtual HResult Create();
  // Returns 0.
  virtual HResult Run();
  virtual void ShowConfiguration() {}
  virtual void OnReservedMode(WindowHandle /*parent*/) {}
  virtual void LoadSettings() {}
  virtual void PaintError(WindowHandle window, DeviceContext dc);
  virtual std::intptr_t WindowProc(WindowHandle window, std::uint32_t message, std::uintptr_t wparam,
                                   std::intptr_t lparam);
  virtual bool LookUpErrorText(HResult code, char16_t* buffer, std::size_t capacity);
  virtual void SelectUnit(int /*unit_index*/) {}
  virtual HResult PrepareDirect3D() { return kSuccess; }
  virtual HResult InitializeScene() { return kSuccess; }
  virtual HResult OnDeviceCreated() { return kSuccess; }
  virtual HResult OnDeviceReset() { return kSuccess; }
  virtual HResult Advance() { return kSuccess; }
  virtual HResult Render() { return kSuccess; }
  virtual HResult OnDeviceLost() { return kSuccess; }
  virtual HResult OnDeviceDestroyed() { return kSuccess; }
  virtual HResult OnShutdown() { return kSuccess; }
  virtual void OnMediaEvent(long /*event_code*/) {}

  // The error's text in a message box titled with the window title.
  void ShowError(HResult code);
  void RecordError(HResult code);

  // A quit rule fired: in test and full-screen mode the devices go and the
  // loop is told to end; preview ends only when its window goes.
  void Interrupt();
  // The window went or the process is asked to end: every mode ends.
  void Shutdown();

  SaverMode mode_ = ModeConfigure;
  WindowHandle parent_window_ = 0;
  WindowHandle main_window_ = 0;
  std::u16string window_title_ = u"Screen Saver";
  bool error_occurred_ = false;
  HResult error_code_ = kSuccess;
  std::u16string error_text_;
  std::unique_ptr<Direct3D> direct3d_;
  // Set while the preview waits for the Display control panel.
  bool waiting_for_preview_ = false;

  // Input since the saver started; the position starts at -1, -1 so that
  // the first move counts.
  std::uint32_t mouse_move_count_ = 0;
  int last_mouse_x_ = -1, last_mouse_y_ = -1;
  // Set while Windows 9x's password dialog is up, which stops the quit
  // rules; that system's hooks are never present where we run.
  bool checking_password_ = false;

  // The unit being drawn and the time of the frame since the loop started.
  // Seconds are doubles: single precision steps by about 2 ms after 8 hours.
  GraphicsDevice* current_device_ = nullptr;
  double app_time_ = 0;
  double elapsed_time_ = 0;

 protected:
  SaverPlatform& platform_;
  SaverParts& parts_;

 private:
  void WaitForPreviewWindow();
};

inline constexpr char16_t kSettingsKeyPath[] = u"Software\\Quillborne\\Lumivex\\Screensaver\\";

// Its scene host draws each unit and serves the sound's events (slots 11,
// 17, 19, 20, 21, 23) and its settings choose the screens' devices (4);
// without them (a build that cannot draw) those slots keep the base's
// behaviour. The configuration shows the platform's dialogs where it has
// them and lists the settings otherwise.
class CVovorScreensaver : public CD3DScreensaver {
 public:
  CVovorScreensaver(SaverPlatform& platform, SaverParts& parts, SceneHost* scene = nullptr,
                    SaverSettings* settings = nullptr);

  // Shows the configuration dialogs owned by the given window (0 for none).
  using ConfigurationDialogs = std::function<void(WindowHandle owner)>;
  void SetConfigurationDialogs(ConfigurationDialogs dialogs) { configuration_dialogs_ = std::move(dialogs); }

  void ShowConfiguration() override;
  void LoadSettings() override;
  void SelectUnit(int unit_index) override;
  HResult OnDeviceReset() override;
  HResult Render() override;
  HResult OnDeviceLost() override;
  HResult OnDeviceDestroyed() override;
  void OnMediaEvent(long event_code) override;

 private:
  SceneHost* scene_;
  SaverSettings* settings_;
  ConfigurationDialogs configuration_dialogs_;
};

}  // namespace lumi
