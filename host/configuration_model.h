// The configuration dialog without a toolkit: the picture position, the
// way to the Display and Sound Settings dialogs and the maker's website.
// Opening writes the screen choices as they stand (so a first opening
// stores every value), OK writes the position and the screen choices,
// Cancel reads the screen choices back, dropping what Display Settings
// changed. Sound Settings writes its values at its own OK, which the
// configuration's Cancel leaves alone.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "host/dialog_adapter.h"
#include "host/display_settings_model.h"
#include "host/sound_settings_model.h"

namespace lumi {

inline constexpr int kControlPicturePosition = 1023;
inline constexpr int kControlDisplaySettings = 1006;
inline constexpr int kControlSoundSettings = 1007;
inline constexpr int kControlInformation = 1028;
inline constexpr int kControlWebsite = 1017;
inline constexpr int kControlOk = 1;
inline constexpr int kControlCancel = 2;

class ConfigurationModel {
 public:
  // `adapters` as the device list built them; `best` as FindBestAdapter
  // chose among them (-1 for none). Reads their screens' choices.
  ConfigurationModel(SaverSettings& settings, std::vector<DialogAdapter> adapters, int best);

  std::u16string Title() const;
  std::u16string InformationText() const;
  std::u16string WebAddress() const;
  // "Stretch", "Fit", "Fill".
  std::vector<std::u16string> PositionItems() const;
  std::uint32_t SelectedPosition() const { return position_; }
  // Beyond the list: ignored.
  void SelectPosition(std::size_t index);

  // The documents to play; OK stores them (the Linux dialog offers them).
  const DocumentChoice& Documents() const { return documents_; }
  void ChooseDocuments(DocumentChoice choice) { documents_ = std::move(choice); }

  // The models of the two dialogs the buttons open; one at a time.
  DisplaySettingsModel DisplaySettings();
  SoundSettingsModel SoundSettings();

  void Ok();
  void Cancel();

  const std::vector<DialogAdapter>& Adapters() const { return adapters_; }

 private:
  void ReadChoices();

  SaverSettings& settings_;
  std::vector<DialogAdapter> adapters_;
  int best_;
  std::uint32_t all_screens_same_ = 0;
  std::uint32_t position_;
  DocumentChoice documents_;
};

}  // namespace lumi
