#include "host/saver_arguments.h"

#include <charconv>
#include <vector>

#include "archive/utf.h"

namespace lumi {
namespace {

constexpr const char* kWindowVariable = "XSCREENSAVER_WINDOW";

std::uint32_t ParseWindowId(const std::string& text, const std::string& source) {
  const bool hex = text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X');
  const char* first = text.data() + (hex ? 2 : 0);
  const char* last = text.data() + text.size();
  std::uint32_t id = 0;
  const auto [end, error] = std::from_chars(first, last, id, hex ? 16 : 10);
  if (text.empty() || error != std::errc() || end != last || id == 0) {
    throw UsageError(source + ": not an X window id: '" + text + "'");
  }
  return id;
}

std::uint32_t ParseCount(const std::string& text, const std::string& option, std::uint32_t low, std::uint32_t high) {
  std::uint32_t value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (text.empty() || error != std::errc() || end != text.data() + text.size() || value < low || value > high) {
    throw UsageError(option + " needs a whole number from " + std::to_string(low) + " to " + std::to_string(high) +
                     ", not '" + text + "'");
  }
  return value;
}

std::string QuoteProgramName(const std::string& name) {
  // Windows file names hold no quotes; the grammar would end the name at one.
  std::string plain;
  for (char c : name) {
    if (c != '"') plain += c;
  }
  const bool needsQuotes = plain.empty() || plain.find_first_of(" \t") != std::string::npos;
  return needsQuotes ? "\"" + plain + "\"" : plain;
}

std::string QuoteArgument(const std::string& arg) {
  if (!arg.empty() && arg.find_first_of(" \t\n\v\"") == std::string::npos) return arg;
  std::string quoted = "\"";
  std::size_t backslashes = 0;
  for (char c : arg) {
    if (c == '\\') {
      ++backslashes;
      continue;
    }
    // Backslashes are literal unless a quote follows them.
    quoted.append(c == '"' ? 2 * backslashes + 1 : backslashes, '\\');
    backslashes = 0;
    quoted += c;
  }
  quoted.append(2 * backslashes, '\\');
  return quoted + "\"";
}

SaverArguments WithCommandLine(SaverArguments arguments, const std::string& line) {
  arguments.commandLine = FromUtf8(line);
  arguments.parsed = ParseCommandLine(arguments.commandLine);
  return arguments;
}

}  // namespace

std::string JoinAsWindowsCommandLine(std::span<const std::string> args) {
  std::string line = QuoteProgramName(args.empty() ? std::string("lumisave") : args.front());
  for (std::size_t i = 1; i < args.size(); ++i) {
    line += ' ';
    line += QuoteArgument(args[i]);
  }
  return line;
}

SaverArguments ParseSaverArguments(std::span<const std::string> args, const EnvironmentLookup& environment) {
  SaverArguments arguments;
  const std::string program = args.empty() ? std::string("lumisave") : args.front();
  bool root = false;
  std::optional<std::uint32_t> windowId;
  std::vector<std::string> windowsArgs = {program};

  for (std::size_t i = 1; i < args.size(); ++i) {
    const std::string& arg = args[i];
    auto value = [&](const std::string& option) -> const std::string& {
      if (i + 1 >= args.size()) throw UsageError(option + " needs a value");
      return args[++i];
    };
    if (arg == "--help") {
      arguments.action = SaverArguments::Action::Help;
      return arguments;
    }
    if (arg == "--version") {
      arguments.action = SaverArguments::Action::Version;
      return arguments;
    }
    if (arg == "--list-devices") {
      arguments.action = SaverArguments::Action::ListDevices;
      return arguments;
    }
    if (arg == "-root") {
      root = true;
    } else if (arg == "-window-id") {
      windowId = ParseWindowId(value(arg), arg);
    } else if (arg == "--fps") {
      arguments.fps = ParseCount(value(arg), arg, 1, 1000);
    } else if (arg == "--lose-device-every") {
      arguments.loseDeviceEvery = ParseCount(value(arg), arg, 1, 1000000);
    } else if (arg == "--picture-position") {
      const std::string& position = value(arg);
      arguments.overrides.picture_position = PicturePositionNamed(position);
      if (!arguments.overrides.picture_position) {
        throw UsageError(arg + " must be stretch, fit or fill, not '" + position + "'");
      }
    } else if (arg == "--volume") {
      arguments.overrides.volume = ParseCount(value(arg), arg, 0, kMaxSoundVolume);
    } else if (arg == "--mute") {
      arguments.overrides.muted = true;
    } else if (arg == "--unmute") {
      arguments.overrides.muted = false;
    } else if (arg == "--normal-priority") {
      arguments.normalPriority = true;
    } else if (arg == "--scene") {
      arguments.scene = value(arg);
    } else if (arg.starts_with("--scene=")) {
      arguments.scene = arg.substr(8);
      if (arguments.scene->empty()) throw UsageError("--scene needs a value");
    } else {
      windowsArgs.push_back(arg);
    }
  }

  const bool hostConvention = root || windowId;
  if (root && windowId) throw UsageError("-root and -window-id cannot be combined");
  if (hostConvention && windowsArgs.size() > 1) {
    throw UsageError("'" + windowsArgs[1] + "' cannot be combined with " + (root ? "-root" : "-window-id"));
  }
  // xscreensaver runs its hacks with -root and names the window they are to
  // draw into in the environment; on its own the variable asks for a preview.
  const char* variable = (windowId || windowsArgs.size() > 1) ? nullptr : environment(kWindowVariable);
  const std::optional<std::uint32_t> environmentWindow =
      variable ? std::optional(ParseWindowId(variable, kWindowVariable)) : std::nullopt;

  const std::string programName = QuoteProgramName(program);
  if (root) {
    arguments.xWindow = environmentWindow;
    return WithCommandLine(std::move(arguments), programName + " /s");
  }
  if (windowId || environmentWindow) {
    arguments.xWindow = windowId ? windowId : environmentWindow;
    const std::string line = programName + " /p " + std::to_string(*arguments.xWindow);
    return WithCommandLine(std::move(arguments), line);
  }
  return WithCommandLine(std::move(arguments), JoinAsWindowsCommandLine(windowsArgs));
}

}  // namespace lumi
