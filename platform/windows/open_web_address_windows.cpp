#include "platform/windows_api.h"

#include <cwchar>
#include <iterator>
#include <optional>
#include <string>

#include "platform/browser_command.h"
#include "platform/open_web_address.h"
#include "platform/windows/wide_text.h"

namespace lumi {
namespace {

// The shell's command for http, as text; nullopt when it is missing, not
// text, or longer than a command line we would start.
std::optional<std::wstring> RegisteredBrowserCommand() {
  HKEY key = nullptr;
  if (RegOpenKeyExW(HKEY_CLASSES_ROOT, L"http\\shell\\open\\command", 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS) {
    return std::nullopt;
  }
  // One more character than a command line may have, and the terminator,
  // so that a longer command is seen as such rather than cut.
  wchar_t command[kMaxBrowserCommandLine + 2] = {};
  DWORD bytes = sizeof command - sizeof command[0];
  DWORD type = 0;
  const LSTATUS status =
      RegQueryValueExW(key, nullptr, nullptr, &type, reinterpret_cast<BYTE*>(command), &bytes);
  RegCloseKey(key);
  if (status != ERROR_SUCCESS || (type != REG_SZ && type != REG_EXPAND_SZ)) return std::nullopt;
  std::wstring text(command, bytes / sizeof command[0]);
  // The stored text may or may not count its terminator.
  text.resize(wcsnlen(text.c_str(), text.size()));
  if (type == REG_SZ) return text;
  wchar_t expanded[kMaxBrowserCommandLine + 2];
  const DWORD length = ExpandEnvironmentStringsW(text.c_str(), expanded, static_cast<DWORD>(std::size(expanded)));
  if (length == 0 || length > std::size(expanded)) return std::nullopt;
  return std::wstring(expanded);
}

}  // namespace

bool OpenWebAddress(std::u16string_view address) {
  const std::optional<std::wstring> command = RegisteredBrowserCommand();
  if (!command) return false;
  const std::optional<std::u16string> line =
      BrowserCommandLine(std::u16string(command->begin(), command->end()), address);
  if (!line) return false;
  std::wstring writable = ToWide(*line);
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  if (!CreateProcessW(nullptr, writable.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process)) {
    return false;
  }
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  return true;
}

}  // namespace lumi
