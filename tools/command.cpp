#include "tools/command.h"

namespace lumi::tool {

std::vector<Command>& Commands() {
  static std::vector<Command> commands;
  return commands;
}

bool Arguments::Flag(std::string_view name) {
  for (auto it = args_.begin(); it != args_.end(); ++it) {
    if (*it == name) {
      args_.erase(it);
      return true;
    }
  }
  return false;
}

std::optional<std::string> Arguments::Option(std::string_view name) {
  for (auto it = args_.begin(); it != args_.end(); ++it) {
    if (*it == name) {
      if (it + 1 == args_.end()) throw UsageError{std::string(name) + " needs a value"};
      std::string value = *(it + 1);
      args_.erase(it, it + 2);
      return value;
    }
    if (it->size() > name.size() + 1 && it->starts_with(name) && (*it)[name.size()] == '=') {
      std::string value = it->substr(name.size() + 1);
      args_.erase(it);
      return value;
    }
  }
  return std::nullopt;
}

std::optional<std::string> Arguments::Option(std::string_view name, std::string_view alias) {
  auto value = Option(name);
  return value ? value : Option(alias);
}

std::vector<std::string> Arguments::Positional() {
  for (const std::string& arg : args_) {
    if (arg.size() > 1 && arg[0] == '-') throw UsageError{"unknown option " + arg};
  }
  return args_;
}

}  // namespace lumi::tool
