// The Windows resource script the build writes, and the icon it names.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <stdexcept>

#include "archive/utf.h"
#include "host/string_table.h"
#include "tools/embed/resource_script.h"
#include "tools/embed/saver_icon.h"

namespace lumi::embed {
namespace {

using ::testing::HasSubstr;
using ::testing::Not;

std::uint32_t Read32(const std::vector<unsigned char>& bytes, std::size_t at) {
  return bytes.at(at) | bytes.at(at + 1) << 8 | bytes.at(at + 2) << 16 | std::uint32_t{bytes.at(at + 3)} << 24;
}

TEST(ResourceScript, NamesEveryEntryByIdTypeAndFile) {
  const std::vector<Entry> entries = {{107, "DDS", false, "/tmp/demo.lumi", {}}, {89, "10", true, "bump map.png", {}}};
  const std::string script = ResourceScript(entries, nullptr);
  EXPECT_THAT(script, HasSubstr("\n107 DDS \"/tmp/demo.lumi\"\n"));
  EXPECT_THAT(script, HasSubstr("\n89 10 \"bump map.png\"\n"));
  EXPECT_THAT(script, Not(HasSubstr("STRINGTABLE"))) << "only the saver carries its strings";
  EXPECT_THROW(ResourceScript({{1, "DDS", false, "say \"cheese\".png", {}}}, nullptr), std::invalid_argument);
  EXPECT_THROW(ResourceScript({{1, "DDS", false, "C:\\pictures\\a.png", {}}}, nullptr), std::invalid_argument);
}

TEST(ResourceScript, TheSaverCarriesEveryStringItsDialogsIconVersionAndManifest) {
  const SaverExtras saver{"0.12.3", "/b/lumisave.ico", "/s/lumisave.manifest"};
  const std::string script = ResourceScript({}, &saver);
  EXPECT_THAT(script, HasSubstr("\n1 ICON \"/b/lumisave.ico\"\n"));
  EXPECT_THAT(script, HasSubstr("\n1 24 \"/s/lumisave.manifest\"\n"));
  EXPECT_THAT(script, HasSubstr("FILEVERSION 0,12,3,0\n"));
  EXPECT_THAT(script, HasSubstr("VALUE \"ProductVersion\", \"0.12.3\""));
  ASSERT_FALSE(StringTable().empty());
  for (const StringEntry& entry : StringTable()) {
    EXPECT_THAT(script, HasSubstr("\n  " + std::to_string(entry.id) + ", \"")) << entry.id;
  }
  for (const char* dialog : {"\n106 DIALOGEX ", "\n200 DIALOGEX ", "\n2214 DIALOGEX "}) {
    EXPECT_THAT(script, HasSubstr(dialog));
  }
  // The information text keeps its line ends as escapes, on one line.
  EXPECT_THAT(script, HasSubstr("\n  129, \"Created with Lumivex\\n\\n \"\n"));
  for (const char* version : {"", "1..2", "1.2.3.4.5", "70000", "1.x"}) {
    const SaverExtras bad{version, "i.ico", "m.manifest"};
    EXPECT_THROW(ResourceScript({}, &bad), std::invalid_argument) << version;
  }
}

TEST(SaverIcon, IsOneThirtyTwoBitPictureWithAlpha) {
  const std::vector<unsigned char> icon = SaverIcon();
  ASSERT_GE(icon.size(), 22u);
  EXPECT_EQ(icon[2] | icon[3] << 8, 1) << "an icon";
  EXPECT_EQ(icon[4] | icon[5] << 8, 1) << "one picture";
  EXPECT_EQ(icon[6], 32);
  EXPECT_EQ(icon[7], 32);
  const std::uint32_t size = Read32(icon, 14), offset = Read32(icon, 18);
  ASSERT_EQ(offset + size, icon.size()) << "the picture fills the rest of the file";
  EXPECT_EQ(Read32(icon, offset), 40u) << "a BITMAPINFOHEADER";
  EXPECT_EQ(Read32(icon, offset + 8), 64u) << "colour rows and mask rows";
  const std::size_t pixels = offset + 40;
  const auto alpha = [&](int x, int y_from_top) { return icon.at(pixels + ((31 - y_from_top) * 32 + x) * 4 + 3); };
  EXPECT_EQ(alpha(0, 0), 0) << "the corners are transparent";
  EXPECT_EQ(alpha(31, 31), 0);
  EXPECT_EQ(alpha(16, 16), 255) << "the face is opaque";
}

}  // namespace
}  // namespace lumi::embed
