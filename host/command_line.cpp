#include "host/command_line.h"

#include <limits>

namespace lumi {
namespace {

bool IsDigit(char16_t c) { return c >= u'0' && c <= u'9'; }

std::u16string_view SkipProgramName(std::u16string_view line) {
  const bool quoted = !line.empty() && line.front() == u'"';
  const std::size_t end = quoted ? line.find(u'"', 1) : line.find(u' ');
  return end == std::u16string_view::npos ? std::u16string_view() : line.substr(end + 1);
}

SaverMode ModeForLetter(char16_t letter) {
  switch (letter) {
    case u'c': case u'C': return ModeConfigure;
    case u'p': case u'P': return ModePreview;
    case u't': case u'T': return ModeTest;
    case u'a': case u'A': return ModeChangePassword;
    case u'r': case u'R': return ModeReservedR;
    case u'n': case u'N': return ModeReservedN;
    default: return ModeFull;
  }
}

// The number a window handle is written as. Digits beyond what a handle can
// hold saturate rather than wrap.
WindowHandle ReadHandle(std::u16string_view text) {
  const std::size_t first = text.find_first_of(u"0123456789");
  if (first == std::u16string_view::npos) return 0;
  constexpr WindowHandle kMax = std::numeric_limits<WindowHandle>::max();
  WindowHandle value = 0;
  for (std::size_t i = first; i < text.size() && IsDigit(text[i]); ++i) {
    const int digit = text[i] - u'0';
    if (value > (kMax - digit) / 10) return kMax;
    value = value * 10 + digit;
  }
  return value;
}

}  // namespace

ParsedCommandLine ParseCommandLine(std::u16string_view command_line) {
  const std::u16string_view rest = SkipProgramName(command_line);
  const std::size_t switch_at = rest.find_first_of(u"/-");
  if (switch_at == std::u16string_view::npos || switch_at + 1 == rest.size()) return {};

  ParsedCommandLine parsed{ModeForLetter(rest[switch_at + 1]), 0};
  const bool takes_window =
      parsed.mode == ModeConfigure || parsed.mode == ModePreview || parsed.mode == ModeChangePassword;
  if (takes_window) parsed.parent_window = ReadHandle(rest.substr(switch_at + 2));
  return parsed;
}

}  // namespace lumi
