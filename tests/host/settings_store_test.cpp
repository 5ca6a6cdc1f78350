// The settings: their names, defaults and rules over the file store, and
// the file store's format, atomic writes and writers in two processes.
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "archive/utf.h"
#include "host/saver_settings.h"
#include "host/screensaver.h"
#include "platform/linux/file_settings_store.h"
#include "platform/settings_text.h"

namespace lumi {
namespace {

using ::testing::HasSubstr;

class Settings : public ::testing::Test {
 protected:
  void SetUp() override {
    folder_ = std::filesystem::temp_directory_path() /
              ("lumi_settings_" + std::to_string(getpid()) + "_" +
               ::testing::UnitTest::GetInstance()->current_test_info()->name());
    std::filesystem::remove_all(folder_);
    std::filesystem::create_directories(folder_);
    file_ = FileSettingsStore::DefaultPath([this](const char* name) -> const char* {
      return std::string(name) == "XDG_CONFIG_HOME" ? folder_.c_str() : nullptr;
    });
  }
  void TearDown() override { std::filesystem::remove_all(folder_); }

  std::string Text() const {
    std::ifstream in(file_);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  }
  void WriteText(const std::string& text) {
    std::filesystem::create_directories(file_.parent_path());
    std::ofstream(file_) << text;
  }

  std::filesystem::path folder_;
  std::filesystem::path file_;
};

TEST_F(Settings, TheFileLivesUnderTheConfigFolder) {
  EXPECT_EQ(file_, folder_ / "lumisave" / "settings");
  auto env = [](const char* config, const char* home) {
    return FileSettingsStore::DefaultPath([=](const char* name) -> const char* {
      return std::string(name) == "XDG_CONFIG_HOME" ? config : std::string(name) == "HOME" ? home : nullptr;
    });
  };
  EXPECT_EQ(env(nullptr, "/home/u"), std::filesystem::path("/home/u/.config/lumisave/settings"));
  EXPECT_EQ(env("relative", "/home/u"), std::filesystem::path("/home/u/.config/lumisave/settings"));
  EXPECT_EQ(env(nullptr, nullptr), std::filesystem::path());
}

TEST_F(Settings, AFreshUserGetsTheDefaults) {
  FileSettingsStore store(file_);
  SaverSettings settings(store, kSettingsKeyPath);
  EXPECT_EQ(settings.PicturePosition(), 2u);
  const SoundSettings sound = settings.Sound();
  EXPECT_EQ(sound.volume, 100u);
  EXPECT_EQ(sound.balance, 50u);
  EXPECT_FALSE(sound.muted);
  EXPECT_EQ(settings.AllScreensSame(), 0u);
  const ScreenSettings screen = settings.Screen(0, AdapterIdentifier{1});
  EXPECT_FALSE(screen.leave_black || screen.disable_hardware || screen.width || screen.height || screen.format);
  EXPECT_FALSE(std::filesystem::exists(file_)) << "reading writes nothing";
}

TEST_F(Settings, ValuesKeepTheirExactNamesAndPersist) {
  {
    FileSettingsStore store(file_);
    SaverSettings settings(store, kSettingsKeyPath);
    settings.WritePicturePosition(1);
    settings.WriteSoundVolume(35);
    settings.WriteMuteSound(true);
    settings.WriteDocuments({u"/home/u/My \"Scenes\" \u00e9", true});
  }
  // The quotes are part of the names; the key path loses its backslashes
  // at the ends only.
  EXPECT_THAT(Text(), HasSubstr("[Software\\Quillborne\\Lumivex\\Screensaver]\n"));
  EXPECT_THAT(Text(), HasSubstr("\"\\\"PicPos\\\"\"=dword:00000001\n"));
  EXPECT_THAT(Text(), HasSubstr("\"\\\"SoundVolume\\\"\"=dword:00000023\n"));
  EXPECT_THAT(Text(), HasSubstr("\"\\\"MuteSound\\\"\"=dword:00000001\n"));
  EXPECT_THAT(Text(), HasSubstr("\"Document\"=\"/home/u/My \\\"Scenes\\\" \xc3\xa9\"\n"));
  FileSettingsStore store(file_);
  SaverSettings settings(store, kSettingsKeyPath);
  EXPECT_EQ(settings.PicturePosition(), 1u);
  EXPECT_EQ(settings.Sound().volume, 35u);
  EXPECT_TRUE(settings.Sound().muted);
  EXPECT_EQ(settings.Documents(), (DocumentChoice{u"/home/u/My \"Scenes\" \u00e9", true}));
  // Names compare without regard to case, as in the registry.
  EXPECT_TRUE(store.Read(u"software\\quillborne\\lumivex\\screensaver\\", u"\"picpos\""));
}

TEST_F(Settings, PicturePositionIsReadOncePerProcess) {
  FileSettingsStore store(file_);
  SaverSettings settings(store, kSettingsKeyPath);
  store.Write(kSettingsKeyPath, kValuePicturePosition, SettingValue::Dword(0));
  EXPECT_EQ(settings.PicturePosition(), 0u);
  store.Write(kSettingsKeyPath, kValuePicturePosition, SettingValue::Dword(1));
  EXPECT_EQ(settings.PicturePosition(), 0u) << "the cached value, though the store changed";
  EXPECT_EQ(settings.Sound().volume, 100u);
  store.Write(kSettingsKeyPath, kValueSoundVolume, SettingValue::Dword(20));
  EXPECT_EQ(settings.Sound().volume, 20u) << "sound values are read afresh";
  settings.WritePicturePosition(2);
  EXPECT_EQ(settings.PicturePosition(), 2u) << "writing updates the cache too";
}

TEST_F(Settings, OutOfRangeAndMisshapenValuesAreMended) {
  FileSettingsStore store(file_);
  store.Write(kSettingsKeyPath, kValuePicturePosition, SettingValue::Dword(9));
  store.Write(kSettingsKeyPath, kValueSoundVolume, SettingValue::Dword(250));
  // A "32-bit" value of 2 bytes keeps the default rather than reading past it.
  store.Write(kSettingsKeyPath, kValueMuteSound, {SettingType::Dword, {1, 0}});
  store.Write(kSettingsKeyPath, kValueSoundBalance, {SettingType::Binary, {1, 0, 0, 0, 0}});
  SaverSettings settings(store, kSettingsKeyPath);
  EXPECT_EQ(settings.PicturePosition(), 2u);
  EXPECT_EQ(settings.Sound().volume, 100u);
  EXPECT_FALSE(settings.Sound().muted);
  EXPECT_EQ(settings.Sound().balance, 50u);
}

TEST_F(Settings, CommandLineOverridesWinWithoutBeingWritten) {
  FileSettingsStore store(file_);
  store.Write(kSettingsKeyPath, kValueSoundVolume, SettingValue::Dword(20));
  SaverSettings settings(store, kSettingsKeyPath, {1, 70, true});
  EXPECT_EQ(settings.PicturePosition(), 1u);
  EXPECT_EQ(settings.Sound().volume, 70u);
  EXPECT_TRUE(settings.Sound().muted);
  EXPECT_EQ(store.Read(kSettingsKeyPath, kValueSoundVolume), SettingValue::Dword(20));
}

TEST_F(Settings, ScreenValuesApplyOnlyToTheirAdapter) {
  FileSettingsStore store(file_);
  const std::u16string screen = std::u16string(kSettingsKeyPath) + u"Screen 1";
  const AdapterIdentifier ours{1, 2, 3}, theirs{9, 9, 9};
  store.Write(screen, kValueLeaveBlack, SettingValue::Dword(1));
  store.Write(screen, kValueDisableHardware, SettingValue::Dword(1));
  store.Write(screen, kValueWidth, SettingValue::Dword(800));
  store.Write(screen, kValueHeight, SettingValue::Dword(600));
  store.Write(screen, kValueFormat, SettingValue::Dword(22));
  store.Write(screen, kValueQuality, SettingValue::Dword(2));
  SaverSettings settings(store, kSettingsKeyPath);
  // No identifier stored: the values are anybody's.
  EXPECT_EQ(settings.Screen(0, ours).width, 800u);
  store.Write(screen, kValueAdapterId, {SettingType::Binary, {theirs.begin(), theirs.end()}});
  const ScreenSettings other = settings.Screen(0, ours);
  EXPECT_TRUE(other.leave_black) << "applies regardless";
  EXPECT_EQ(other.quality, 2u) << "applies regardless";
  EXPECT_FALSE(other.disable_hardware);
  EXPECT_EQ(other.width, 0u);
  const ScreenSettings same = settings.Screen(0, theirs);
  EXPECT_TRUE(same.disable_hardware);
  EXPECT_EQ(same.height, 600u);
  EXPECT_EQ(same.format, 22u);
  EXPECT_EQ(settings.Screen(1, theirs).width, 0u) << "Screen 2 is another key";
  EXPECT_TRUE(settings.AnyScreenDisablesHardware(2));
  // An identifier of the wrong length names no adapter.
  store.Write(screen, kValueAdapterId, {SettingType::Binary, {9, 9, 9}});
  EXPECT_EQ(settings.Screen(0, ours).width, 800u);
  store.Write(screen, kValueQuality, SettingValue::Dword(7));
  EXPECT_EQ(settings.Screen(0, ours).quality, 2u) << "kept to its range";
}

TEST_F(Settings, AGarbledFileIsSetAsideAndDefaultsApply) {
  WriteText("[Software\\Quillborne\\Lumivex\\Screensaver]\n\"\\\"PicPos\\\"\"=dword:zz\n");
  FileSettingsStore store(file_);
  SaverSettings settings(store, kSettingsKeyPath);
  ::testing::internal::CaptureStderr();
  EXPECT_EQ(settings.Sound().volume, 100u);
  const std::string message = ::testing::internal::GetCapturedStderr();
  EXPECT_THAT(message, HasSubstr("line 2: a dword needs 8 hexadecimal digits"));
  EXPECT_THAT(message, HasSubstr("the defaults apply"));
  EXPECT_FALSE(std::filesystem::exists(file_));
  EXPECT_TRUE(std::filesystem::exists(file_.string() + ".garbled"));
  // The next write starts a fresh file.
  settings.WriteSoundVolume(5);
  EXPECT_EQ(settings.Sound().volume, 5u);
}

TEST(SettingsText, RoundTripsAndRejectsWhatItCannotRead) {
  SettingsTree tree;
  tree[u"A\\B"][u"quote\" and \\ back"] = SettingValue::Dword(0xDEADBEEF);
  tree[u"A\\B"][u"bytes"] = {SettingType::Binary, {0, 0x1f, 0xff}};
  tree[u"C"][u"empty"] = {SettingType::Binary, {}};
  tree[u"C"][u"short dword"] = {SettingType::Dword, {1, 2}};
  const SettingsTree back = ParseSettings(FormatSettings(tree));
  EXPECT_EQ(back.at(u"A\\B").at(u"quote\" and \\ back"), SettingValue::Dword(0xDEADBEEF));
  EXPECT_EQ(back.at(u"a\\b").at(u"BYTES").bytes, (std::vector<std::uint8_t>{0, 0x1f, 0xff}));
  EXPECT_TRUE(back.at(u"C").at(u"empty").bytes.empty());
  EXPECT_EQ(back.at(u"C").at(u"short dword").bytes.size(), 2u);
  for (const char* bad : {"\"x\"=dword:1\n", "[k]\n\"x\"=dword:1234567\n", "[k]\n\"x\"=hex:1,2\n", "[k]\nx=1\n",
                          "[k\n", "[k]\n\"x\"=string:a\n", "[k]\n\"unterminated=dword:00000000\n"}) {
    EXPECT_THROW(ParseSettings(bad), SettingsSyntaxError) << bad;
  }
  EXPECT_NO_THROW(ParseSettings("; comment\r\n\r\n[k]\r\n\"x\"=dword:0000000a\r\n"));
}

// Two saver processes writing at once never lose each other's values, and
// no temporary file is left behind.
TEST_F(Settings, TwoWritingProcessesKeepEachOthersValues) {
  constexpr int kWrites = 40;
  const pid_t child = fork();
  ASSERT_GE(child, 0);
  const bool in_child = child == 0;
  {
    FileSettingsStore store(file_);
    for (int i = 0; i < kWrites; ++i) {
      const std::u16string name = (in_child ? u"child " : u"parent ") + FromUtf8(std::to_string(i));
      if (!store.Write(kSettingsKeyPath, name, SettingValue::Dword(static_cast<std::uint32_t>(i)))) {
        if (in_child) _exit(1);
        ADD_FAILURE() << "write " << i;
      }
    }
  }
  if (in_child) _exit(0);
  int status = 0;
  waitpid(child, &status, 0);
  ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
  const SettingsTree tree = ParseSettings(Text());
  EXPECT_EQ(tree.at(NormaliseKeyPath(kSettingsKeyPath)).size(), 2u * kWrites);
  for (const auto& entry : std::filesystem::directory_iterator(file_.parent_path())) {
    EXPECT_THAT(entry.path().filename().string(), ::testing::Not(HasSubstr(".new-")));
  }
}

}  // namespace
}  // namespace lumi
