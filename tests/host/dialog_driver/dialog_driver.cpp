// Works the saver's settings dialogs under Wine as a user would: starts
// "lumisave.scr /c", finds each dialog by its title, sets and clicks its
// controls by id and waits for the saver to end.
//
//   lumi_dialog_driver SAVER position-ok | position-cancel | sound | display | website FILE
//
// Prints what it read from the dialogs; exits 0 when every step worked and
// the saver ended by itself, 1 otherwise (saying which step failed).
#include "platform/windows_api.h"
#include <commctrl.h>

#include <chrono>
#include <cstdio>
#include <cwchar>
#include <string>
#include <thread>

namespace {

constexpr auto kPatience = std::chrono::seconds(8);
// A browser that should start does so within this.
constexpr auto kBrowserPatience = std::chrono::seconds(3);
constexpr auto kPoll = std::chrono::milliseconds(50);

struct Failure {
  std::string step;
};

void Require(bool condition, const std::string& step) {
  if (!condition) throw Failure{step};
}

std::string Utf8(const std::wstring& text) {
  const int bytes =
      WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
  std::string out(static_cast<std::size_t>(bytes), '\0');
  WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), out.data(), bytes, nullptr, nullptr);
  return out;
}

// Polls `found` until it answers true or the patience runs out.
template <class Check>
bool WaitFor(Check found, std::chrono::seconds patience = kPatience) {
  const auto deadline = std::chrono::steady_clock::now() + patience;
  while (!found()) {
    if (std::chrono::steady_clock::now() > deadline) return false;
    std::this_thread::sleep_for(kPoll);
  }
  return true;
}

class Saver {
 public:
  explicit Saver(const std::wstring& path) {
    std::wstring line = L"\"" + path + L"\" /c";
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    Require(CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process_),
            "start the saver");
    CloseHandle(process_.hThread);
  }
  ~Saver() {
    if (WaitForSingleObject(process_.hProcess, 0) == WAIT_TIMEOUT) TerminateProcess(process_.hProcess, 99);
    CloseHandle(process_.hProcess);
  }
  Saver(const Saver&) = delete;
  Saver& operator=(const Saver&) = delete;

  // The saver's visible dialog with this title.
  HWND Dialog(const wchar_t* title) const {
    struct Search {
      DWORD process;
      const wchar_t* title;
      HWND found;
    } search{process_.dwProcessId, title, nullptr};
    const bool shown = WaitFor([&] {
      EnumWindows(
          [](HWND window, LPARAM data) -> BOOL {
            auto* s = reinterpret_cast<Search*>(data);
            DWORD owner = 0;
            GetWindowThreadProcessId(window, &owner);
            wchar_t text[128] = {}, window_class[16] = {};
            GetWindowTextW(window, text, 128);
            GetClassNameW(window, window_class, 16);
            if (owner != s->process || !IsWindowVisible(window) || std::wcscmp(window_class, L"#32770") != 0 ||
                std::wcscmp(text, s->title) != 0) {
              return TRUE;
            }
            s->found = window;
            return FALSE;
          },
          reinterpret_cast<LPARAM>(&search));
      return search.found != nullptr;
    });
    Require(shown, "find the dialog \"" + Utf8(title) + "\"");
    return search.found;
  }

  // The saver's exit code once it has ended by itself.
  DWORD Ended() const {
    Require(WaitForSingleObject(process_.hProcess, static_cast<DWORD>(kPatience / std::chrono::milliseconds(1))) ==
                WAIT_OBJECT_0,
            "see the saver end");
    DWORD code = 0;
    GetExitCodeProcess(process_.hProcess, &code);
    return code;
  }

 private:
  PROCESS_INFORMATION process_{};
};

HWND Control(HWND dialog, int id) {
  HWND control = GetDlgItem(dialog, id);
  Require(control != nullptr, "find control " + std::to_string(id));
  return control;
}

std::string Text(HWND dialog, int id) {
  wchar_t text[512] = {};
  SendMessageW(Control(dialog, id), WM_GETTEXT, 512, reinterpret_cast<LPARAM>(text));
  return Utf8(text);
}

// Posted, so that a button opening a dialog of its own does not hold us up.
void Click(HWND dialog, int id) { PostMessageW(Control(dialog, id), BM_CLICK, 0, 0); }

// As a user's choice: the selection, then the list's notification.
void Choose(HWND dialog, int id, int item) {
  HWND list = Control(dialog, id);
  Require(SendMessageW(list, CB_SETCURSEL, static_cast<WPARAM>(item), 0) == item, "select item " + std::to_string(item));
  SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, CBN_SELCHANGE), reinterpret_cast<LPARAM>(list));
}

std::string ItemText(HWND list, int item) {
  const LRESULT length = SendMessageW(list, CB_GETLBTEXTLEN, static_cast<WPARAM>(item), 0);
  if (length < 0) return "(none)";
  std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
  SendMessageW(list, CB_GETLBTEXT, static_cast<WPARAM>(item), reinterpret_cast<LPARAM>(text.data()));
  text.resize(static_cast<std::size_t>(length));
  return Utf8(text);
}

void Closed(HWND dialog, const std::string& name) {
  Require(WaitFor([&] { return !IsWindow(dialog); }), "see " + name + " close");
}

void ChoosePosition(Saver& saver, int item, int button) {
  HWND configuration = saver.Dialog(L"Lumisave");
  std::printf("information: %s\n", Text(configuration, 1028).c_str());
  std::printf("selected position: %d\n",
              static_cast<int>(SendMessageW(Control(configuration, 1023), CB_GETCURSEL, 0, 0)));
  Choose(configuration, 1023, item);
  Click(configuration, button);
}

void Sound(Saver& saver) {
  HWND configuration = saver.Dialog(L"Lumisave");
  Click(configuration, 1007);
  HWND sound = saver.Dialog(L"Sound Settings");
  HWND volume = Control(sound, 1021);
  std::printf("volume scale: %d to %d, at %d\n", static_cast<int>(SendMessageW(volume, TBM_GETRANGEMIN, 0, 0)),
              static_cast<int>(SendMessageW(volume, TBM_GETRANGEMAX, 0, 0)),
              static_cast<int>(SendMessageW(volume, TBM_GETPOS, 0, 0)));
  SendMessageW(volume, TBM_SETPOS, TRUE, 100);
  Click(sound, 1022);
  Require(WaitFor([&] { return IsDlgButtonChecked(sound, 1022) == BST_CHECKED; }), "check Mute");
  Click(sound, IDOK);
  Closed(sound, "Sound Settings");
  // The sound's own OK has stored its values; the configuration's Cancel keeps them.
  Click(configuration, IDCANCEL);
}

void Display(Saver& saver) {
  HWND configuration = saver.Dialog(L"Lumisave");
  Click(configuration, 1006);
  HWND display = saver.Dialog(L"Display Settings");
  std::printf("adapter: %s\n", Text(display, 2002).c_str());
  std::printf("rendering: %s\n", Text(display, 2003).c_str());
  std::printf("disable hardware: %s\n", IsWindowEnabled(Control(display, 2005)) ? "enabled" : "disabled");
  std::printf("templates shown: %s\n",
              IsWindowVisible(Control(display, 2012)) || IsWindowVisible(Control(display, 2016)) ? "yes" : "no");
  HWND modes = Control(display, 2011);
  const int count = static_cast<int>(SendMessageW(modes, CB_GETCOUNT, 0, 0));
  std::printf("modes: %d, selected %d\n", count, static_cast<int>(SendMessageW(modes, CB_GETCURSEL, 0, 0)));
  for (int item = 0; item < count && item < 3; ++item) {
    std::printf("mode %d: %s (data %d)\n", item, ItemText(modes, item).c_str(),
                static_cast<int>(SendMessageW(modes, CB_GETITEMDATA, static_cast<WPARAM>(item), 0)));
  }
  // A mode chosen and then cancelled is never stored.
  if (count > 1) Choose(display, 2011, 1);
  Click(display, IDCANCEL);
  Closed(display, "Display Settings");
  Click(configuration, IDOK);
}

void Website(Saver& saver, const std::wstring& record) {
  HWND configuration = saver.Dialog(L"Lumisave");
  Click(configuration, 1017);
  const bool recorded =
      WaitFor([&] { return GetFileAttributesW(record.c_str()) != INVALID_FILE_ATTRIBUTES; }, kBrowserPatience);
  std::printf("browser started: %s\n", recorded ? "yes" : "no");
  Click(configuration, IDCANCEL);
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc < 3) {
    std::fputs("usage: lumi_dialog_driver SAVER position-ok|position-cancel|sound|display|website FILE\n", stderr);
    return 2;
  }
  const std::wstring scenario = argv[2];
  try {
    Saver saver(argv[1]);
    if (scenario == L"position-ok") {
      ChoosePosition(saver, 1, IDOK);
    } else if (scenario == L"position-cancel") {
      ChoosePosition(saver, 2, IDCANCEL);
    } else if (scenario == L"sound") {
      Sound(saver);
    } else if (scenario == L"display") {
      Display(saver);
    } else if (scenario == L"website" && argc > 3) {
      Website(saver, argv[3]);
    } else {
      std::fprintf(stderr, "lumi_dialog_driver: unknown scenario %s\n", Utf8(scenario).c_str());
      return 2;
    }
    std::printf("saver exit: %lu\n", saver.Ended());
  } catch (const Failure& failure) {
    std::fprintf(stderr, "lumi_dialog_driver: could not %s\n", failure.step.c_str());
    return 1;
  }
  return 0;
}
