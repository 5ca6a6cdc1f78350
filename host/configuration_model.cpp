#include "host/configuration_model.h"

#include "host/string_table.h"

namespace lumi {
namespace {

std::u16string Text(std::uint32_t id) { return std::u16string(FindString(id).value_or(u"")); }

}  // namespace

ConfigurationModel::ConfigurationModel(SaverSettings& settings, std::vector<DialogAdapter> adapters, int best)
    : settings_(settings),
      adapters_(std::move(adapters)),
      best_(best),
      position_(settings.PicturePosition()),
      documents_(settings.Documents()) {
  ReadChoices();
  WriteScreenChoices(settings_, adapters_, all_screens_same_);
}

void ConfigurationModel::ReadChoices() {
  all_screens_same_ = settings_.AllScreensSame();
  ReadScreenChoices(settings_, adapters_);
}

std::u16string ConfigurationModel::Title() const { return Text(kStringWindowTitle); }
std::u16string ConfigurationModel::InformationText() const { return Text(kStringInformation); }
std::u16string ConfigurationModel::WebAddress() const { return Text(kStringWebAddress); }

std::vector<std::u16string> ConfigurationModel::PositionItems() const {
  std::vector<std::u16string> items;
  for (const DialogText& entry : DialogTexts()) {
    if (entry.dialog == kDialogConfiguration && entry.control == kControlPicturePosition) {
      items.emplace_back(entry.text);
    }
  }
  return items;
}

void ConfigurationModel::SelectPosition(std::size_t index) {
  if (index <= kMaxPicturePosition) position_ = static_cast<std::uint32_t>(index);
}

DisplaySettingsModel ConfigurationModel::DisplaySettings() {
  return DisplaySettingsModel(adapters_, best_, all_screens_same_);
}

SoundSettingsModel ConfigurationModel::SoundSettings() { return SoundSettingsModel(settings_); }

void ConfigurationModel::Ok() {
  settings_.WritePicturePosition(position_);
  if (documents_ != settings_.Documents()) settings_.WriteDocuments(documents_);
  WriteScreenChoices(settings_, adapters_, all_screens_same_);
}

void ConfigurationModel::Cancel() { ReadChoices(); }

}  // namespace lumi
