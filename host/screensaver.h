// The screen-saver host: CD3DScreensaver, the generic host with its 24
// virtual operations in slot order, and CVovorScreensaver, the host that
// plays the embedded scene document. Start-up (`Create`) and the run modes
// (`Run`) live here; monitors, devices, windows, the frame cycle and the
// media graph are reached through SaverParts.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "host/command_line.h"
#include "host/result_codes.h"
#include "host/saver_parts.h"
#include "platform/saver_platform.h"

namespace lumi {

using ModuleInstance = std::uintptr_t;
using DeviceContext = std::uintptr_t;

// Described by the device code that fills them.
struct DeviceCaps;
class Direct3DDevice;

inline constexpr std::uint32_t kDirect3DSdkVersion = 32;
inline constexpr std::uintptr_t kPreviewTimer = 1;
inline constexpr std::uint32_t kPreviewTimerMilliseconds = 500;
inline constexpr std::size_t kWindowTitleCapacity = 200;

class CD3DScreensaver {
 public:
  CD3DScreensaver(SaverPlatform& platform, SaverParts& parts);
  virtual ~CD3DScreensaver();
  CD3DScreensaver(const CD3DScreensaver&) = delete;
  CD3DScreensaver& operator=(const CD3DScreensaver&) = delete;

  // Slots 0 to 23. The error box (5), the diagnostics (8, 9) and the saver
  // window's messages other than the preview wait (6) come with the frame
  // cycle; until then they do nothing or take the default procedure.
  // Create always succeeds: a failing step is remembered in errorOccurred/errorCode.
  virtual HResult Create(ModuleInstance instance);
  // Returns 0.
  virtual HResult Run();
  virtual void ShowConfiguration() {}
  virtual void OnReservedMode(WindowHandle /*parent*/) {}
  virtual void LoadSettings() {}
  virtual void PaintError(WindowHandle /*window*/, DeviceContext /*dc*/) {}
  virtual std::intptr_t WindowProc(WindowHandle window, std::uint32_t message, std::uintptr_t wparam,
                                   std::intptr_t lparam);
  virtual std::intptr_t SoundSettingsDialogProc(WindowHandle /*window*/, std::uint32_t /*message*/,
                                                std::uintptr_t /*wparam*/, std::intptr_t /*lparam*/) {
    return 0;
  }
  virtual void DescribeDevices() {}
  virtual void CountFrameRate() {}
  virtual bool LookUpErrorText(HResult code, char16_t* buffer, std::size_t capacity);
  virtual void SelectUnit(int /*unitIndex*/) {}
  virtual HResult PrepareDirect3D() { return kSuccess; }
  virtual HResult AcceptsDevice(const DeviceCaps& /*caps*/, std::uint32_t /*behaviour*/,
                                std::uint32_t /*adapterFormat*/) {
    return kSuccess;
  }
  virtual HResult CheckCreatedDevice(Direct3DDevice& /*device*/) { return kSuccess; }
  virtual HResult InitializeScene() { return kSuccess; }
  virtual HResult OnDeviceCreated() { return kSuccess; }
  virtual HResult OnDeviceReset() { return kSuccess; }
  virtual HResult Advance() { return kSuccess; }
  virtual HResult Render() { return kSuccess; }
  virtual HResult OnDeviceLost() { return kSuccess; }
  virtual HResult OnDeviceDestroyed() { return kSuccess; }
  virtual HResult OnShutdown() { return kSuccess; }
  virtual void OnMediaEvent(long /*eventCode*/) {}

  // The error's text in a message box titled with the window title.
  void ShowError(HResult code);
  void RecordError(HResult code);

  SaverMode mode = ModeConfigure;
  WindowHandle parentWindow = 0;
  ModuleInstance instance = 0;
  WindowHandle mainWindow = 0;
  std::u16string windowTitle = u"Screen Saver";
  bool errorOccurred = false;
  HResult errorCode = kSuccess;
  std::u16string errorText;
  std::unique_ptr<Direct3D> direct3D;
  std::u16string settingsKeyPath;
  // Set while the preview waits for the Display control panel.
  bool waitingForPreview = false;

  // Device policy.
  bool allowReferenceDevice = false;
  bool useDepthBuffer = false;
  bool multithreadedDevice = false;
  bool oneScreenOnly = true;
  std::uint32_t minDepthBits = 16;
  std::uint32_t minStencilBits = 0;
  std::uint32_t swapEffectFullscreen = 1;  // discard
  std::uint32_t swapEffectWindowed = 3;    // copy

 protected:
  SaverPlatform& platform_;
  SaverParts& parts_;

 private:
  void WaitForPreviewWindow();
  void ChangePassword();
};

inline constexpr char16_t kSettingsKeyPath[] = u"Software\\Quillborne\\Lumivex\\Screensaver\\";

// Its configuration dialog, settings, scene host and media events replace
// slots 2, 3, 4, 7, 11, 13, 17, 19, 20 and 23 as those parts are built.
class CVovorScreensaver : public CD3DScreensaver {
 public:
  CVovorScreensaver(SaverPlatform& platform, SaverParts& parts);
};

}  // namespace lumi
