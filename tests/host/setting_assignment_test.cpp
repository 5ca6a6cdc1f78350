// Naming and checking a stored value before it is written.
#include "host/setting_assignment.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "host/saver_settings.h"
#include "host/screensaver.h"

namespace lumi {
namespace {

using ::testing::HasSubstr;
using ::testing::IsEmpty;
using ::testing::Not;

SettingAssignment Parse(std::string_view name, std::string_view value) {
  return ParseSettingAssignment(name, value, kSettingsKeyPath);
}

TEST(SettingAssignment, NamesWithOrWithoutTheirQuotesAndPerScreen) {
  const SettingAssignment position = Parse("PicPos", "fit");
  EXPECT_THAT(position.error, IsEmpty());
  EXPECT_EQ(position.key, kSettingsKeyPath);
  EXPECT_EQ(position.name, kValuePicturePosition);
  EXPECT_EQ(position.value, 1u);
  EXPECT_EQ(Parse("\"SoundVolume\"", "40").name, kValueSoundVolume);
  EXPECT_EQ(Parse("PicPos", "stretch").value, 0u);
  EXPECT_EQ(Parse("PicPos", "2").value, 2u);
  // Names and words in any case, as the dialogs write them.
  EXPECT_EQ(Parse("picpos", "Fill").value, 2u);
  EXPECT_EQ(Parse("\"soundvolume\"", "5").name, kValueSoundVolume);
  EXPECT_EQ(Parse("screen 3/disable hardware", "1").name, kValueDisableHardware);

  const SettingAssignment width = Parse("Screen 2/Width", "800");
  EXPECT_THAT(width.error, IsEmpty());
  EXPECT_EQ(width.key, std::u16string(kSettingsKeyPath) + u"Screen 2");
  EXPECT_EQ(width.name, kValueWidth);
  EXPECT_EQ(width.value, 800u);
  EXPECT_EQ(Parse("Screen 9/Disable Hardware", "1").name, kValueDisableHardware);
  EXPECT_EQ(Parse("Screen 1/Quality", "Fastest").value, 2u);
  EXPECT_THAT(Parse("Screen 1/Quality", "3").error, HasSubstr("automatic, best, fastest"));
}

TEST(SettingAssignment, RefusalsSayWhatIsAccepted) {
  EXPECT_THAT(Parse("SoundVolume", "101").error, HasSubstr("0 to 100"));
  EXPECT_THAT(Parse("MuteSound", "2").error, HasSubstr("0 to 1"));
  EXPECT_THAT(Parse("PicPos", "centre").error, HasSubstr("stretch, fit, fill"));
  EXPECT_THAT(Parse("PicPos", "-1").error, HasSubstr("0 to 2"));
  EXPECT_THAT(Parse("SoundVolume", "").error, HasSubstr("0 to 100"));
  EXPECT_THAT(Parse("Screen 1/Width", "4294967296").error, HasSubstr("whole number"));
  EXPECT_THAT(Parse("SoundVolume", "5x").error, Not(IsEmpty()));
  for (const char* name : {"Volume", "Screen 0/Width", "Screen 10/Width", "Screen x/Width", "Screen 1/PicPos",
                           "Width"}) {
    const SettingAssignment refused = Parse(name, "1");
    EXPECT_THAT(refused.error, HasSubstr("unknown setting")) << name;
    EXPECT_THAT(refused.error, HasSubstr("Screen N/Disable Hardware")) << name;
    EXPECT_THAT(refused.error, HasSubstr("SoundVolume")) << name;
  }
  EXPECT_THAT(Parse("Screen 1/Adapter ID", "00").error, HasSubstr("read-only"));
}

}  // namespace
}  // namespace lumi
