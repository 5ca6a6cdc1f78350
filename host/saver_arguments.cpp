#include "host/saver_arguments.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <string_view>
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
  const bool needs_quotes = plain.empty() || plain.find_first_of(" \t") != std::string::npos;
  return needs_quotes ? "\"" + plain + "\"" : plain;
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

// Our own options, with one dash or two (xscreensaver passes either), and
// a value after "=" or as the next argument.
constexpr std::array<std::string_view, 13> kLongOptions = {
    "help",   "version",  "list-devices", "root",   "window-id",       "fps",  "lose-device-every",
    "picture-position", "volume", "mute", "unmute", "normal-priority", "scene"};

constexpr std::array<std::string_view, 6> kOptionsWithValues = {"window-id",        "fps",    "lose-device-every",
                                                                 "picture-position", "volume", "scene"};

struct LongOption {
  std::string spelled;  // as given, up to any "="
  std::string name;
  std::optional<std::string> value;
};

std::optional<LongOption> SplitLongOption(const std::string& arg) {
  const std::size_t dashes = arg.starts_with("--") ? 2 : arg.starts_with("-") ? 1 : 0;
  if (dashes == 0 || arg.size() <= dashes + 1) return std::nullopt;
  const std::size_t equals = arg.find('=');
  LongOption option{arg.substr(0, equals), arg.substr(dashes, equals == std::string::npos ? equals : equals - dashes), {}};
  if (equals != std::string::npos) option.value = arg.substr(equals + 1);
  if (std::find(kLongOptions.begin(), kLongOptions.end(), option.name) == kLongOptions.end()) return std::nullopt;
  return option;
}

// "/" and every letter after it keep the meaning Windows gives them; after
// "-" only the letters Windows lists do (-s, -c:12, -p 34), so a mistyped
// option is refused instead of starting the full-screen saver.
bool IsWindowsSwitch(const std::string& arg) {
  if (arg.starts_with("/")) return true;
  if (arg.size() < 2 || arg[0] != '-' || std::string_view("cCpPsStTaArRnN").find(arg[1]) == std::string_view::npos) {
    return false;
  }
  return arg.size() == 2 || arg[2] == ':' || (arg[2] >= '0' && arg[2] <= '9');
}

SaverArguments WithCommandLine(SaverArguments arguments, const std::string& line) {
  arguments.command_line = FromUtf8(line);
  arguments.parsed = ParseCommandLine(arguments.command_line);
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
  std::optional<std::uint32_t> window_id;
  std::vector<std::string> windows_args = {program};

  for (std::size_t i = 1; i < args.size(); ++i) {
    const std::string& arg = args[i];
    const std::optional<LongOption> option = SplitLongOption(arg);
    if (!option) {
      if (arg.starts_with("-") && !IsWindowsSwitch(arg)) throw UsageError("unknown option '" + arg + "'");
      windows_args.push_back(arg);
      continue;
    }
    const std::string& name = option->name;
    const std::string& spelled = option->spelled;
    const bool takes_value =
        std::find(kOptionsWithValues.begin(), kOptionsWithValues.end(), name) != kOptionsWithValues.end();
    if (option->value && !takes_value) throw UsageError(spelled + " takes no value");
    auto value = [&]() -> std::string {
      if (option->value) {
        if (option->value->empty()) throw UsageError(spelled + " needs a value");
        return *option->value;
      }
      if (i + 1 >= args.size()) throw UsageError(spelled + " needs a value");
      return args[++i];
    };
    if (name == "help") {
      arguments.action = SaverArguments::Action::Help;
      return arguments;
    }
    if (name == "version") {
      arguments.action = SaverArguments::Action::Version;
      return arguments;
    }
    if (name == "list-devices") {
      arguments.action = SaverArguments::Action::ListDevices;
      return arguments;
    }
    if (name == "root") {
      root = true;
    } else if (name == "window-id") {
      window_id = ParseWindowId(value(), spelled);
    } else if (name == "fps") {
      arguments.fps = ParseCount(value(), spelled, 1, 1000);
    } else if (name == "lose-device-every") {
      arguments.lose_device_every = ParseCount(value(), spelled, 1, 1000000);
    } else if (name == "picture-position") {
      const std::string position = value();
      arguments.overrides.picture_position = PicturePositionNamed(position);
      if (!arguments.overrides.picture_position) {
        throw UsageError(spelled + " must be stretch, fit or fill, not '" + position + "'");
      }
    } else if (name == "volume") {
      arguments.overrides.volume = ParseCount(value(), spelled, 0, kMaxSoundVolume);
    } else if (name == "mute") {
      arguments.overrides.muted = true;
    } else if (name == "unmute") {
      arguments.overrides.muted = false;
    } else if (name == "normal-priority") {
      arguments.normal_priority = true;
    } else if (name == "scene") {
      arguments.scene = value();
    }
  }

  if (root && windows_args.size() > 1) throw UsageError("'" + windows_args[1] + "' cannot be combined with -root");
  if (window_id && windows_args.size() > 1) {
    throw UsageError("'" + windows_args[1] + "' cannot be combined with -window-id");
  }
  // xscreensaver runs its hacks with -root and names the window they are to
  // draw into in the environment; on its own the variable asks for a preview.
  const char* variable = (window_id || windows_args.size() > 1) ? nullptr : environment(kWindowVariable);
  const std::optional<std::uint32_t> environment_window =
      variable ? std::optional(ParseWindowId(variable, kWindowVariable)) : std::nullopt;

  const std::string program_name = QuoteProgramName(program);
  // A window id beside -root is xscreensaver's preview pane: the id wins, as
  // in xscreensaver's own programs.
  if (root && !window_id) {
    arguments.x_window = environment_window;
    return WithCommandLine(std::move(arguments), program_name + " /s");
  }
  if (window_id || environment_window) {
    arguments.x_window = window_id ? window_id : environment_window;
    const std::string line = program_name + " /p " + std::to_string(*arguments.x_window);
    return WithCommandLine(std::move(arguments), line);
  }
  return WithCommandLine(std::move(arguments), JoinAsWindowsCommandLine(windows_args));
}

}  // namespace lumi
