// lumisave on Linux: an xscreensaver-style program that also understands
// the switches Windows passes to a screen saver.
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <optional>
#include <random>
#include <string>
#include <vector>

#include "archive/document_source.h"
#include "host/device_records_json.h"
#include "host/document_choice.h"
#include "host/document_scene_host.h"
#include "host/frame_cycle.h"
#include "host/process_entry.h"
#include "host/saver_arguments.h"
#include "host/screensaver.h"
#include "platform/linux/companion_program.h"
#include "platform/linux/saver_display_linux.h"
#include "platform/linux/saver_platform_linux.h"
#include "platform/linux/sleep_watcher.h"
#include "platform/linux/sound/scene_sound_linux.h"
#include "platform/resource_lookup.h"
#include "platform/user_settings_store.h"
#include "sound/scene_sound.h"

namespace {

constexpr const char* kUsage =
    "usage: lumisave [options] [Windows switch]\n"
    "\n"
    "Plays the scene document the program carries, as a screen saver.\n"
    "\n"
    "  -root               full screen (as xscreensaver starts its programs);\n"
    "                      draws into $XSCREENSAVER_WINDOW when that is set\n"
    "  -window-id ID       preview into the X window ID (decimal or 0x hex);\n"
    "                      beside -root the window id wins\n"
    "  --scene FILE        play FILE instead: a scene document, or a Windows\n"
    "                      screen saver (.scr) that carries one; or a folder,\n"
    "                      whose documents play in turn\n"
    "  --fps N             draw at most N frames a second (default: the\n"
    "                      monitor's refresh rate, 60 when unknown)\n"
    "  --lose-device-every N\n"
    "                      lose the graphics device every N frames and restore\n"
    "                      it, as after a display change (for testing)\n"
    "  --picture-position stretch|fit|fill\n"
    "  --volume N          sound volume 0 to 100\n"
    "  --mute, --unmute    sound off or on\n"
    "                      (these three override the stored settings for\n"
    "                      this run; the settings file keeps its values)\n"
    "  --normal-priority   keep the normal scheduling priority instead of the\n"
    "                      idle one (for tests on a busy machine)\n"
    "  --list-devices      print the monitors and graphics adapters as JSON\n"
    "  --help              show this text\n"
    "  --version           show the version\n"
    "\n"
    "Every option takes one dash or two, and its value after '=' or as the\n"
    "next argument.\n"
    "With none of these, $XSCREENSAVER_WINDOW alone asks for a preview into that\n"
    "window. Otherwise the Windows screen-saver switches apply: /s full screen,\n"
    "/p HANDLE preview, /c settings (also with no switch), /t test window,\n"
    "/a change password; after '-' only these letters are switches.\n";

// The configuration mode belongs to the settings program where there is a
// display to show it on: it is run in our place with our arguments. Returns
// when it cannot be, saying why, and the settings are listed instead.
void RunSettingsProgram(char** argv) {
  const std::optional<std::filesystem::path> program = lumi::FindCompanionProgram(LUMI_SETTINGS_FROM_SAVER);
  if (!program) {
    std::fputs("lumisave: lumisave-settings is not installed; the settings are listed instead\n",
               stderr);
    return;
  }
  if (std::getenv("DISPLAY") == nullptr && std::getenv("WAYLAND_DISPLAY") == nullptr) {
    std::fprintf(stderr, "lumisave: no display for %s; the settings are listed instead\n", program->c_str());
    return;
  }
  argv[0] = const_cast<char*>(program->c_str());
  execv(program->c_str(), argv);
  std::fprintf(stderr, "lumisave: cannot start %s: %s\n", program->c_str(), std::strerror(errno));
}

// The monitors and adapters as the saver's device list sees them. Exit 1
// without a display.
int ListDevices() {
  lumi::LinuxSaverPlatform platform(u"", false);
  std::string error;
  const std::unique_ptr<lumi::SaverDisplay> display = lumi::OpenX11SaverDisplay(platform, error);
  if (!display) {
    std::fprintf(stderr, "lumisave: no X display (%s)\n", error.c_str());
    return 1;
  }
  std::fputs(lumi::DeviceRecordsToJson({display->Monitors(), display->Adapters()}).c_str(), stdout);
  return 0;
}

// The documents this run plays: a folder --scene names, or else what the
// settings choose; nothing for a file --scene names or for the program's
// own document.
std::optional<lumi::DocumentRounds> ChosenDocuments(const std::optional<std::filesystem::path>& scene,
                                                    lumi::SaverSettings& settings) {
  std::error_code ec;
  if (scene && !std::filesystem::is_directory(*scene, ec)) return std::nullopt;
  lumi::DocumentChoice choice = scene ? lumi::DocumentChoice{scene->u16string(), false} : settings.Documents();
  if (choice.path.empty()) return std::nullopt;
  return std::make_optional<lumi::DocumentRounds>(settings, std::move(choice), [] { return std::random_device{}(); });
}

// The document of one round. A file --scene names plays, or its failure
// shows in the error box; chosen documents play in turn, and when none of
// them opens the program's own document plays, with one message.
lumi::Document ReadRoundDocument(const std::optional<std::filesystem::path>& scene,
                                 std::optional<lumi::DocumentRounds>& rounds, std::size_t round) {
  const auto open = [](const std::filesystem::path& path) {
    lumi::Document document = lumi::LoadDocument(lumi::ReadDocumentFile(path));
    // Resource modules the document names are looked for beside it first.
    lumi::SetDocumentDirectory(std::filesystem::absolute(path).parent_path());
    return document;
  };
  if (rounds) {
    std::optional<lumi::Document> document;
    std::string error;
    if (rounds->Open(round, [&](const std::filesystem::path& path) { document = open(path); }, error)) {
      return std::move(*document);
    }
    if (!error.empty()) {
      std::fprintf(stderr, "lumisave: none of the chosen documents opens (%s); the demo plays instead\n",
                   error.c_str());
    }
  } else if (scene) {
    return open(*scene);
  }
  return lumi::LoadDocument(lumi::ReadCarriedDocument());
}

}  // namespace

int main(int argc, char** argv) {
  const std::vector<std::string> args(argv, argv + argc);
  lumi::SaverArguments arguments;
  try {
    arguments = lumi::ParseSaverArguments(args, [](const char* name) { return std::getenv(name); });
  } catch (const lumi::UsageError& error) {
    std::fprintf(stderr, "lumisave: %s\n\n%s", error.what(), kUsage);
    return 2;
  }
  switch (arguments.action) {
    case lumi::SaverArguments::Action::Help:
      std::fputs(kUsage, stdout);
      return 0;
    case lumi::SaverArguments::Action::Version:
      std::printf("lumisave %s\n", LUMI_VERSION);
      return 0;
    case lumi::SaverArguments::Action::ListDevices:
      return ListDevices();
    case lumi::SaverArguments::Action::Run:
      break;
  }

  const std::unique_ptr<lumi::SettingsStore> store = lumi::OpenUserSettingsStore();
  lumi::SaverSettings settings(*store, lumi::kSettingsKeyPath, arguments.overrides);
  lumi::LinuxSaverPlatform platform(arguments.command_line, !arguments.normal_priority);

  const lumi::SaverMode mode = arguments.parsed.mode;
  if (mode == lumi::ModeConfigure) RunSettingsProgram(argv);
  const bool drawing = mode == lumi::ModePreview || mode == lumi::ModeFull || mode == lumi::ModeTest;
  std::unique_ptr<lumi::SaverDisplay> display;
  if (drawing) {
    // Mesa reads this when it loads its driver, before the first context.
    if (settings.AnyScreenDisablesHardware(static_cast<int>(lumi::kMaxMonitors))) {
      setenv("LIBGL_ALWAYS_SOFTWARE", "1", 1);
    }
    std::string error;
    display = lumi::OpenX11SaverDisplay(platform, error);
    if (!display) {
      std::fprintf(stderr,
                   "lumisave: no X display to draw on (%s); 'lumisave-tool render' draws frames without one\n",
                   error.c_str());
      return 1;
    }
  }

  // A coming sleep ends the modes that input ends; when the system bus is
  // there but cannot be listened to, the user is told once that it will not.
  // xscreensaver's own runs are ended by xscreensaver.
  std::unique_ptr<lumi::SleepWatcher> sleep_watcher;
  if (mode == lumi::ModeTest || (mode == lumi::ModeFull && !arguments.x_window)) {
    std::string error;
    sleep_watcher = lumi::WatchForSleep(platform, lumi::MessageBus::System, error);
    if (!sleep_watcher && lumi::SystemBusExists()) {
      std::fprintf(stderr, "lumisave: %s: suspend does not end the saver\n", error.c_str());
    }
  }

  // The sound starts its threads here, before the host lowers this thread
  // to idle priority, which threads started later would inherit. It reads
  // its settings and posts the media graph's events from its own threads.
  // Modes that draw nothing have no sound.
  const lumi::SoundSettingsReader sound_settings = [&settings] { return settings.Sound(); };
  const std::function<void(lumi::PlatformWindow)> post_media_event = [&platform](lumi::PlatformWindow window) {
    platform.PostMessage({window, lumi::kMessageMediaEvent, 0, 0});
  };
  std::unique_ptr<lumi::SceneSound> made_sound = std::make_unique<lumi::SilentSceneSound>();
  if (drawing) {
    std::string sound_message;
    const auto report = [](const std::string& line) { std::fprintf(stderr, "lumisave: %s\n", line.c_str()); };
    made_sound = lumi::MakeLinuxSceneSound(sound_settings, post_media_event, report, sound_message);
    if (!sound_message.empty()) std::fprintf(stderr, "lumisave: %s\n", sound_message.c_str());
  }
  lumi::SceneSound& sound = *made_sound;

  std::optional<lumi::DocumentRounds> rounds = ChosenDocuments(arguments.scene, settings);
  lumi::DocumentSceneHost scene_host(
      sound, [&](std::size_t round) { return ReadRoundDocument(arguments.scene, rounds, round); },
      [&settings] { return static_cast<lumi::PlacementMode>(settings.PicturePosition()); },
      rounds && rounds->Advances());
  lumi::FrameCycleOptions options;
  options.fps = arguments.fps;
  options.lose_device_every = arguments.lose_device_every;
  if (mode == lumi::ModeFull && arguments.x_window) options.full_screen_window = *arguments.x_window;
  lumi::SaverFrameCycle parts(platform, display.get(), sound, options);
  lumi::CVovorScreensaver host(platform, parts, &scene_host, &settings);
  const int result = lumi::RunSaverProcess(host);
  return parts.WindowsMissing() ? 1 : result;
}
