#include "host/saver_settings.h"

#include <algorithm>
#include <cctype>
#include <cstdio>

#include "archive/utf.h"

namespace lumi {
namespace {

constexpr std::array<const char*, kMaxPicturePosition + 1> kPositionWords = {"stretch", "fit", "fill"};
constexpr std::array<const char*, kMaxQuality + 1> kQualityWords = {"automatic", "best", "fastest"};

std::string Hex(const std::vector<std::uint8_t>& bytes) {
  std::string text;
  for (std::uint8_t byte : bytes) {
    char digits[4];
    std::snprintf(digits, sizeof digits, "%02x", byte);
    text += digits;
  }
  return text;
}

// The index of `word` among `words`, in any case: the dialog writes
// "Fill", command lines "fill".
template <std::size_t kCount>
std::optional<std::uint32_t> IndexOfWord(std::string_view word, const std::array<const char*, kCount>& words) {
  const auto same = [](char a, char b) { return std::tolower(static_cast<unsigned char>(a)) == b; };
  for (std::uint32_t i = 0; i < words.size(); ++i) {
    const std::string_view known = words[i];
    if (word.size() == known.size() && std::equal(word.begin(), word.end(), known.begin(), same)) return i;
  }
  return std::nullopt;
}

}  // namespace

std::optional<std::uint32_t> PicturePositionNamed(std::string_view word) { return IndexOfWord(word, kPositionWords); }

const char* PicturePositionName(std::uint32_t position) {
  return kPositionWords[std::min(position, kMaxPicturePosition)];
}

std::optional<std::uint32_t> QualityNamed(std::string_view word) { return IndexOfWord(word, kQualityWords); }

const char* QualityName(std::uint32_t quality) { return kQualityWords[std::min(quality, kMaxQuality)]; }

SaverSettings::SaverSettings(SettingsStore& store, std::u16string key_path, SettingOverrides overrides)
    : store_(store), key_path_(std::move(key_path)), overrides_(overrides) {}

SaverSettings::Dword SaverSettings::ReadDword(std::u16string_view key, std::u16string_view name,
                                              std::uint32_t fallback) {
  const std::optional<SettingValue> value = store_.Read(key, name);
  if (!value || value->bytes.size() != 4) return {fallback, false};
  const auto& b = value->bytes;
  return {b[0] | (b[1] << 8) | (b[2] << 16) | (static_cast<std::uint32_t>(b[3]) << 24), true};
}

std::u16string SaverSettings::ScreenKey(int index) const {
  return key_path_ + u"Screen " + FromUtf8(std::to_string(index + 1));
}

std::uint32_t SaverSettings::PicturePosition() {
  std::call_once(picture_position_read_, [this] {
    picture_position_ = overrides_.picture_position.value_or(
        std::min(ReadDword(key_path_, kValuePicturePosition, kDefaultPicturePosition).value, kMaxPicturePosition));
  });
  return picture_position_;
}

void SaverSettings::WritePicturePosition(std::uint32_t position) {
  position = std::min(position, kMaxPicturePosition);
  // Marks the cache as read: the written value is what this process uses.
  std::call_once(picture_position_read_, [] {});
  picture_position_ = position;
  store_.Write(key_path_, kValuePicturePosition, SettingValue::Dword(position));
}

SoundSettings SaverSettings::Sound() {
  SoundSettings sound;
  sound.volume = overrides_.volume.value_or(
      std::min(ReadDword(key_path_, kValueSoundVolume, sound.volume).value, kMaxSoundVolume));
  sound.balance = ReadDword(key_path_, kValueSoundBalance, sound.balance).value;
  sound.muted = overrides_.muted.value_or(ReadDword(key_path_, kValueMuteSound, 0).value != 0);
  return sound;
}

void SaverSettings::WriteSoundVolume(std::uint32_t volume) {
  store_.Write(key_path_, kValueSoundVolume, SettingValue::Dword(std::min(volume, kMaxSoundVolume)));
}

void SaverSettings::WriteMuteSound(bool muted) {
  store_.Write(key_path_, kValueMuteSound, SettingValue::Dword(muted ? 1 : 0));
}

DocumentChoice SaverSettings::Documents() {
  DocumentChoice choice;
  if (const std::optional<SettingValue> value = store_.Read(key_path_, kValueDocument)) {
    choice.path = value->Text().value_or(u"");
  }
  choice.shuffle = ReadDword(key_path_, kValueShuffleDocuments, 0).value != 0;
  return choice;
}

void SaverSettings::WriteDocuments(const DocumentChoice& choice) {
  store_.Write(key_path_, kValueDocument, SettingValue::String(choice.path));
  store_.Write(key_path_, kValueShuffleDocuments, SettingValue::Dword(choice.shuffle ? 1 : 0));
}

std::u16string SaverSettings::LastDocument() {
  const std::optional<SettingValue> value = store_.Read(key_path_, kValueLastDocument);
  return value ? value->Text().value_or(u"") : u"";
}

void SaverSettings::WriteLastDocument(std::u16string_view path) {
  store_.Write(key_path_, kValueLastDocument, SettingValue::String(path));
}

std::uint32_t SaverSettings::AllScreensSame() { return ReadDword(key_path_, kValueAllScreensSame, 0).value; }

ScreenSettings SaverSettings::Screen(int index, const AdapterIdentifier& adapter) {
  const std::u16string key = ScreenKey(index);
  ScreenSettings screen;
  // An identifier of any other length names no adapter.
  AdapterIdentifier stored{};
  if (const std::optional<SettingValue> id = store_.Read(key, kValueAdapterId); id && id->bytes.size() == stored.size()) {
    std::copy(id->bytes.begin(), id->bytes.end(), stored.begin());
  }
  screen.leave_black = ReadDword(key, kValueLeaveBlack, 0).value != 0;
  screen.quality = std::min(ReadDword(key, kValueQuality, 0).value, kMaxQuality);
  if (stored != adapter && stored != AdapterIdentifier{}) return screen;
  screen.disable_hardware = ReadDword(key, kValueDisableHardware, 0).value != 0;
  screen.width = ReadDword(key, kValueWidth, 0).value;
  screen.height = ReadDword(key, kValueHeight, 0).value;
  screen.format = ReadDword(key, kValueFormat, 0).value;
  return screen;
}

void SaverSettings::WriteAllScreensSame(std::uint32_t value) {
  store_.Write(key_path_, kValueAllScreensSame, SettingValue::Dword(value));
}

void SaverSettings::WriteScreen(int index, const ScreenSettings& screen, const AdapterIdentifier& adapter) {
  const std::u16string key = ScreenKey(index);
  store_.Write(key, kValueLeaveBlack, SettingValue::Dword(screen.leave_black ? 1 : 0));
  store_.Write(key, kValueDisableHardware, SettingValue::Dword(screen.disable_hardware ? 1 : 0));
  store_.Write(key, kValueQuality, SettingValue::Dword(screen.quality));
  WriteScreenMode(index, {screen.width, screen.height, screen.format}, adapter);
}

void SaverSettings::WriteScreenMode(int index, const DisplayModeAnswer& mode, const AdapterIdentifier& adapter) {
  const std::u16string key = ScreenKey(index);
  store_.Write(key, kValueWidth, SettingValue::Dword(mode.width));
  store_.Write(key, kValueHeight, SettingValue::Dword(mode.height));
  store_.Write(key, kValueFormat, SettingValue::Dword(mode.format));
  store_.Write(key, kValueAdapterId, {SettingType::Binary, {adapter.begin(), adapter.end()}});
}

bool SaverSettings::AnyScreenDisablesHardware(int monitors) {
  for (int i = 0; i < monitors; ++i) {
    if (ReadDword(ScreenKey(i), kValueDisableHardware, 0).value != 0) return true;
  }
  return false;
}

std::vector<ListedSetting> SaverSettings::List(int screens) {
  std::vector<ListedSetting> listed;
  // `override` points at the command line's value, if it gave one.
  auto dword = [&](const std::u16string& key, const std::u16string& label, std::u16string_view name,
                   std::uint32_t fallback, std::uint32_t max, const std::uint32_t* override) {
    const Dword read = ReadDword(key, name, fallback);
    const std::uint32_t value = override ? *override : std::min(read.value, max);
    const char* source = override ? "command line" : read.stored ? "stored" : "default";
    std::string shown = std::to_string(value);
    if (name == kValuePicturePosition) shown += std::string(" (") + PicturePositionName(value) + ")";
    if (name == kValueQuality) shown += std::string(" (") + QualityName(value) + ")";
    listed.push_back({label, std::u16string(name), "dword", shown, source});
  };
  constexpr std::uint32_t kAny = 0xFFFFFFFF;
  const std::uint32_t muted = overrides_.muted.value_or(false) ? 1 : 0;
  dword(key_path_, u"", kValuePicturePosition, kDefaultPicturePosition, kMaxPicturePosition,
        overrides_.picture_position ? &*overrides_.picture_position : nullptr);
  dword(key_path_, u"", kValueSoundVolume, 100, kMaxSoundVolume, overrides_.volume ? &*overrides_.volume : nullptr);
  dword(key_path_, u"", kValueSoundBalance, 50, kAny, nullptr);
  dword(key_path_, u"", kValueMuteSound, 0, kAny, overrides_.muted ? &muted : nullptr);
  dword(key_path_, u"", kValueAllScreensSame, 0, kAny, nullptr);
  const std::optional<SettingValue> document = store_.Read(key_path_, kValueDocument);
  const std::u16string path = document ? document->Text().value_or(u"") : u"";
  listed.push_back({u"", kValueDocument, "string", path.empty() ? "(the demo)" : ToUtf8(path),
                    document ? "stored" : "default"});
  dword(key_path_, u"", kValueShuffleDocuments, 0, 1, nullptr);
  for (int i = 0; i < screens; ++i) {
    const std::u16string key = ScreenKey(i);
    const std::u16string label = key.substr(key_path_.size());
    const std::size_t first = listed.size();
    for (const char16_t* name : {kValueLeaveBlack, kValueDisableHardware, kValueWidth, kValueHeight, kValueFormat}) {
      dword(key, label, name, 0, kAny, nullptr);
    }
    dword(key, label, kValueQuality, 0, kMaxQuality, nullptr);
    const std::optional<SettingValue> id = store_.Read(key, kValueAdapterId);
    listed.push_back({label, kValueAdapterId, "binary", id ? Hex(id->bytes) : "(none)", id ? "stored" : "default"});
    const bool any_stored = std::any_of(listed.begin() + static_cast<std::ptrdiff_t>(first), listed.end(),
                                        [](const ListedSetting& s) { return s.source == "stored"; });
    if (i > 0 && !any_stored) listed.resize(first);
  }
  return listed;
}

}  // namespace lumi
