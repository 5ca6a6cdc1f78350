// The saver's arguments on Linux. The conventions of xscreensaver-style hosts
// (-root, -window-id with one dash or two, XSCREENSAVER_WINDOW) and our own
// long options come first; the Windows switches are joined into the command
// line Windows would have passed, so they keep their meaning. Any other
// argument that starts with "-" is refused.
#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <span>
#include <stdexcept>
#include <string>

#include "host/command_line.h"
#include "host/saver_settings.h"

namespace lumi {

class UsageError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

struct SaverArguments {
  // ListDevices prints the monitors and adapters as JSON for the settings
  // program, which opens no GL context of its own.
  enum class Action { Run, Help, Version, ListDevices };
  Action action = Action::Run;
  // What the host reads its mode from, as Windows would have written it.
  std::u16string command_line;
  ParsedCommandLine parsed;
  // An existing X window to draw into instead of windows of our own.
  std::optional<std::uint32_t> x_window;
  // A document, or a screen saver holding one, to play instead of ours.
  std::optional<std::filesystem::path> scene;
  // Frames per second at most; 0 leaves it to the monitor.
  std::uint32_t fps = 0;
  // Lose the graphics device every N frames (0: never), for testing.
  std::uint32_t lose_device_every = 0;
  // Keep the normal scheduling priority instead of the idle one, for tests
  // on a busy machine where an idle thread would hardly ever run.
  bool normal_priority = false;
  // Settings for this run that override the stored ones.
  SettingOverrides overrides;
};

using EnvironmentLookup = std::function<const char*(const char* name)>;

// `args` starts with the program name. Throws UsageError for an unknown or
// malformed option, naming it.
SaverArguments ParseSaverArguments(std::span<const std::string> args, const EnvironmentLookup& environment);

// The arguments as one Windows command line: the program name quoted when it
// holds blanks, the others quoted so that CommandLineToArgvW gives them back.
std::string JoinAsWindowsCommandLine(std::span<const std::string> args);

}  // namespace lumi
