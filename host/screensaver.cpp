#include "host/screensaver.h"

#include "host/string_table.h"

namespace lumi {

CD3DScreensaver::CD3DScreensaver(SaverPlatform& platform, SaverParts& parts) : platform_(platform), parts_(parts) {
  platform_.SetWindowProcedure([this](const WindowMessage& m) {
    return WindowProc(m.window, m.message, m.wparam, m.lparam);
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

  direct3D = platform_.CreateDirect3D(kDirect3DSdkVersion);
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
  if (waitingForPreview && message == kMessageUser) {
    platform_.SetTimer(window, kPreviewTimer, kPreviewTimerMilliseconds);
    return 0;
  }
  if (waitingForPreview && message == kMessageTimer && wparam == kPreviewTimer) {
    waitingForPreview = false;
    platform_.KillTimer(window, kPreviewTimer);
    return 0;
  }
  return platform_.DefaultWindowProcedure({window, message, wparam, lparam});
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
      ChangePassword();
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

// The legacy password service of the Windows 9x family; wherever it is
// missing there is nothing to change.
void CD3DScreensaver::ChangePassword() {
  const LibraryHandle library = platform_.LoadLibrary(u"MPR.DLL");
  if (library == 0) return;
  if (const ProcedureAddress change = platform_.GetProcAddress(library, "PwdChangePasswordA")) {
    platform_.CallPasswordChange(change, "SCRSAVE", parentWindow);
  }
  platform_.FreeLibrary(library);
}

bool CD3DScreensaver::LookUpErrorText(HResult code, char16_t* buffer, std::size_t capacity) {
  return lumi::LookUpErrorText(code, buffer, capacity);
}

void CD3DScreensaver::ShowError(HResult code) {
  char16_t text[kErrorTextCapacity];
  LookUpErrorText(code, text, kErrorTextCapacity);
  platform_.ShowMessageBox(mainWindow, text, windowTitle, kIconError);
}

CVovorScreensaver::CVovorScreensaver(SaverPlatform& platform, SaverParts& parts) : CD3DScreensaver(platform, parts) {
  platform_.InitCommonControls();
  settingsKeyPath = kSettingsKeyPath;
  char16_t title[kWindowTitleCapacity];
  LoadString(kStringWindowTitle, title, kWindowTitleCapacity);
  windowTitle = title;
  useDepthBuffer = true;
}

}  // namespace lumi
