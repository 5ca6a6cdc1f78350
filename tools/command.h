// The subcommands of lumisave-tool. Each lives in its own file and registers
// itself here; main dispatches by name.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace lumi::tool {

// Exit codes shared by every command.
constexpr int kSuccess = 0;
constexpr int kBadInput = 1;
constexpr int kUsage = 2;

struct Command {
  std::string name;
  std::string summary;  // one line for the command list
  std::string usage;    // the full --help text
  // Receives the arguments after the command name; returns an exit code.
  std::function<int(const std::vector<std::string>& args)> run;
};

std::vector<Command>& Commands();

struct RegisterCommand {
  explicit RegisterCommand(Command command) { Commands().push_back(std::move(command)); }
};

// Thrown by argument parsing; main prints the message and the usage, exit 2.
struct UsageError {
  std::string message;
};

// Small helper for "--name VALUE" options and positional arguments.
class Arguments {
 public:
  explicit Arguments(const std::vector<std::string>& args) : args_(args) {}

  bool Flag(std::string_view name);
  // The value after `name` (or given as name=value), if present.
  std::optional<std::string> Option(std::string_view name);
  std::optional<std::string> Option(std::string_view name, std::string_view alias);
  // What is left once options are taken; unknown "--x" options are errors.
  std::vector<std::string> Positional();

 private:
  std::vector<std::string> args_;
};

}  // namespace lumi::tool
