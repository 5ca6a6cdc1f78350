// The command line that opens a web address with the browser command the
// shell registers for http, such as
//   "C:\Program Files\Browser\browser.exe" -osint -url "%1"
// The registered command is text, never a format: only a quoted "%1" takes
// the address; any other percent sign stays as it is.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace lumi {

// The longest command line the saver starts, as the shell's own buffers
// hold it.
inline constexpr std::size_t kMaxBrowserCommandLine = 260;

// The address in place of the first quoted "%1", else after the command and
// a blank. Nullopt for an empty command or a result longer than
// kMaxBrowserCommandLine characters: a cut command line could start
// something else than the browser.
std::optional<std::u16string> BrowserCommandLine(std::u16string_view command, std::u16string_view address);

}  // namespace lumi
