// The saver's stored settings: their names (four carry double quotes as
// part of the name), types, defaults and the rules for reading them, over
// any SettingsStore. Values the command line gives override the stored
// ones for this run without being written.
#pragma once

#include <array>
#include <cstdint>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/saver_display.h"
#include "platform/settings_store.h"
#include "sound/scene_sound.h"

namespace lumi {

inline constexpr char16_t kValuePicturePosition[] = u"\"PicPos\"";
inline constexpr char16_t kValueSoundVolume[] = u"\"SoundVolume\"";
inline constexpr char16_t kValueSoundBalance[] = u"\"SoundBalance\"";
inline constexpr char16_t kValueMuteSound[] = u"\"MuteSound\"";
inline constexpr char16_t kValueAllScreensSame[] = u"AllScreensSame";
inline constexpr char16_t kValueLeaveBlack[] = u"Leave Black";
inline constexpr char16_t kValueDisableHardware[] = u"Disable Hardware";
inline constexpr char16_t kValueWidth[] = u"Width";
inline constexpr char16_t kValueHeight[] = u"Height";
inline constexpr char16_t kValueFormat[] = u"Format";
inline constexpr char16_t kValueAdapterId[] = u"Adapter ID";
// How finely the screen draws: 0 automatic (by what renders), 1 best,
// 2 fastest; larger stored numbers read as 2, as other numbers are kept to
// their range.
inline constexpr char16_t kValueQuality[] = u"Quality";
inline constexpr std::uint32_t kMaxQuality = 2;
// The documents the user chose: a document, a folder whose documents play
// in turn, or nothing (the document the program carries); whether a
// folder's documents play shuffled; and the one played last, from which the
// next run goes on.
inline constexpr char16_t kValueDocument[] = u"Document";
inline constexpr char16_t kValueShuffleDocuments[] = u"Shuffle Documents";
inline constexpr char16_t kValueLastDocument[] = u"Last Document";

inline constexpr std::uint32_t kDefaultPicturePosition = 2;  // Fill
inline constexpr std::uint32_t kMaxPicturePosition = 2;
inline constexpr std::uint32_t kMaxSoundVolume = 100;

// "stretch", "fit" and "fill" for the stored numbers 0, 1 and 2, as the
// command lines write them (read in any case).
std::optional<std::uint32_t> PicturePositionNamed(std::string_view word);
const char* PicturePositionName(std::uint32_t position);
// "automatic", "best" and "fastest" for the stored qualities, likewise.
std::optional<std::uint32_t> QualityNamed(std::string_view word);
const char* QualityName(std::uint32_t quality);

using AdapterIdentifier = std::array<std::uint8_t, 16>;

// One monitor's stored choices.
struct ScreenSettings {
  bool leave_black = false;
  bool disable_hardware = false;
  std::uint32_t width = 0, height = 0, format = 0;  // 0, 0, 0: automatic
  std::uint32_t quality = 0;
};

struct DocumentChoice {
  std::u16string path;  // empty: the document the program carries
  bool shuffle = false;
  bool operator==(const DocumentChoice&) const = default;
};

struct SettingOverrides {
  std::optional<std::uint32_t> picture_position;
  std::optional<std::uint32_t> volume;
  std::optional<bool> muted;
};

// One value as the configuration mode lists it.
struct ListedSetting {
  std::u16string key;  // relative to the settings key; empty for the key itself
  std::u16string name;
  std::string type;   // "dword", "binary" or "string"
  std::string value;  // as it applies, after the checks
  std::string source;  // "stored", "default" or "command line"
};

class SaverSettings {
 public:
  SaverSettings(SettingsStore& store, std::u16string key_path, SettingOverrides overrides = {});

  // Read at most once per process, on first need, even from two threads.
  std::uint32_t PicturePosition();
  void WritePicturePosition(std::uint32_t position);

  // Read afresh each time (at every scene start and track start).
  SoundSettings Sound();
  void WriteSoundVolume(std::uint32_t volume);
  void WriteMuteSound(bool muted);

  // Read afresh each time.
  DocumentChoice Documents();
  void WriteDocuments(const DocumentChoice& choice);
  std::u16string LastDocument();
  void WriteLastDocument(std::u16string_view path);

  std::uint32_t AllScreensSame();
  void WriteAllScreensSame(std::uint32_t value);
  // "Screen %d" of monitor `index` (from 0). "Leave Black" and "Quality"
  // always apply;
  // the rest only when the stored "Adapter ID" names `adapter` or no
  // identifier is stored.
  ScreenSettings Screen(int index, const AdapterIdentifier& adapter);
  // Every stored choice of the screen, for `adapter`; flags as 0 or 1.
  void WriteScreen(int index, const ScreenSettings& screen, const AdapterIdentifier& adapter);
  // Remembers the mode that worked after larger ones failed, for the
  // adapter it worked on, so the next start takes it directly.
  void WriteScreenMode(int index, const DisplayModeAnswer& mode, const AdapterIdentifier& adapter);
  // Whether any of the first `monitors` screens asks for software drawing,
  // whichever adapter its values were stored for.
  bool AnyScreenDisablesHardware(int monitors);

  // Every value as it applies: those of the settings key, then those of
  // "Screen 1" and of each later screen (up to `screens`) with any stored.
  std::vector<ListedSetting> List(int screens);
  std::string Location() const { return store_.Location(); }

 private:
  struct Dword {
    std::uint32_t value;
    bool stored;
  };
  // A value that is missing or not 4 bytes keeps the default.
  Dword ReadDword(std::u16string_view key, std::u16string_view name, std::uint32_t fallback);
  std::u16string ScreenKey(int index) const;

  SettingsStore& store_;
  std::u16string key_path_;
  SettingOverrides overrides_;
  std::once_flag picture_position_read_;
  std::uint32_t picture_position_ = kDefaultPicturePosition;
};

}  // namespace lumi
