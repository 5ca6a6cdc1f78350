// The browser command line made from the shell's registered command.
#include <gtest/gtest.h>

#include "platform/browser_command.h"

namespace lumi {
namespace {

constexpr std::u16string_view kAddress = u"https://lumisave.example/";

TEST(BrowserCommandLine, TheQuotedPlaceholderTakesTheAddress) {
  EXPECT_EQ(BrowserCommandLine(u"\"C:\\b\\browser.exe\" -osint -url \"%1\"", kAddress),
            u"\"C:\\b\\browser.exe\" -osint -url \"https://lumisave.example/\"");
  // Only the first quoted one; an unquoted %1 is no placeholder.
  EXPECT_EQ(BrowserCommandLine(u"b.exe %1 \"%1\" \"%1\"", kAddress), u"b.exe %1 \"https://lumisave.example/\" \"%1\"");
}

TEST(BrowserCommandLine, WithoutQuotedPlaceholderTheAddressFollowsABlank) {
  EXPECT_EQ(BrowserCommandLine(u"browser.exe", kAddress), u"browser.exe https://lumisave.example/");
  EXPECT_EQ(BrowserCommandLine(u"browser.exe %1", kAddress), u"browser.exe %1 https://lumisave.example/");
}

// Other shell placeholders and stray format directives are text: nothing is
// expanded and nothing reads arguments that are not there.
TEST(BrowserCommandLine, PercentSignsAreNeverFormatDirectives) {
  EXPECT_EQ(BrowserCommandLine(u"b.exe %L %* %2 %s%n%%", kAddress), u"b.exe %L %* %2 %s%n%% https://lumisave.example/");
  EXPECT_EQ(BrowserCommandLine(u"b.exe \"%1\" %s %L", u"https://a.example/%s%n"),
            u"b.exe \"https://a.example/%s%n\" %s %L");
}

TEST(BrowserCommandLine, NothingToStartOrTooLongIsRefusedNeverCut) {
  EXPECT_EQ(BrowserCommandLine(u"", kAddress), std::nullopt);
  EXPECT_EQ(BrowserCommandLine(u"   ", kAddress), std::nullopt);
  const std::u16string program = u"b.exe ";
  // The address follows one more blank.
  const std::u16string fits(kMaxBrowserCommandLine - program.size() - 1 - kAddress.size(), u'x');
  const std::optional<std::u16string> longest = BrowserCommandLine(program + fits, kAddress);
  ASSERT_TRUE(longest);
  EXPECT_EQ(longest->size(), kMaxBrowserCommandLine);
  EXPECT_EQ(BrowserCommandLine(program + fits + u"x", kAddress), std::nullopt);
  EXPECT_EQ(BrowserCommandLine(u"b.exe \"%1\"", std::u16string(kMaxBrowserCommandLine, u'a')), std::nullopt);
}

}  // namespace
}  // namespace lumi
