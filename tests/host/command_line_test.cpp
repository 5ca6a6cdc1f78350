#include "host/command_line.h"

#include <gtest/gtest.h>

#include <limits>

namespace lumi {
namespace {

struct Case {
  std::u16string_view line;
  SaverMode mode;
  WindowHandle parent;
};

void PrintTo(const Case& c, std::ostream* os) {
  for (char16_t ch : c.line) *os << static_cast<char>(ch < 128 ? ch : '?');
}

class ParseCommandLineCases : public ::testing::TestWithParam<Case> {};

TEST_P(ParseCommandLineCases, GivesModeAndParent) {
  const ParsedCommandLine parsed = ParseCommandLine(GetParam().line);
  EXPECT_EQ(parsed.mode, GetParam().mode);
  EXPECT_EQ(parsed.parent_window, GetParam().parent);
}

INSTANTIATE_TEST_SUITE_P(
    Examples, ParseCommandLineCases,
    ::testing::Values(Case{u"prog.scr /s", ModeFull, 0},
                      Case{u"\"C:\\Program Files\\My Saver\\prog.scr\" /p 1234", ModePreview, 1234},
                      Case{u"prog.scr /c:5678", ModeConfigure, 5678},
                      Case{u"prog.scr", ModeConfigure, 0},
                      Case{u"prog.scr /x", ModeFull, 0}));

INSTANTIATE_TEST_SUITE_P(
    NoSwitch, ParseCommandLineCases,
    ::testing::Values(Case{u"", ModeConfigure, 0}, Case{u"prog.scr ", ModeConfigure, 0},
                      Case{u"prog.scr settings 42", ModeConfigure, 0},
                      // The unterminated quote swallows the whole line.
                      Case{u"\"prog /s", ModeConfigure, 0},
                      Case{u"prog.scr /", ModeConfigure, 0}, Case{u"prog.scr -", ModeConfigure, 0}));

INSTANTIATE_TEST_SUITE_P(
    ProgramNameIsSkipped, ParseCommandLineCases,
    ::testing::Values(Case{u"\"C:\\a-b\\c/d.scr\" /p 7", ModePreview, 7},
                      Case{u"\"C:\\a-b\\c/d.scr\"", ModeConfigure, 0},
                      // An unquoted name ends at the first blank, so its dashes are skipped too.
                      Case{u"C:\\a-r\\saver.scr /t", ModeTest, 0},
                      // ...but a name without blanks and no arguments leaves nothing to scan.
                      Case{u"saver-r.scr", ModeConfigure, 0}));

INSTANTIATE_TEST_SUITE_P(
    Letters, ParseCommandLineCases,
    ::testing::Values(Case{u"p /S", ModeFull, 0}, Case{u"p /s", ModeFull, 0}, Case{u"p -s", ModeFull, 0},
                      Case{u"p /q", ModeFull, 0}, Case{u"p /1", ModeFull, 0}, Case{u"p /C", ModeConfigure, 0},
                      Case{u"p -c", ModeConfigure, 0}, Case{u"p /t", ModeTest, 0}, Case{u"p /T", ModeTest, 0},
                      Case{u"p /a 99", ModeChangePassword, 99}, Case{u"p /A", ModeChangePassword, 0},
                      Case{u"p /r", ModeReservedR, 0}, Case{u"p -R", ModeReservedR, 0},
                      Case{u"p /n", ModeReservedN, 0}, Case{u"p /N", ModeReservedN, 0},
                      // Only the first switch counts, wherever it stands.
                      Case{u"p words/t -s", ModeTest, 0}, Case{u"p /\u00e9", ModeFull, 0}));

INSTANTIATE_TEST_SUITE_P(
    ParentWindow, ParseCommandLineCases,
    ::testing::Values(Case{u"p /p", ModePreview, 0}, Case{u"p /p abc", ModePreview, 0},
                      Case{u"p /c:123", ModeConfigure, 123}, Case{u"p /c 123", ModeConfigure, 123},
                      Case{u"p /p abc456", ModePreview, 456}, Case{u"p /p 12x34", ModePreview, 12},
                      // A minus sign is skipped like any other non-digit.
                      Case{u"p /p -5", ModePreview, 5},
                      // Letters that take no window read no number.
                      Case{u"p /s 123", ModeFull, 0}, Case{u"p /t 123", ModeTest, 0},
                      Case{u"p /p 99999999999999999999999", ModePreview, std::numeric_limits<WindowHandle>::max()}));

}  // namespace
}  // namespace lumi
