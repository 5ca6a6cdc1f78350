#include "platform/windows/saver_platform_windows.h"

#include "platform/windows_api.h"
#include <commctrl.h>

#include "platform/windows/wide_text.h"

namespace lumi {
namespace {

static_assert(sizeof(wchar_t) == sizeof(char16_t));

HWND ToWindow(PlatformWindow window) { return reinterpret_cast<HWND>(window); }

MSG ToMsg(const WindowMessage& message) {
  MSG msg{};
  msg.hwnd = ToWindow(message.window);
  msg.message = message.message;
  msg.wParam = message.wparam;
  msg.lParam = message.lparam;
  return msg;
}

}  // namespace

WindowsSaverPlatform::WindowsSaverPlatform() { ::InitCommonControls(); }

void WindowsSaverPlatform::LowerThreadToIdlePriority() { SetThreadPriority(GetCurrentThread(), THREAD_PRIORITY_IDLE); }

std::u16string WindowsSaverPlatform::CommandLine() {
  const std::wstring_view line = GetCommandLineW();
  return std::u16string(line.begin(), line.end());
}

void WindowsSaverPlatform::ShowMessageBox(PlatformWindow owner, std::u16string_view text, std::u16string_view title,
                                          std::uint32_t icon) {
  MessageBoxW(ToWindow(owner), ToWide(text).c_str(), ToWide(title).c_str(), icon);
}

void WindowsSaverPlatform::PostMessage(const WindowMessage& message) {
  PostMessageW(ToWindow(message.window), message.message, message.wparam, message.lparam);
}

std::optional<WindowMessage> WindowsSaverPlatform::GetMessage(PlatformWindow window) {
  MSG msg{};
  if (GetMessageW(&msg, ToWindow(window), 0, 0) <= 0) return std::nullopt;
  return WindowMessage{reinterpret_cast<PlatformWindow>(msg.hwnd), msg.message, msg.wParam, msg.lParam};
}

std::optional<WindowMessage> WindowsSaverPlatform::PeekMessage(std::chrono::steady_clock::time_point deadline) {
  MSG msg{};
  while (!PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
    if (left.count() <= 0) return std::nullopt;
    MsgWaitForMultipleObjects(0, nullptr, FALSE, static_cast<DWORD>(left.count()), QS_ALLINPUT);
  }
  return WindowMessage{reinterpret_cast<PlatformWindow>(msg.hwnd), msg.message, msg.wParam, msg.lParam};
}

void WindowsSaverPlatform::TranslateMessage(const WindowMessage& message) {
  const MSG msg = ToMsg(message);
  ::TranslateMessage(&msg);
}

std::intptr_t WindowsSaverPlatform::DispatchMessage(const WindowMessage& message) {
  if (message.window == 0) return procedure_ ? procedure_(message) : 0;
  const MSG msg = ToMsg(message);
  return DispatchMessageW(&msg);
}

std::intptr_t WindowsSaverPlatform::CallWindowProcedure(const WindowMessage& message) {
  return procedure_ ? procedure_(message) : DefaultWindowProcedure(message);
}

void WindowsSaverPlatform::PostQuitMessage(int exit_code) { ::PostQuitMessage(exit_code); }

std::intptr_t WindowsSaverPlatform::DefaultWindowProcedure(const WindowMessage& message) {
  return DefWindowProcW(ToWindow(message.window), message.message, message.wparam, message.lparam);
}

void WindowsSaverPlatform::SetTimer(PlatformWindow window, std::uintptr_t id, std::uint32_t milliseconds) {
  ::SetTimer(ToWindow(window), id, milliseconds, nullptr);
}

void WindowsSaverPlatform::KillTimer(PlatformWindow window, std::uintptr_t id) { ::KillTimer(ToWindow(window), id); }

void WindowsSaverPlatform::ChangePassword(PlatformWindow parent) {
  const HMODULE library = LoadLibraryW(L"MPR.DLL");
  if (library == nullptr) return;
  using PasswordChange = DWORD(WINAPI*)(LPCSTR, HWND, DWORD, LPVOID);
  if (const FARPROC change = ::GetProcAddress(library, "PwdChangePasswordA")) {
    reinterpret_cast<PasswordChange>(reinterpret_cast<void*>(change))("SCRSAVE", ToWindow(parent), 0, nullptr);
  }
  ::FreeLibrary(library);
}

std::unique_ptr<Direct3D> WindowsSaverPlatform::CreateDirect3D() { return std::make_unique<Direct3D>(); }

}  // namespace lumi
