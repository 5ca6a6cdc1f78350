// lumisave on Linux: an xscreensaver-style program that also understands
// the switches Windows passes to a screen saver.
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "archive/document_source.h"
#include "archive/input_error.h"
#include "host/pending_saver_parts.h"
#include "host/process_entry.h"
#include "host/saver_arguments.h"
#include "host/screensaver.h"
#include "platform/linux/linux_saver_platform.h"
#include "platform/resource_lookup.h"

namespace {

constexpr const char* kUsage =
    "usage: lumisave [options] [Windows switch]\n"
    "\n"
    "Plays the scene document the program carries, as a screen saver.\n"
    "\n"
    "  -root               full screen (as xscreensaver starts its programs);\n"
    "                      draws into $XSCREENSAVER_WINDOW when that is set\n"
    "  -window-id ID       preview into the X window ID (decimal or 0x hex)\n"
    "  --scene FILE        play FILE instead: a scene document, or a Windows\n"
    "                      screen saver (.scr) that carries one\n"
    "  --help              show this text\n"
    "  --version           show the version\n"
    "\n"
    "With none of these, $XSCREENSAVER_WINDOW alone asks for a preview into that\n"
    "window. Otherwise the Windows screen-saver switches apply: /s full screen,\n"
    "/p HANDLE preview, /c settings (also with no switch), /t test window,\n"
    "/a change password.\n";

}  // namespace

int main(int argc, char** argv) {
  const std::vector<std::string> args(argv, argv + argc);
  lumi::SaverArguments arguments;
  try {
    arguments = lumi::ParseSaverArguments(args, [](const char* name) { return std::getenv(name); });
  } catch (const lumi::UsageError& error) {
    std::fprintf(stderr, "lumisave: %s\nTry 'lumisave --help'.\n", error.what());
    return 2;
  }
  switch (arguments.action) {
    case lumi::SaverArguments::Action::Help:
      std::fputs(kUsage, stdout);
      return 0;
    case lumi::SaverArguments::Action::Version:
      std::printf("lumisave %s\n", LUMI_VERSION);
      return 0;
    case lumi::SaverArguments::Action::Run:
      break;
  }
  if (arguments.scene) {
    try {
      lumi::ReadDocumentFile(*arguments.scene);
      // Resource modules the document names are looked for beside it first.
      lumi::SetDocumentDirectory(std::filesystem::absolute(*arguments.scene).parent_path());
    } catch (const lumi::InputError& error) {
      std::fprintf(stderr, "lumisave: %s\n", error.what());
      return 1;
    }
  }

  lumi::LinuxSaverPlatform platform(arguments.commandLine);
  lumi::PendingSaverParts parts;
  lumi::CVovorScreensaver host(platform, parts);
  if (arguments.parsed.mode == lumi::ModeConfigure) {
    std::fputs("lumisave: the settings dialog is not yet available on this build\n", stderr);
  }
  return lumi::RunSaverProcess(host, 0);
}
