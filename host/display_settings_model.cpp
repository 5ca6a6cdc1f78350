#include "host/display_settings_model.h"

#include <algorithm>
#include <cstdio>

#include "archive/utf.h"
#include "host/string_table.h"

namespace lumi {
namespace {

constexpr std::uint32_t kTextHardware = 2210;
constexpr std::uint32_t kTextSoftware = 2211;
constexpr std::uint32_t kTextNone = 2212;

bool Is24Or32Bit(std::uint32_t format) { return format >= 20 && format <= 22; }

// The mode template's "%d by %d, %d bit color" with its three numbers.
std::u16string FormatMode(const DisplayModeAnswer& mode) {
  const std::string format = ToUtf8(FindDialogText(kDialogDisplaySettings, kControlModeTemplate).value_or(u""));
  char line[128];
  std::snprintf(line, sizeof line, format.c_str(), static_cast<int>(mode.width), static_cast<int>(mode.height),
                Is24Or32Bit(mode.format) ? 32 : 16);
  return FromUtf8(line);
}

}  // namespace

DisplaySettingsModel::DisplaySettingsModel(std::vector<DialogAdapter>& adapters, int best,
                                           std::uint32_t& all_screens_same)
    : adapters_(adapters),
      best_(best),
      all_screens_same_(all_screens_same),
      saved_adapters_(adapters),
      saved_all_screens_same_(all_screens_same) {}

DialogAdapter* DisplaySettingsModel::Record() const {
  if (best_ < 0 || static_cast<std::size_t>(best_) >= adapters_.size()) return nullptr;
  return &adapters_[static_cast<std::size_t>(best_)];
}

DialogAdapter* DisplaySettingsModel::Adapter() const {
  DialogAdapter* adapter = Record();
  return adapter != nullptr && adapter->HasDevice() ? adapter : nullptr;
}

std::u16string DisplaySettingsModel::AdapterName() const {
  const DialogAdapter* a = Record();
  return a != nullptr ? a->name : std::u16string();
}

std::uint32_t DisplaySettingsModel::RenderingTextId() const {
  const DialogAdapter* a = Record();
  if (a == nullptr) return kTextNone;
  if (a->hardware_present && !a->screen.disable_hardware && a->hardware_usable) return kTextHardware;
  if (a->software_present && a->software_usable) return kTextSoftware;
  return kTextNone;
}

bool DisplaySettingsModel::DisableHardwareEnabled() const {
  const DialogAdapter* a = Adapter();
  return a != nullptr && a->hardware_present && a->hardware_usable;
}

bool DisplaySettingsModel::DisableHardwareChecked() const {
  return DisableHardwareEnabled() && Adapter()->screen.disable_hardware;
}

std::vector<ModeLine> DisplaySettingsModel::ModeLines() const {
  std::vector<ModeLine> lines{{std::u16string(FindDialogText(kDialogDisplaySettings, kControlAutomaticTemplate).value_or(u"")), -1}};
  if (const DialogAdapter* a = Adapter()) {
    for (std::size_t i = 0; i < a->modes.size(); ++i) lines.push_back({FormatMode(a->modes[i]), static_cast<int>(i)});
  }
  return lines;
}

std::size_t DisplaySettingsModel::SelectedLine() const {
  const DialogAdapter* a = Adapter();
  if (a == nullptr) return 0;
  for (std::size_t i = 0; i < a->modes.size(); ++i) {
    const DisplayModeAnswer& m = a->modes[i];
    if (m.width == a->screen.width && m.height == a->screen.height && m.format == a->screen.format) return i + 1;
  }
  return 0;
}

std::uint32_t DisplaySettingsModel::HelpTextId() const {
  const DialogAdapter* a = Record();
  if (a == nullptr) return 2206;
  const bool software = a->software_present, software_usable = a->software_usable;
  if (!a->hardware_present) return !software ? 2206 : software_usable ? 2204 : 2205;
  if (a->screen.disable_hardware) return !software ? 2209 : software_usable ? 2207 : 2208;
  if (a->hardware_usable) return 2200;
  return !software ? 2203 : software_usable ? 2201 : 2202;
}

std::vector<std::u16string> DisplaySettingsModel::QualityItems() const {
  std::vector<std::u16string> items;
  for (const DialogText& entry : DialogTexts()) {
    if (entry.dialog == kDialogDisplaySettings && entry.control == kControlQuality) items.emplace_back(entry.text);
  }
  return items;
}

std::size_t DisplaySettingsModel::SelectedQuality() const {
  const DialogAdapter* a = Record();
  return a != nullptr ? std::min<std::size_t>(a->screen.quality, kMaxQuality) : 0;
}

void DisplaySettingsModel::SelectQuality(std::size_t index) {
  if (DialogAdapter* a = Record(); a != nullptr && index <= kMaxQuality) a->screen.quality = static_cast<std::uint32_t>(index);
}

void DisplaySettingsModel::SetDisableHardware(bool checked) {
  // A disabled check box changes nothing.
  if (DisableHardwareEnabled()) Adapter()->screen.disable_hardware = checked;
}

void DisplaySettingsModel::SelectLine(std::size_t line) {
  DialogAdapter* a = Adapter();
  if (a == nullptr || line > a->modes.size()) return;
  if (line == 0) {
    a->screen.width = a->screen.height = a->screen.format = 0;
    return;
  }
  const DisplayModeAnswer& mode = a->modes[line - 1];
  a->screen.width = mode.width;
  a->screen.height = mode.height;
  a->screen.format = mode.format;
}

void DisplaySettingsModel::Cancel() {
  adapters_ = saved_adapters_;
  all_screens_same_ = saved_all_screens_same_;
}

}  // namespace lumi
