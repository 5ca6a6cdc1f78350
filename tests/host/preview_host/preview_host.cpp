// A stand-in for the Display control panel's preview: a window of its own
// into which the saver is started with /p, then killed at a random moment,
// as the control panel kills previews whenever the selection changes.
//
//   lumi_preview_host SAVER ROUNDS [SEED]
//
// Each round starts SAVER /p HWND, waits a random time up to 4 s (from
// the saver's start-up to its first frames), checks that the saver still
// runs, kills it with TerminateProcess and checks that our window is still
// there and answers. Exit 0 when every round passed.
#include "platform/windows_api.h"

#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>

namespace {

constexpr wchar_t kHostClass[] = L"LumisavePreviewHost";
constexpr DWORD kLongestWaitMs = 4000;

// Keeps our window answering while we wait, as any program must.
void PumpMessagesFor(DWORD milliseconds) {
  const ULONGLONG end = GetTickCount64() + milliseconds;
  for (;;) {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
    }
    const ULONGLONG now = GetTickCount64();
    if (now >= end) return;
    MsgWaitForMultipleObjects(0, nullptr, FALSE, static_cast<DWORD>(end - now), QS_ALLINPUT);
  }
}

bool WindowAnswers(HWND window) {
  DWORD_PTR result = 0;
  return IsWindow(window) && SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 2000, &result) != 0;
}

// One round; false with the reason printed.
bool KillOnePreview(const std::wstring& saver, HWND window, int round, DWORD wait_ms) {
  std::wstring command = L"\"" + saver + L"\" /p " + std::to_wstring(reinterpret_cast<std::uintptr_t>(window));
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  // The saver writes to our output, so that its messages reach our log.
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
  startup.hStdOutput = GetStdHandle(STD_OUTPUT_HANDLE);
  startup.hStdError = GetStdHandle(STD_ERROR_HANDLE);
  PROCESS_INFORMATION process{};
  if (!CreateProcessW(saver.c_str(), command.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup, &process)) {
    std::printf("round %d: the saver did not start (Windows error %lu)\n", round, GetLastError());
    return false;
  }
  CloseHandle(process.hThread);
  PumpMessagesFor(wait_ms);
  bool passed = true;
  DWORD code = 0;
  GetExitCodeProcess(process.hProcess, &code);
  if (code != STILL_ACTIVE) {
    std::printf("round %d: the saver ended by itself after %lu ms with exit code %lu\n", round, wait_ms, code);
    passed = false;
  } else if (!TerminateProcess(process.hProcess, 1) || WaitForSingleObject(process.hProcess, 5000) != WAIT_OBJECT_0) {
    std::printf("round %d: the saver could not be killed\n", round);
    passed = false;
  }
  CloseHandle(process.hProcess);
  // Whatever the saver left undone, our window goes on.
  PumpMessagesFor(50);
  if (!WindowAnswers(window)) {
    std::printf("round %d: the host window is gone or hangs\n", round);
    passed = false;
  }
  if (passed) std::printf("round %d: killed after %lu ms\n", round, wait_ms);
  std::fflush(stdout);
  return passed;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc < 3) {
    std::fputs("usage: lumi_preview_host SAVER ROUNDS [SEED]\n", stderr);
    return 2;
  }
  const std::wstring saver = argv[1];
  const int rounds = _wtoi(argv[2]);
  const unsigned seed = argc > 3 ? static_cast<unsigned>(_wtoi(argv[3])) : static_cast<unsigned>(GetTickCount());
  std::printf("seed %u\n", seed);

  WNDCLASSW host_class{};
  host_class.lpfnWndProc = DefWindowProcW;
  host_class.hInstance = GetModuleHandleW(nullptr);
  host_class.hbrBackground = static_cast<HBRUSH>(GetStockObject(GRAY_BRUSH));
  host_class.lpszClassName = kHostClass;
  RegisterClassW(&host_class);
  // The preview monitor of the control panel is about this size.
  HWND window = CreateWindowExW(0, kHostClass, L"preview host", WS_POPUP | WS_VISIBLE, 700, 500, 152, 112, nullptr,
                                nullptr, host_class.hInstance, nullptr);
  if (window == nullptr) {
    std::printf("no host window (Windows error %lu)\n", GetLastError());
    return 1;
  }
  std::printf("host window %llu\n", static_cast<unsigned long long>(reinterpret_cast<std::uintptr_t>(window)));
  std::fflush(stdout);
  std::mt19937 random(seed);
  std::uniform_int_distribution<DWORD> moment(0, kLongestWaitMs);
  int failures = 0;
  for (int round = 1; round <= rounds; ++round) {
    if (!KillOnePreview(saver, window, round, moment(random))) ++failures;
  }
  std::printf("%d of %d rounds passed\n", rounds - failures, rounds);
  DestroyWindow(window);
  return failures == 0 ? 0 : 1;
}
