#include "host/string_table.h"

#include <gtest/gtest.h>

#include <set>
#include <utility>

#include "host/mnemonic_label.h"

namespace lumi {
namespace {

TEST(StringTable, LoadStringTruncatesAndTerminates) {
  char16_t buffer[8];
  EXPECT_EQ(LoadString(kStringWindowTitle, buffer, 8), 7u);
  EXPECT_EQ(std::u16string(buffer), u"Lumisav");
  EXPECT_EQ(LoadString(kStringWindowTitle, buffer, 1), 0u);
  EXPECT_EQ(buffer[0], u'\0');
  buffer[0] = u'x';
  EXPECT_EQ(LoadString(kStringWindowTitle, buffer, 0), 0u);
  EXPECT_EQ(buffer[0], u'x');
  EXPECT_EQ(LoadString(4321, buffer, 8), 0u);
  EXPECT_EQ(buffer[0], u'\0');
  EXPECT_EQ(FindString(kStringInformation), u"Created with Lumivex\n\n ");
}

// The graphics layer the texts name: what the saver draws with.
#ifdef _WIN32
#define GRAPHICS u"Direct3D"
constexpr std::u16string_view kGraphicsMissing =
    u"Direct3D 8.0 could not be initialized.  Please install the latest version of DirectX.";
#else
#define GRAPHICS u"OpenGL"
constexpr std::u16string_view kGraphicsMissing =
    u"OpenGL 3.3 could not be initialized.  Please install the latest graphics drivers for your system.";
#endif

TEST(StringTable, EveryErrorCodeHasItsText) {
  const std::pair<std::uint32_t, std::u16string_view> expected[] = {
      {0x82000001, kGraphicsMissing},
      {0x82000007, u"Could not initialize the screen saver."},
      {0x8200000E, u"Could not create the " GRAPHICS u" device."},
      {0x82000003, u"Could not find any compatible " GRAPHICS u" devices."},
      {0x82000005, u"No hardware-accelerated " GRAPHICS u" devices were found."},
      {0x82000006, u"This screen saver requires functionality that is not available on your " GRAPHICS u" hardware "
                   u"accelerator."},
      {0x82000009, u"This screen saver requires functionality that is not available on your " GRAPHICS u" hardware "
                   u"accelerator with the current desktop display settings."},
      {0x8200000B, u"Could not load required media."},
      {0x8200000C, u"Could not reset the " GRAPHICS u" device."},
      {0x8007000E, u"Not enough memory."},
      {0x8876017C, u"Not enough video memory."},
      {0x8200000F, u"No preview available"},
  };
  for (const auto& [code, text] : expected) {
    std::u16string loaded;
    EXPECT_TRUE(LookUpErrorText(MakeResult(code), loaded)) << std::hex << code;
    EXPECT_EQ(loaded, text) << std::hex << code;
  }
}

TEST(StringTable, UnlistedCodesAndEFailGiveTheUnspecifiedText) {
  const std::u16string unspecified = u"There was an unspecified problem with this screen saver.";
  for (std::uint32_t code : {0x80004005u, 0x8200000Du, 0x82000002u, 0u, 0x7FFFFFFFu}) {
    std::u16string text = u"old";
    EXPECT_FALSE(LookUpErrorText(MakeResult(code), text)) << std::hex << code;
    EXPECT_EQ(text, unspecified);
  }
  char16_t small[10];
  EXPECT_TRUE(LookUpErrorText(kErrorMediaMissing, small, 10));
  EXPECT_EQ(std::u16string(small), u"Could not");
}

TEST(StringTable, HelpTextsKeepTwoBlanksAfterFullStops) {
  const std::u16string_view first = *FindString(2200);
  EXPECT_EQ(first, u"This video adapter supports hardware 3D rendering.  This screen saver can be displayed on this "
                   u"monitor.");
  for (std::uint32_t id = 2200; id <= 2212; ++id) {
    const auto text = FindString(id);
    ASSERT_TRUE(text) << id;
    for (std::size_t at = text->find(u". "); at != std::u16string_view::npos; at = text->find(u". ", at + 1)) {
      EXPECT_EQ(text->substr(at, 3), u".  ") << id;
    }
  }
  EXPECT_EQ(FindString(2212), u"The screen saver cannot be displayed on this monitor.");
}

TEST(StringTable, DialogTexts) {
  EXPECT_EQ(FindDialogText(kDialogConfiguration, 1006), u"&Display Settings...");
  EXPECT_EQ(FindDialogText(kDialogDisplaySettings, 2016), u"%d by %d, %d bit color");
  EXPECT_EQ(FindDialogText(kDialogSoundSettings, kControlCaption), u"Sound Settings");
  EXPECT_FALSE(FindDialogText(kDialogSoundSettings, 1006));

  std::vector<std::u16string_view> positions;
  for (const DialogText& entry : DialogTexts()) {
    if (entry.dialog == kDialogConfiguration && entry.control == 1023) positions.push_back(entry.text);
  }
  EXPECT_EQ(positions, (std::vector<std::u16string_view>{u"Stretch", u"Fit", u"Fill"}));
}

TEST(MnemonicLabel, AmpersandsBecomeUnderscores) {
  EXPECT_EQ(ToUnderscoreMnemonic(u"&Display Settings..."), "_Display Settings...");
  EXPECT_EQ(ToUnderscoreMnemonic(u"Display &mode for this video adapter:"), "Display _mode for this video adapter:");
  EXPECT_EQ(ToUnderscoreMnemonic(u"Salt && pepper_mill \u00e9"), "Salt & pepper__mill \xc3\xa9");
  EXPECT_EQ(ToUnderscoreMnemonic(u"Ends in &"), "Ends in _");
  EXPECT_EQ(ToUnderscoreMnemonic(u""), "");
}

}  // namespace
}  // namespace lumi
