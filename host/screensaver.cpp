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
  error_occurred_ = true;
  error_code_ = code;
}

HResult CD3DScreensaver::Create() {
  platform_.LowerThreadToIdlePriority();
  const ParsedCommandLine parsed = ParseCommandLine(platform_.CommandLine());
  mode_ = parsed.mode;
  parent_window_ = parsed.parent_window;

  parts_.EnumerateMonitors();
  const bool drawing = mode_ == ModePreview || mode_ == ModeFull || mode_ == ModeTest;
  if (drawing) {
    const HResult created = parts_.CreateSaverWindows(*this);
    if (Failed(created)) RecordError(created);
  }
  if (mode_ == ModePreview) WaitForPreviewWindow();

  direct3d_ = platform_.CreateDirect3D();
  if (!direct3d_) {
    RecordError(kErrorNoDirect3D);
    return kSuccess;
  }
  if (const HResult prepared = PrepareDirect3D(); Failed(prepared)) {
    RecordError(prepared);
    return kSuccess;
  }
  if (const HResult listed = parts_.BuildDeviceList(); Failed(listed)) {
    RecordError(listed);
    return kSuccess;
  }
  if (!parts_.HasUsableDevice()) {
    RecordError(kErrorNoCompatibleDevices);
    return kSuccess;
  }
  LoadSettings();
  if (mode_ == ModeFull || mode_ == ModeTest) parts_.CreateMediaGraph(main_window_);
  return kSuccess;
}

// The Display control panel shows its preview window only after it has
// started us; drawing before then would be lost. Without a window (its
// creation failed) no message could ever end the wait, so there is none.
void CD3DScreensaver::WaitForPreviewWindow() {
  if (main_window_ == 0) return;
  waiting_for_preview_ = true;
  platform_.PostMessage({main_window_, kMessageUser, 0, 0});
  while (waiting_for_preview_) {
    const std::optional<WindowMessage> message = platform_.GetMessage(main_window_);
    if (!message) {
      // Leave the quit for the saver loop to see.
      platform_.PostQuitMessage(0);
      waiting_for_preview_ = false;
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
      if (mode_ == ModePreview || mode_ == ModeTest) Shutdown();
      break;
    case kMessageEndSession:
      if (wparam != 0) Shutdown();
      break;
    case kMessageSize:
      parts_.OnWindowResized(window);
      break;
    case kMessagePaint:
      PaintError(window, 0);
      return 0;
    case kMessageEraseBackground:
      return 1;
    case kMessageActivateApp:
      if (wparam == 0 && mode_ != ModeTest) Interrupt();
      break;
    case kMessageKeyDown:
    case kMessageLeftButtonDown:
    case kMessageRightButtonDown:
    case kMessageMiddleButtonDown:
      if (mode_ != ModeTest) Interrupt();
      break;
    case kMessageSetCursor:
      if (mode_ == ModeFull && !checking_password_) return 1;
      break;
    case kMessageSysCommand:
      if (mode_ == ModeFull && (wparam == kCommandNextWindow || wparam == kCommandPrevWindow ||
                                wparam == kCommandClose || wparam == kCommandScreenSave)) {
        return 0;
      }
      break;
    case kMessageTimer:
      if (wparam == kPreviewTimer) {
        waiting_for_preview_ = false;
        platform_.KillTimer(window, kPreviewTimer);
      }
      break;
    case kMessageMouseMove:
      if (mode_ != ModeTest) {
        const int x = MouseX(lparam), y = MouseY(lparam);
        if (x != last_mouse_x_ || y != last_mouse_y_) {
          last_mouse_x_ = x;
          last_mouse_y_ = y;
          if (++mouse_move_count_ > 5) Interrupt();
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
  if (mode_ != ModeTest && !(mode_ == ModeFull && !checking_password_)) return;
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
  switch (mode_) {
    case ModeConfigure:
      if (error_occurred_) {
        ShowError(error_code_);
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
      platform_.ChangePassword(parent_window_);
      break;
    case ModeReservedN:
      OnReservedMode(0);
      break;
    case ModeReservedR:
      break;
  }
  parts_.FreeAdapters();
  direct3d_.reset();
  return 0;
}

bool CD3DScreensaver::LookUpErrorText(HResult code, char16_t* buffer, std::size_t capacity) {
  return lumi::LookUpErrorText(code, buffer, capacity);
}

void CD3DScreensaver::ShowError(HResult code) {
  char16_t text[kErrorTextCapacity];
  LookUpErrorText(code, text, kErrorTextCapacity);
  platform_.ShowMessageBox(main_window_, text, window_title_, kIconError);
}

CVovorScreensaver::CVovorScreensaver(SaverPlatform& platform, SaverParts& parts, SceneHost* scene,
                                     SaverSettings* settings)
    : CD3DScreensaver(platform, parts), scene_(scene), settings_(settings) {
  char16_t title[kWindowTitleCapacity];
  LoadString(kStringWindowTitle, title, kWindowTitleCapacity);
  window_title_ = title;
}

void CVovorScreensaver::ShowConfiguration() {
  if (configuration_dialogs_) {
    configuration_dialogs_(parent_window_);
  } else if (settings_) {
    std::fputs(SettingsListing(*settings_).c_str(), stdout);
  }
}

void CVovorScreensaver::LoadSettings() {
  if (settings_) parts_.ReadScreenSettings(*settings_);
}

void CVovorScreensaver::SelectUnit(int unit_index) {
  if (scene_) scene_->SelectUnit(unit_index, current_device_);
}

HResult CVovorScreensaver::OnDeviceReset() {
  if (!scene_) return kSuccess;
  try {
    scene_->OnDeviceReset(main_window_);
  } catch (...) {
    // The sound device is optional to drawing but not to the saver.
    RecordError(kErrorMediaMissing);
  }
  return kSuccess;
}

HResult CVovorScreensaver::Render() {
  if (!scene_) return kSuccess;
  const HResult result = scene_->Render(app_time_);
  // The box says what was wrong with the document after the table's text.
  if (Failed(result) && error_text_.empty()) {
    if (const std::string reason = scene_->FailureReason(); !reason.empty()) {
      lumi::LookUpErrorText(result, error_text_);
      error_text_ += u"  " + FromUtf8(reason);
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

void CVovorScreensaver::OnMediaEvent(long event_code) {
  if (scene_) scene_->OnMediaEvent(event_code);
}

}  // namespace lumi
