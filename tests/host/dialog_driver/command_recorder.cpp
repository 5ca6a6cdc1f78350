// Stands in for the browser in the settings dialogs' checks under Wine:
// appends its own command line, as UTF-8, to the file that
// LUMI_RECORDER_FILE names, and ends.
#include "platform/windows_api.h"

#include <string>

int wmain() {
  wchar_t file[MAX_PATH];
  const DWORD length = GetEnvironmentVariableW(L"LUMI_RECORDER_FILE", file, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) return 2;
  const std::wstring line = std::wstring(GetCommandLineW()) + L"\n";
  const int bytes = WideCharToMultiByte(CP_UTF8, 0, line.c_str(), static_cast<int>(line.size()), nullptr, 0, nullptr,
                                        nullptr);
  std::string text(static_cast<std::size_t>(bytes), '\0');
  WideCharToMultiByte(CP_UTF8, 0, line.c_str(), static_cast<int>(line.size()), text.data(), bytes, nullptr, nullptr);
  HANDLE out = CreateFileW(file, FILE_APPEND_DATA, FILE_SHARE_READ, nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                           nullptr);
  if (out == INVALID_HANDLE_VALUE) return 3;
  DWORD written = 0;
  const BOOL ok = WriteFile(out, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
  CloseHandle(out);
  return ok && written == text.size() ? 0 : 4;
}
