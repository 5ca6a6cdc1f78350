// The registry store under scratch keys of the current user, through the
// saver's own settings rules. Each test's key is emptied when it starts and
// left behind, so the Windows test stage can read the values back with the
// system's own registry tool.
#include "platform/windows_api.h"

#include <gtest/gtest.h>

#include "host/saver_settings.h"
#include "host/screensaver.h"
#include "platform/windows/registry_settings_store.h"

namespace lumi {
namespace {

class RegistryStore : public ::testing::Test {
 protected:
  void SetUp() override {
    const std::string name = ::testing::UnitTest::GetInstance()->current_test_info()->name();
    root_ = u"Software\\lumisave-tests\\" + std::u16string(name.begin(), name.end());
    RegDeleteTreeW(HKEY_CURRENT_USER, Wide(root_).c_str());
  }

  static std::wstring Wide(std::u16string_view text) { return std::wstring(text.begin(), text.end()); }

  // The value as the registry itself holds it: its type and bytes.
  std::pair<DWORD, std::vector<std::uint8_t>> Raw(std::u16string_view key, std::u16string_view name) const {
    if (!key.empty() && key.back() == u'\\') key.remove_suffix(1);
    const std::wstring path = Wide(root_ + u"\\" + std::u16string(key));
    DWORD type = 0, size = 64;
    std::vector<std::uint8_t> bytes(size);
    if (RegGetValueW(HKEY_CURRENT_USER, path.c_str(), Wide(name).c_str(), RRF_RT_ANY | RRF_NOEXPAND, &type,
                     bytes.data(), &size) != ERROR_SUCCESS) {
      return {REG_NONE, {}};
    }
    bytes.resize(size);
    return {type, bytes};
  }

  std::u16string root_;
};

const std::u16string kRegistryScreen1 = std::u16string(kSettingsKeyPath) + u"Screen 1";

TEST_F(RegistryStore, AFreshUserGetsTheDefaults) {
  RegistrySettingsStore store(root_);
  SaverSettings settings(store, kSettingsKeyPath);
  EXPECT_EQ(settings.PicturePosition(), 2u);
  EXPECT_EQ(settings.Sound().volume, 100u);
  EXPECT_EQ(settings.Sound().balance, 50u);
  EXPECT_FALSE(settings.Sound().muted);
  EXPECT_EQ(settings.Screen(0, AdapterIdentifier{1}).width, 0u);
  EXPECT_FALSE(store.Read(kSettingsKeyPath, kValuePicturePosition));
}

TEST_F(RegistryStore, ValuesKeepTheirQuotedNamesAndTypes) {
  RegistrySettingsStore store(root_);
  {
    SaverSettings settings(store, kSettingsKeyPath);
    settings.WritePicturePosition(1);
    settings.WriteSoundVolume(40);
    settings.WriteMuteSound(true);
  }
  const AdapterIdentifier adapter{0x10, 0x32, 0x54, 0x76, 0x98, 0xBA, 0xDC, 0xFE, 1, 2, 3, 4, 5, 6, 7, 8};
  ASSERT_TRUE(store.Write(kRegistryScreen1, kValueAdapterId, {SettingType::Binary, {adapter.begin(), adapter.end()}}));
  ASSERT_TRUE(store.Write(kRegistryScreen1, kValueWidth, SettingValue::Dword(1024)));

  EXPECT_EQ(Raw(kSettingsKeyPath, u"\"PicPos\""), std::make_pair(DWORD{REG_DWORD}, std::vector<std::uint8_t>{1, 0, 0, 0}));
  EXPECT_EQ(Raw(kSettingsKeyPath, u"\"SoundVolume\""),
            std::make_pair(DWORD{REG_DWORD}, std::vector<std::uint8_t>{40, 0, 0, 0}));
  EXPECT_EQ(Raw(kSettingsKeyPath, u"PicPos").first, DWORD{REG_NONE}) << "the quotes are part of the name";
  EXPECT_EQ(Raw(kRegistryScreen1, u"Adapter ID"),
            std::make_pair(DWORD{REG_BINARY}, std::vector<std::uint8_t>(adapter.begin(), adapter.end())));

  SaverSettings fresh(store, kSettingsKeyPath);
  EXPECT_EQ(fresh.PicturePosition(), 1u);
  EXPECT_EQ(fresh.Sound().volume, 40u);
  EXPECT_TRUE(fresh.Sound().muted);
  EXPECT_EQ(fresh.Screen(0, adapter).width, 1024u);
  EXPECT_EQ(fresh.Screen(0, AdapterIdentifier{9}).width, 0u) << "the values of another adapter";
}

TEST_F(RegistryStore, MisshapenAndOutOfRangeValuesKeepTheDefault) {
  RegistrySettingsStore store(root_);
  store.Write(kSettingsKeyPath, kValuePicturePosition, SettingValue::Dword(9));
  store.Write(kSettingsKeyPath, kValueSoundVolume, SettingValue::Dword(250));
  // Smaller than 32 bits, whatever type it claims: read as it is, it would
  // fill only part of the number.
  store.Write(kSettingsKeyPath, kValueMuteSound, {SettingType::Binary, {1, 0}});
  store.Write(kSettingsKeyPath, kValueSoundBalance, {SettingType::Binary, {7, 0, 0, 0, 0}});
  const std::optional<SettingValue> short_value = store.Read(kSettingsKeyPath, kValueMuteSound);
  ASSERT_TRUE(short_value);
  EXPECT_EQ(short_value->bytes.size(), 2u);
  SaverSettings settings(store, kSettingsKeyPath);
  EXPECT_EQ(settings.PicturePosition(), 2u);
  EXPECT_EQ(settings.Sound().volume, 100u);
  EXPECT_FALSE(settings.Sound().muted);
  EXPECT_EQ(settings.Sound().balance, 50u);
}

TEST_F(RegistryStore, KeyPathsIgnoreStraySeparators) {
  RegistrySettingsStore store(root_ + u"\\");
  ASSERT_TRUE(store.Write(u"\\A\\\\B\\", u"V", SettingValue::Dword(5)));
  EXPECT_EQ(store.Read(u"A\\B", u"V"), SettingValue::Dword(5));
  EXPECT_EQ(Raw(u"A\\B", u"V").second, (std::vector<std::uint8_t>{5, 0, 0, 0}));
  EXPECT_EQ(store.Location(), "HKEY_CURRENT_USER\\Software\\lumisave-tests\\KeyPathsIgnoreStraySeparators");
}

}  // namespace
}  // namespace lumi
