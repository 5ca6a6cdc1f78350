// lumisave-tool: inspect, build, render and measure lumisave documents.
#include <cstdio>
#include <exception>
#include <string>
#include <vector>

#include "archive/input_error.h"
#include "scene/notices.h"
#include "tools/command.h"

namespace {

using lumi::tool::Commands;

void PrintOverview(std::FILE* out) {
  std::fprintf(out,
               "Usage: lumisave-tool COMMAND [ARGS...]\n"
               "Inspect, build, render and measure lumisave documents.\n\nCommands:\n");
  for (const auto& command : Commands()) std::fprintf(out, "  %-10s %s\n", command.name.c_str(), command.summary.c_str());
  std::fprintf(out, "\nRun 'lumisave-tool COMMAND --help' for a command's options.\n");
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<std::string> args(argv + 1, argv + argc);
  if (args.empty()) {
    PrintOverview(stderr);
    return lumi::tool::kUsage;
  }
  if (args[0] == "--help" || args[0] == "-h" || args[0] == "help") {
    PrintOverview(stdout);
    return lumi::tool::kSuccess;
  }
  if (args[0] == "--version") {
    std::printf("lumisave-tool %s\n", LUMI_VERSION);
    return lumi::tool::kSuccess;
  }
  for (const auto& command : Commands()) {
    if (command.name != args[0]) continue;
    const std::vector<std::string> rest(args.begin() + 1, args.end());
    for (const std::string& arg : rest) {
      if (arg == "--help" || arg == "-h") {
        std::printf("%s", command.usage.c_str());
        return lumi::tool::kSuccess;
      }
    }
    try {
      const int code = command.run(rest);
      for (const std::string& notice : lumi::TakeNewNotices()) std::fprintf(stderr, "%s\n", notice.c_str());
      return code;
    } catch (const lumi::tool::UsageError& e) {
      std::fprintf(stderr, "lumisave-tool %s: %s\n\n%s", command.name.c_str(), e.message.c_str(),
                   command.usage.c_str());
      return lumi::tool::kUsage;
    } catch (const lumi::InputError& e) {
      std::fprintf(stderr, "lumisave-tool %s: %s\n", command.name.c_str(), e.what());
      return lumi::tool::kBadInput;
    } catch (const std::bad_alloc&) {
      std::fprintf(stderr, "lumisave-tool %s: not enough memory\n", command.name.c_str());
      return lumi::tool::kBadInput;
    }
  }
  std::fprintf(stderr, "lumisave-tool: unknown command '%s'\n\n", args[0].c_str());
  PrintOverview(stderr);
  return lumi::tool::kUsage;
}
