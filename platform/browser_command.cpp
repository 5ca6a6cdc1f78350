#include "platform/browser_command.h"

namespace lumi {

std::optional<std::u16string> BrowserCommandLine(std::u16string_view command, std::u16string_view address) {
  if (command.find_first_not_of(u' ') == std::u16string_view::npos) return std::nullopt;
  std::u16string line(command);
  if (const std::size_t quoted = line.find(u"\"%1\""); quoted != std::u16string::npos) {
    line.replace(quoted + 1, 2, address);
  } else {
    line.append(u" ").append(address);
  }
  if (line.size() > kMaxBrowserCommandLine) return std::nullopt;
  return line;
}

}  // namespace lumi
