#include "platform/windows/dialogs/settings_dialogs_windows.h"

#include "platform/windows_api.h"
#include <commctrl.h>

#include <cstdio>
#include <string>

#include "host/device_records_json.h"
#include "host/string_table.h"
#include "platform/open_web_address.h"
#include "platform/windows/wide_text.h"

namespace lumi {
namespace {

void SetControlText(HWND dialog, int control, std::u16string_view text) {
  SetDlgItemTextW(dialog, control, ToWide(text).c_str());
}

std::u16string_view StringText(std::uint32_t id) { return FindString(id).value_or(u""); }

// The page a dialog shows: DialogBoxParamW hands it to WM_INITDIALOG and the
// dialog keeps it in its user data for the messages after.
template <class Page>
Page* PageOf(HWND dialog, UINT message, LPARAM lparam) {
  if (message == WM_INITDIALOG) SetWindowLongPtrW(dialog, DWLP_USER, lparam);
  return reinterpret_cast<Page*>(GetWindowLongPtrW(dialog, DWLP_USER));
}

template <class Page>
INT_PTR RunDialog(int dialog, HWND owner, DLGPROC procedure, Page& page) {
  return DialogBoxParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(dialog), owner, procedure,
                         reinterpret_cast<LPARAM>(&page));
}

int SelectedItem(HWND dialog, int control) {
  return static_cast<int>(SendDlgItemMessageW(dialog, control, CB_GETCURSEL, 0, 0));
}

void AddItem(HWND dialog, int control, std::u16string_view text, LPARAM data) {
  const std::wstring wide = ToWide(text);
  const LRESULT index = SendDlgItemMessageW(dialog, control, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(wide.c_str()));
  if (index >= 0) SendDlgItemMessageW(dialog, control, CB_SETITEMDATA, static_cast<WPARAM>(index), data);
}

// Setting a control's state here sends no notification, so filling the
// page again never feeds back into the model.
void FillDisplayPage(HWND dialog, const DisplaySettingsModel& model) {
  SetControlText(dialog, kControlAdapterName, model.AdapterName());
  SetControlText(dialog, kControlRendering, StringText(model.RenderingTextId()));
  EnableWindow(GetDlgItem(dialog, kControlDisableHardware), model.DisableHardwareEnabled());
  CheckDlgButton(dialog, kControlDisableHardware, model.DisableHardwareChecked() ? BST_CHECKED : BST_UNCHECKED);
  SendDlgItemMessageW(dialog, kControlDisplayMode, CB_RESETCONTENT, 0, 0);
  for (const ModeLine& line : model.ModeLines()) AddItem(dialog, kControlDisplayMode, line.text, line.item);
  SendDlgItemMessageW(dialog, kControlDisplayMode, CB_SETCURSEL, model.SelectedLine(), 0);
  SendDlgItemMessageW(dialog, kControlQuality, CB_SETCURSEL, model.SelectedQuality(), 0);
}

INT_PTR CALLBACK DisplaySettingsProcedure(HWND dialog, UINT message, WPARAM wparam, LPARAM lparam) {
  DisplaySettingsModel* model = PageOf<DisplaySettingsModel>(dialog, message, lparam);
  if (model == nullptr) return FALSE;
  if (message == WM_INITDIALOG) {
    LPARAM index = 0;
    for (const std::u16string& item : model->QualityItems()) AddItem(dialog, kControlQuality, item, index++);
    FillDisplayPage(dialog, *model);
    return TRUE;
  }
  if (message != WM_COMMAND) return FALSE;
  switch (LOWORD(wparam)) {
    case kControlDisableHardware:
      if (HIWORD(wparam) != BN_CLICKED) return FALSE;
      model->SetDisableHardware(IsDlgButtonChecked(dialog, kControlDisableHardware) == BST_CHECKED);
      FillDisplayPage(dialog, *model);
      return TRUE;
    case kControlDisplayMode:
      if (HIWORD(wparam) != CBN_SELCHANGE) return FALSE;
      if (const int line = SelectedItem(dialog, kControlDisplayMode); line >= 0) {
        model->SelectLine(static_cast<std::size_t>(line));
      }
      return TRUE;
    case kControlQuality:
      if (HIWORD(wparam) != CBN_SELCHANGE) return FALSE;
      if (const int index = SelectedItem(dialog, kControlQuality); index >= 0) {
        model->SelectQuality(static_cast<std::size_t>(index));
      }
      return TRUE;
    case kControlHelp:
      MessageBoxW(dialog, ToWide(StringText(model->HelpTextId())).c_str(), ToWide(model->AdapterName()).c_str(),
                  MB_OK | MB_ICONINFORMATION);
      return TRUE;
    case IDOK:
      EndDialog(dialog, IDOK);
      return TRUE;
    case IDCANCEL:
      model->Cancel();
      EndDialog(dialog, IDCANCEL);
      return TRUE;
    default:
      return FALSE;
  }
}

INT_PTR CALLBACK SoundSettingsProcedure(HWND dialog, UINT message, WPARAM wparam, LPARAM lparam) {
  SoundSettingsModel* model = PageOf<SoundSettingsModel>(dialog, message, lparam);
  if (model == nullptr) return FALSE;
  if (message == WM_INITDIALOG) {
    SendDlgItemMessageW(dialog, kControlVolume, TBM_SETRANGE, FALSE, MAKELPARAM(0, kMaxSoundVolume));
    SendDlgItemMessageW(dialog, kControlVolume, TBM_SETTICFREQ, kVolumeTickFrequency, 0);
    SendDlgItemMessageW(dialog, kControlVolume, TBM_SETPOS, TRUE, static_cast<LPARAM>(model->ScalePosition()));
    CheckDlgButton(dialog, kControlMute, model->Muted() ? BST_CHECKED : BST_UNCHECKED);
    return TRUE;
  }
  if (message != WM_COMMAND) return FALSE;
  switch (LOWORD(wparam)) {
    case IDOK:
      model->SetScalePosition(static_cast<int>(SendDlgItemMessageW(dialog, kControlVolume, TBM_GETPOS, 0, 0)));
      model->SetMuted(IsDlgButtonChecked(dialog, kControlMute) == BST_CHECKED);
      model->Ok();
      EndDialog(dialog, IDOK);
      return TRUE;
    case IDCANCEL:
      EndDialog(dialog, IDCANCEL);
      return TRUE;
    default:
      return FALSE;
  }
}

INT_PTR CALLBACK ConfigurationProcedure(HWND dialog, UINT message, WPARAM wparam, LPARAM lparam) {
  ConfigurationModel* model = PageOf<ConfigurationModel>(dialog, message, lparam);
  if (model == nullptr) return FALSE;
  if (message == WM_INITDIALOG) {
    SetWindowTextW(dialog, ToWide(model->Title()).c_str());
    LPARAM index = 0;
    for (const std::u16string& item : model->PositionItems()) AddItem(dialog, kControlPicturePosition, item, index++);
    SetControlText(dialog, kControlInformation, model->InformationText());
    SendDlgItemMessageW(dialog, kControlPicturePosition, CB_SETCURSEL, model->SelectedPosition(), 0);
    return TRUE;
  }
  if (message != WM_COMMAND) return FALSE;
  switch (LOWORD(wparam)) {
    case kControlPicturePosition:
      if (HIWORD(wparam) != CBN_SELCHANGE) return FALSE;
      if (const int index = SelectedItem(dialog, kControlPicturePosition); index >= 0) {
        model->SelectPosition(static_cast<std::size_t>(index));
      }
      return TRUE;
    case kControlDisplaySettings: {
      DisplaySettingsModel display = model->DisplaySettings();
      RunDialog(kDialogDisplaySettings, dialog, DisplaySettingsProcedure, display);
      return TRUE;
    }
    case kControlSoundSettings: {
      SoundSettingsModel sound = model->SoundSettings();
      RunDialog(kDialogSoundSettings, dialog, SoundSettingsProcedure, sound);
      return TRUE;
    }
    case kControlWebsite:
      // A browser that cannot be started changes nothing here.
      OpenWebAddress(model->WebAddress());
      return TRUE;
    case IDOK:
      model->Ok();
      EndDialog(dialog, IDOK);
      return TRUE;
    case IDCANCEL:
      model->Cancel();
      EndDialog(dialog, IDCANCEL);
      return TRUE;
    default:
      return FALSE;
  }
}

}  // namespace

bool RunConfigurationDialog(ConfigurationModel& model, WindowHandle owner) {
  // The volume's trackbar is a common control.
  INITCOMMONCONTROLSEX controls{sizeof controls, ICC_BAR_CLASSES | ICC_STANDARD_CLASSES};
  InitCommonControlsEx(&controls);
  HWND owner_window = reinterpret_cast<HWND>(owner);
  if (owner_window != nullptr && !IsWindow(owner_window)) owner_window = nullptr;
  if (RunDialog(kDialogConfiguration, owner_window, ConfigurationProcedure, model) == -1) {
    std::fprintf(stderr, "lumisave: the configuration dialog could not be shown (Windows error %lu)\n",
                 GetLastError());
    return false;
  }
  return true;
}

bool ShowConfigurationDialogs(SaverDisplay& display, SaverSettings& settings, WindowHandle owner) {
  DialogDevices devices = MakeDialogDevices({display.Monitors(), display.Adapters()});
  ConfigurationModel model(settings, std::move(devices.adapters), devices.best);
  return RunConfigurationDialog(model, owner);
}

}  // namespace lumi
