// The dialogs the resource script carries, checked against the saver's
// dialog texts they are written from.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <regex>

#include "archive/utf.h"
#include "host/string_table.h"
#include "tools/embed/dialog_script.h"
#include "tools/embed/resource_script.h"

namespace lumi::embed {
namespace {

using ::testing::HasSubstr;

// The lines between "<id> DIALOGEX" and its END.
std::string DialogBlock(const std::string& script, int dialog) {
  const std::size_t start = script.find("\n" + std::to_string(dialog) + " DIALOGEX ");
  if (start == std::string::npos) return {};
  return script.substr(start, script.find("\nEND\n", start) - start);
}

// The style expression of one control line.
std::string ControlStyle(const std::string& block, int control, const char* control_class) {
  const std::regex line("CONTROL \"[^\"]*\", " + std::to_string(control) + ", \"" + control_class + "\", ([^,]*),");
  std::smatch match;
  return std::regex_search(block, match, line) ? match[1].str() : std::string("(none)");
}

TEST(DialogTemplates, EveryTextOfEveryDialogHasItsControl) {
  const std::string script = "\n" + DialogTemplates();
  for (const DialogText& entry : DialogTexts()) {
    const std::string block = DialogBlock(script, entry.dialog);
    ASSERT_FALSE(block.empty()) << entry.dialog;
    // The picture positions and the qualities are their lists' items,
    // added when the dialog opens.
    if (entry.control == 1023 || entry.control == 2018) continue;
    const std::string quoted = QuotedText(entry.text);
    if (entry.control == kControlCaption) {
      EXPECT_THAT(block, HasSubstr("\nCAPTION " + quoted + "\n")) << entry.dialog;
    } else {
      EXPECT_THAT(block, HasSubstr("CONTROL " + quoted + ", " + std::to_string(entry.control) + ", "))
          << entry.dialog << " " << ToUtf8(entry.text);
    }
  }
  EXPECT_THAT(script, HasSubstr("CONTROL \"&Display Settings...\", 1006, \"Button\""));
  EXPECT_THAT(DialogBlock(script, 106), HasSubstr("\nCAPTION " + QuotedText(*FindString(kStringWindowTitle))));
}

TEST(DialogTemplates, ControlsHaveTheKindsTheDialogsDrive) {
  const std::string script = "\n" + DialogTemplates();
  const std::string configuration = DialogBlock(script, 106), display = DialogBlock(script, 200),
                    sound = DialogBlock(script, 2214);
  EXPECT_EQ(ControlStyle(configuration, 1023, "ComboBox"), "0x210003") << "a drop-down list with a tab stop";
  EXPECT_EQ(ControlStyle(configuration, 1028, "Static"), "0x80");
  EXPECT_EQ(ControlStyle(configuration, 1, "Button"), "0x10001") << "OK is the default button";
  EXPECT_EQ(ControlStyle(display, 2005, "Button"), "0x10003") << "an automatic check box";
  EXPECT_EQ(ControlStyle(display, 2011, "ComboBox"), "0x210003");
  // The mode list's texts are there but never shown.
  EXPECT_EQ(ControlStyle(display, 2012, "Static"), "0x80 | NOT 0x10000000");
  EXPECT_EQ(ControlStyle(display, 2016, "Static"), "0x80 | NOT 0x10000000");
  EXPECT_EQ(ControlStyle(display, 2003, "Static"), "0x80");
  EXPECT_EQ(ControlStyle(sound, 1021, "msctls_trackbar32"), "0x1000B") << "vertical, ticks on both sides";
  EXPECT_EQ(ControlStyle(sound, 1022, "Button"), "0x10003");
}

}  // namespace
}  // namespace lumi::embed
