// The settings dialogs' behaviour without a toolkit, on recorded adapter
// answers and a store in memory.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "archive/utf.h"
#include "host/configuration_model.h"
#include "host/device_choice.h"
#include "host/screensaver.h"
#include "host/string_table.h"
#include "tests/support/memory_settings_store.h"

namespace lumi {
namespace {

using ::testing::ElementsAre;

constexpr std::uint32_t kFormatR5G6B5 = 23;
const std::u16string kScreen1 = std::u16string(kSettingsKeyPath) + u"Screen 1";

AdapterAnswer Renderer(bool software) {
  AdapterAnswer answer;
  answer.monitor = 0;
  answer.software = software;
  answer.identifier = {software ? std::uint8_t{7} : std::uint8_t{9}};
  answer.desktop = {1024, 768};
  answer.modes = {{1024, 768}, {640, 480}, {800, 600, kFormatR5G6B5}};
  return answer;
}

class DialogModels : public ::testing::Test {
 protected:
  std::optional<std::uint32_t> Stored(const std::u16string& key, std::u16string_view name) {
    const std::optional<SettingValue> value = store.Read(key, name);
    if (!value || value->bytes.size() != 4) return std::nullopt;
    return value->bytes[0] | value->bytes[1] << 8 | value->bytes[2] << 16 | std::uint32_t{value->bytes[3]} << 24;
  }
  ConfigurationModel Open(bool software = true) {
    return ConfigurationModel(settings, {MakeDialogAdapter(Renderer(software), u"llvmpipe (LLVM 15.0.6, 256 bits)")}, 0);
  }

  test::MemorySettingsStore store;
  SaverSettings settings{store, kSettingsKeyPath};
};

TEST_F(DialogModels, OpeningForAFreshUserStoresEveryScreenValue) {
  const ConfigurationModel configuration = Open();
  EXPECT_EQ(Stored(kSettingsKeyPath, kValueAllScreensSame), 0u);
  for (const char16_t* name :
       {kValueLeaveBlack, kValueDisableHardware, kValueWidth, kValueHeight, kValueFormat, kValueQuality}) {
    EXPECT_EQ(Stored(kScreen1, name), 0u) << ToUtf8(name);
  }
  ASSERT_TRUE(store.Read(kScreen1, kValueAdapterId));
  EXPECT_EQ(store.Read(kScreen1, kValueAdapterId)->bytes[0], 7);
  EXPECT_EQ(configuration.SelectedPosition(), kDefaultPicturePosition);
  EXPECT_THAT(configuration.PositionItems(), ElementsAre(u"Stretch", u"Fit", u"Fill"));
  EXPECT_EQ(configuration.Title(), std::u16string(*FindString(kStringWindowTitle)));
  EXPECT_FALSE(configuration.WebAddress().empty());
}

TEST_F(DialogModels, OkStoresThePositionAndTheDisplayChoices) {
  ConfigurationModel configuration = Open();
  configuration.SelectPosition(1);
  configuration.SelectPosition(3);  // beyond the list
  DisplaySettingsModel display = configuration.DisplaySettings();
  display.SelectLine(2);  // after "Automatic": 640 x 480, then 800 x 600
  EXPECT_THAT(display.QualityItems(), ElementsAre(u"Automatic", u"Best", u"Fastest"));
  EXPECT_EQ(display.SelectedQuality(), 0u);
  display.SelectQuality(2);
  display.SelectQuality(3);  // beyond the list
  configuration.Ok();
  EXPECT_EQ(Stored(kScreen1, kValueQuality), 2u);
  EXPECT_EQ(Stored(kSettingsKeyPath, kValuePicturePosition), 1u);
  EXPECT_EQ(Stored(kScreen1, kValueWidth), 800u);
  EXPECT_EQ(Stored(kScreen1, kValueHeight), 600u);
  EXPECT_EQ(Stored(kScreen1, kValueFormat), kFormatR5G6B5);

  // Reopened, the stored mode is selected; "Automatic" zeroes it again.
  ConfigurationModel again = Open();
  EXPECT_EQ(again.SelectedPosition(), 1u);
  DisplaySettingsModel reopened = again.DisplaySettings();
  EXPECT_EQ(reopened.SelectedLine(), 2u);
  EXPECT_EQ(reopened.SelectedQuality(), 2u);
  reopened.SelectLine(0);
  again.Ok();
  EXPECT_EQ(Stored(kScreen1, kValueWidth), 0u);
  EXPECT_EQ(Stored(kScreen1, kValueFormat), 0u);
}

TEST_F(DialogModels, CancelDropsDisplayChangesButKeepsSoundOnesWrittenAtTheirOk) {
  ConfigurationModel configuration = Open();
  configuration.SelectPosition(0);
  configuration.DisplaySettings().SelectLine(1);
  configuration.DisplaySettings().SelectQuality(1);
  SoundSettingsModel sound = configuration.SoundSettings();
  sound.SetScalePosition(100);  // the bottom
  sound.SetMuted(true);
  sound.Ok();
  configuration.Cancel();
  EXPECT_EQ(Stored(kSettingsKeyPath, kValuePicturePosition), std::nullopt);
  EXPECT_EQ(Stored(kScreen1, kValueWidth), 0u);
  EXPECT_EQ(configuration.Adapters()[0].screen.width, 0u) << "read back from the store";
  EXPECT_EQ(Stored(kScreen1, kValueQuality), 0u);
  EXPECT_EQ(Stored(kSettingsKeyPath, kValueSoundVolume), 0u);
  EXPECT_EQ(Stored(kSettingsKeyPath, kValueMuteSound), 1u);
}

TEST_F(DialogModels, SoftwareRendererPage) {
  ConfigurationModel configuration = Open(true);
  const DisplaySettingsModel display = configuration.DisplaySettings();
  EXPECT_EQ(display.AdapterName(), u"llvmpipe (LLVM 15.0.6, 256 bits)");
  EXPECT_EQ(display.RenderingTextId(), 2211u);
  EXPECT_FALSE(display.DisableHardwareEnabled());
  EXPECT_FALSE(display.DisableHardwareChecked());
  EXPECT_EQ(display.HelpTextId(), 2204u);
  const std::vector<ModeLine> lines = display.ModeLines();
  ASSERT_EQ(lines.size(), 4u);
  EXPECT_EQ(lines[0].text, u"Automatic");
  EXPECT_EQ(lines[0].item, -1);
  EXPECT_EQ(lines[1].text, u"640 by 480, 32 bit color");
  EXPECT_EQ(lines[2].text, u"800 by 600, 16 bit color");
  EXPECT_EQ(lines[3].text, u"1024 by 768, 32 bit color");
  EXPECT_EQ(lines[3].item, 2);
  EXPECT_EQ(display.SelectedLine(), 0u);
}

TEST_F(DialogModels, HardwareCanBeSwitchedOffAndCancelRestoresEveryRecord) {
  store.Write(kSettingsKeyPath, kValueAllScreensSame, SettingValue::Dword(1));
  ConfigurationModel configuration = Open(false);
  std::uint32_t same = 1;
  std::vector<DialogAdapter> adapters = configuration.Adapters();
  DisplaySettingsModel display(adapters, 0, same);
  EXPECT_EQ(display.RenderingTextId(), 2210u);
  EXPECT_TRUE(display.DisableHardwareEnabled());
  EXPECT_EQ(display.HelpTextId(), 2200u);
  display.SetDisableHardware(true);
  display.SelectLine(1);
  same = 0;
  EXPECT_TRUE(display.DisableHardwareChecked());
  EXPECT_EQ(display.RenderingTextId(), 2211u);
  EXPECT_EQ(display.HelpTextId(), 2207u);
  display.Cancel();
  EXPECT_FALSE(adapters[0].screen.disable_hardware);
  EXPECT_EQ(adapters[0].screen.width, 0u);
  EXPECT_EQ(same, 1u);
}

TEST_F(DialogModels, HelpFollowsTheAdaptersFlags) {
  struct Row {
    bool hardware, disabled, hardware_usable, software, software_usable;
    std::uint32_t text;
  };
  const Row rows[] = {
      {true, false, true, false, false, 2200}, {true, false, false, true, true, 2201},
      {true, false, false, true, false, 2202}, {true, false, false, false, false, 2203},
      {false, false, false, true, true, 2204}, {false, false, false, true, false, 2205},
      {false, false, false, false, false, 2206}, {true, true, true, true, true, 2207},
      {true, true, true, true, false, 2208},    {true, true, true, false, false, 2209},
  };
  for (const Row& row : rows) {
    DialogAdapter adapter;
    adapter.hardware_present = row.hardware;
    adapter.hardware_usable = row.hardware_usable;
    adapter.software_present = row.software;
    adapter.software_usable = row.software_usable;
    adapter.screen.disable_hardware = row.disabled;
    std::vector<DialogAdapter> adapters{adapter};
    std::uint32_t same = 0;
    EXPECT_EQ(DisplaySettingsModel(adapters, 0, same).HelpTextId(), row.text);
    EXPECT_TRUE(FindString(row.text)) << row.text;
  }
  std::vector<DialogAdapter> none;
  std::uint32_t same = 0;
  EXPECT_EQ(DisplaySettingsModel(none, -1, same).HelpTextId(), 2206u) << "no adapter";
}

// Nothing to choose from: no record may be indexed or changed.
TEST_F(DialogModels, WithoutABestAdapterOrItsDevicesOnlyAutomaticRemains) {
  DialogAdapter empty = MakeDialogAdapter(AdapterAnswer{}, u"none");
  empty.monitor = 0;
  std::vector<DialogAdapter> adapters{empty};
  std::uint32_t same = 0;
  for (const int best : {-1, 0, 5}) {
    DisplaySettingsModel display(adapters, best, same);
    EXPECT_EQ(display.ModeLines().size(), 1u) << best;
    EXPECT_FALSE(display.DisableHardwareEnabled()) << best;
    EXPECT_EQ(display.RenderingTextId(), 2212u) << best;
    display.SelectLine(1);
    display.SetDisableHardware(true);
    EXPECT_EQ(display.SelectedLine(), 0u);
  }
  EXPECT_FALSE(adapters[0].screen.disable_hardware);
}

TEST_F(DialogModels, ChoicesStoredForAnotherAdapterDoNotApply) {
  store.Write(kScreen1, kValueWidth, SettingValue::Dword(800));
  store.Write(kScreen1, kValueHeight, SettingValue::Dword(600));
  store.Write(kScreen1, kValueFormat, SettingValue::Dword(kFormatR5G6B5));
  store.Write(kScreen1, kValueAdapterId, {SettingType::Binary, std::vector<std::uint8_t>(16, 0xAB)});
  ConfigurationModel configuration = Open();
  EXPECT_EQ(configuration.DisplaySettings().SelectedLine(), 0u);
}

// Two monitors, the second with the hardware renderer the saver prefers.
TEST_F(DialogModels, EveryScreenIsStoredAndDisplaySettingsConcernsTheBestAdapter) {
  AdapterAnswer second = Renderer(false);
  second.monitor = 1;
  DeviceRecords records;
  records.monitors.resize(2);
  records.monitors[0].adapter_name = u"first";
  records.monitors[1].adapter_name = u"second";
  records.adapters = {Renderer(true), second};
  DialogDevices devices = MakeDialogDevices(records);
  ASSERT_EQ(devices.best, 1);
  ConfigurationModel configuration(settings, std::move(devices.adapters), devices.best);
  const std::u16string screen2 = std::u16string(kSettingsKeyPath) + u"Screen 2";
  EXPECT_EQ(Stored(kScreen1, kValueWidth), 0u);
  EXPECT_EQ(Stored(screen2, kValueWidth), 0u);
  ASSERT_TRUE(store.Read(screen2, kValueAdapterId));
  EXPECT_EQ(store.Read(screen2, kValueAdapterId)->bytes[0], 9);

  DisplaySettingsModel display = configuration.DisplaySettings();
  EXPECT_EQ(display.AdapterName(), u"second");
  display.SetDisableHardware(true);
  display.SelectLine(3);
  EXPECT_EQ(configuration.Adapters()[1].screen.width, 1024u) << "kept in the record";
  EXPECT_EQ(Stored(screen2, kValueWidth), 0u) << "until the configuration's OK";
  display.Cancel();
  EXPECT_FALSE(configuration.Adapters()[1].screen.disable_hardware);
  EXPECT_EQ(configuration.Adapters()[1].screen.width, 0u);

  configuration.DisplaySettings().SelectLine(1);
  configuration.Ok();
  EXPECT_EQ(Stored(screen2, kValueWidth), 640u);
  EXPECT_EQ(Stored(kScreen1, kValueWidth), 0u);
}

// Hardware that cannot draw the scene offers no switch, whatever is stored.
TEST_F(DialogModels, TheHardwareSwitchNeedsUsableHardware) {
  AdapterAnswer unusable = Renderer(false);
  unusable.modes.clear();
  std::vector<DialogAdapter> adapters{MakeDialogAdapter(unusable, u"gpu")};
  adapters[0].screen.disable_hardware = true;
  std::uint32_t same = 0;
  DisplaySettingsModel display(adapters, 0, same);
  EXPECT_FALSE(display.DisableHardwareEnabled());
  EXPECT_FALSE(display.DisableHardwareChecked());
  EXPECT_EQ(display.RenderingTextId(), 2212u);
  EXPECT_EQ(display.HelpTextId(), 2208u) << "disabled, and the software renderer has no mode either";
}

TEST_F(DialogModels, SoundCancelStoresNothing) {
  {
    SoundSettingsModel sound(settings);
    sound.SetScalePosition(100);
    sound.SetMuted(true);
  }
  EXPECT_EQ(Stored(kSettingsKeyPath, kValueSoundVolume), std::nullopt);
  EXPECT_EQ(Stored(kSettingsKeyPath, kValueMuteSound), std::nullopt);
  const SoundSettingsModel again(settings);
  EXPECT_EQ(again.ScalePosition(), 0u) << "the loudest, at the top";
  EXPECT_FALSE(again.Muted());
}

TEST_F(DialogModels, VolumeScaleHasTheLoudestEndAtTheTop) {
  store.Write(kSettingsKeyPath, kValueSoundVolume, SettingValue::Dword(30));
  SoundSettingsModel sound(settings);
  EXPECT_EQ(sound.ScalePosition(), 70u);
  EXPECT_FALSE(sound.Muted());
  sound.SetScalePosition(0);
  sound.Ok();
  EXPECT_EQ(Stored(kSettingsKeyPath, kValueSoundVolume), 100u);
  EXPECT_EQ(Stored(kSettingsKeyPath, kValueMuteSound), 0u);
  sound.SetScalePosition(-20);
  EXPECT_EQ(sound.Volume(), 100u);
  sound.SetScalePosition(250);
  EXPECT_EQ(sound.Volume(), 0u);
}

}  // namespace
}  // namespace lumi
