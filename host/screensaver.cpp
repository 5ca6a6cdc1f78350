#include "host/screensaver.h"

#include <cstdio>

#include "archive/utf.h"
#include "host/saver_settings.h"
#include "host/scene_host.h"
#include "host/settings_listing.h"
#include "host/string_table.h"
#include "sound/scene_sound.h"

namespace lumi {

CD3DScreensaver::CD3DScreensaver(SaverPlatform& platform, SaverParts& parts) : platform_(platform), parts_(parts) {
  // As the class-level procedure of the saver's windows: nothing thrown
  // while serving a message may end the saver's loop.
  platform_.SetWindowProcedure([this](const WindowMessage& m) -> std::intptr_t {
    try {
      return WindowProc(m.window, m.message, m.wparam, m.lparam);
    } catch (...) {
      return 1;
    }
  });
}

CD3DScreensaver::~CD3DScreensaver() { platform_.SetWindowProcedure(nullptr); }

void CD3DScreensaver::RecordError(HResult code) {
  errorOccurred = true;
  errorCode = code;
}

HResult CD3DScreensaver::Create(ModuleInstance moduleInstance) {
  platform_.LowerThreadToIdlePriority();
  instance = moduleInstance;
  const ParsedCommandLine parsed = ParseCommandLine(platform_.CommandLine());
  mode = parsed.mode;
  parentWindow = parsed.parentWindow;

  parts_.EnumerateMonitors(*this);
  const bool drawing = mode == ModePreview || mode == ModeFull || mode == ModeTest;
  if (drawing) {
    const HResult created = parts_.CreateSaverWindows(*this);
    if (Failed(created)) RecordError(created);
  }
  if (mode == ModePreview) WaitForPreviewWindow();

  direct3D = platform_.CreateDirect3D();
  if (!direct3D) {
    RecordError(kErrorNoDirect3D);
    return kSuccess;
  }
  if (const HResult prepared = PrepareDirect3D(); Failed(prepared)) {
    RecordError(prepared);
    return kSuccess;
  }
  if (const HResult listed = parts_.BuildDeviceList(*this); Failed(listed)) {
    RecordError(listed);
    return kSuccess;
  }
  if (!parts_.HasUsableDevice(*this)) {
    RecordError(kErrorNoCompatibleDevices);
    return kSuccess;
  }
  LoadSettings();
  if (mode == ModeFull || mode == ModeTest) parts_.CreateMediaGraph(*this, mainWindow);
  return kSuccess;
}

// The Display control panel shows its preview window only after it has
// started us; drawing before then would be lost. Without a window (its
// creation failed) no message could ever end the wait, so there is none.
void CD3DScreensaver::WaitForPreviewWindow() {
  if (mainWindow == 0) return;
  waitingForPreview = true;
  platform_.PostMessage({mainWindow, kMessageUser, 0, 0});
  while (waitingForPreview) {
    const std::optional<WindowMessage> message = platform_.GetMessage(mainWindow);
    if (!message) {
      // Leave the quit for the saver loop to see.
      platform_.PostQuitMessage(0);
      waitingForPreview = false;
      break;
    }
    platform_.TranslateMessage(*message);
    platform_.DispatchMessage(*message);
  }
}

std::intptr_t CD3DScreensaver::WindowProc(WindowHandle window, std::uint32_t message, std::uintptr_t wparam,
                                          std::intptr_t lparam) {
  const WindowMessage m{window, message, wparam, lparam};
  switch (message) {
    case kMessageDestroy:
      if (mode == ModePreview || mode == ModeTest) Shutdown();
      break;
    case kMessageEndSession:
      if (wparam != 0) Shutdown();
      break;
    case kMessageSize:
      parts_.OnWindowResized(*this, window);
      break;
    case kMessagePaint:
      PaintError(window, 0);
      return 0;
    case kMessageEraseBackground:
      return 1;
    case kMessageActivateApp:
      if (wparam == 0 && mode != ModeTest) Interrupt();
      break;
    case kMessageKeyDown:
    case kMessageLeftButtonDown:
    case kMessageRightButtonDown:
    case kMessageMiddleButtonDown:
      if (mode != ModeTest) Interrupt();
      break;
    case kMessageSetCursor:
      if (mode == ModeFull && !checkingPassword) return 1;
      break;
    case kMessageSysCommand:
      if (mode == ModeFull && (wparam == kCommandNextWindow || wparam == kCommandPrevWindow ||
                               wparam == kCommandClose || wparam == kCommandScreenSave)) {
        return 0;
      }
      break;
    case kMessageTimer:
      if (wparam == kPreviewTimer) {
        waitingForPreview = false;
        platform_.KillTimer(window, kPreviewTimer);
      }
      break;
    case kMessageMouseMove:
      if (mode != ModeTest) {
        const int x = MouseX(lparam), y = MouseY(lparam);
        if (x != lastMouseX || y != lastMouseY) {
          lastMouseX = x;
          lastMouseY = y;
          if (++mouseMoveCount > 5) Interrupt();
        }
      }
      break;
    case kMessagePowerBroadcast:
      if (wparam == kPowerSuspend) Interrupt();
      break;
    case kMessageUser:
      platform_.SetTimer(window, kPreviewTimer, kPreviewTimerMilliseconds);
      break;
    case kMessageMediaEvent:
      OnMediaEvent(parts_.GetMediaEvent());
      break;
    default:
      break;
  }
  return platform_.DefaultWindowProcedure(m);
}

void CD3DScreensaver::Interrupt() {
  if (mode != ModeTest && !(mode == ModeFull && !checkingPassword)) return;
  Shutdown();
}

void CD3DScreensaver::Shutdown() {
  parts_.Cleanup3D(*this);
  OnShutdown();
  platform_.PostQuitMessage(0);
}

void CD3DScreensaver::PaintError(WindowHandle window, DeviceContext) {
  // A preview without an error is simply black; the error box knows that.
  parts_.PaintError(*this, window);
}

HResult CD3DScreensaver::Run() {
  switch (mode) {
    case ModeConfigure:
      if (errorOccurred) {
        ShowError(errorCode);
      } else {
        ShowConfiguration();
      }
      break;
    case ModePreview:
    case ModeFull:
    case ModeTest:
      if (const HResult result = parts_.RunSaverLoop(*this); Failed(result)) ShowError(result);
      break;
    case ModeChangePassword:
      platform_.ChangePassword(parentWindow);
      break;
    case ModeReservedN:
      OnReservedMode(0);
      break;
    case ModeReservedR:
      break;
  }
  parts_.FreeAdapters(*this);
  direct3D.reset();
  return 0;
}

bool CD3DScreensaver::LookUpErrorText(HResult code, char16_t* buffer, std::size_t capacity) {
  return lumi::LookUpErrorText(code, buffer, capacity);
}

void CD3DScreensaver::ShowError(HResult code) {
  char16_t text[kErrorTextCapacity];
  LookUpErrorText(code, text, kErrorTextCapacity);
  platform_.ShowMessageBox(mainWindow, text, windowTitle, kIconError);
}

CVovorScreensaver::CVovorScreensaver(SaverPlatform& platform, SaverParts& parts, SceneHost* scene,
                                     SaverSettings* settings)
    : CD3DScreensaver(platform, parts), scene_(scene), settings_(settings) {
  char16_t title[kWindowTitleCapacity];
  LoadString(kStringWindowTitle, title, kWindowTitleCapacity);
  windowTitle = title;
}

void CVovorScreensaver::ShowConfiguration() {
  if (configuration_dialogs_) {
    configuration_dialogs_(parentWindow);
  } else if (settings_) {
    std::fputs(SettingsListing(*settings_).c_str(), stdout);
  }
}

void CVovorScreensaver::LoadSettings() {
  if (settings_) parts_.ReadScreenSettings(*settings_);
}

void CVovorScreensaver::SelectUnit(int unitIndex) {
  if (scene_) scene_->SelectUnit(unitIndex, currentDevice);
}

HResult CVovorScreensaver::OnDeviceReset() {
  if (!scene_) return kSuccess;
  try {
    scene_->OnDeviceReset(mainWindow);
  } catch (...) {
    // The sound device is optional to drawing but not to the saver.
    RecordError(kErrorMediaMissing);
  }
  return kSuccess;
}

HResult CVovorScreensaver::Render() {
  if (!scene_) return kSuccess;
  const HResult result = scene_->Render(appTime);
  // The box says what was wrong with the document after the table's text.
  if (Failed(result) && errorText.empty()) {
    if (const std::string reason = scene_->FailureReason(); !reason.empty()) {
      lumi::LookUpErrorText(result, errorText);
      errorText += u"  " + FromUtf8(reason);
    }
  }
  return result;
}

HResult CVovorScreensaver::OnDeviceLost() {
  if (scene_) scene_->OnDeviceLost();
  return kSuccess;
}

HResult CVovorScreensaver::OnDeviceDestroyed() {
  if (scene_) scene_->OnDeviceDestroyed();
  return kSuccess;
}

void CVovorScreensaver::OnMediaEvent(long eventCode) {
  if (scene_) scene_->OnMediaEvent(eventCode);
}

}  // namespace lumi
