// The Display Settings dialog without a toolkit: what its page shows for
// the best adapter and what its controls change. Views show the state and
// pass the user's actions on; the changes stay in the adapter records
// until the configuration dialog's OK writes them.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "host/dialog_adapter.h"

namespace lumi {

inline constexpr int kControlAdapterName = 2002;
inline constexpr int kControlRendering = 2003;
inline constexpr int kControlHelp = 2004;
inline constexpr int kControlDisableHardware = 2005;
inline constexpr int kControlDisplayModeGroup = 2009;
inline constexpr int kControlDisplayModeLabel = 2010;
inline constexpr int kControlDisplayMode = 2011;
inline constexpr int kControlDisplayModeNote = 2013;
// Hidden statics that carry the mode list's texts.
inline constexpr int kControlAutomaticTemplate = 2012;
inline constexpr int kControlModeTemplate = 2016;
inline constexpr int kControlQualityLabel = 2017;
inline constexpr int kControlQuality = 2018;

struct ModeLine {
  std::u16string text;
  int item = -1;  // the mode's index in the adapter's list; -1 for "Automatic"
};

class DisplaySettingsModel {
 public:
  // `best` indexes the adapter the dialog concerns; -1 for none. The
  // records and `all_screens_same` are copied now for Cancel.
  DisplaySettingsModel(std::vector<DialogAdapter>& adapters, int best, std::uint32_t& all_screens_same);

  std::u16string AdapterName() const;
  std::uint32_t RenderingTextId() const;  // 2210, 2211 or 2212
  bool DisableHardwareEnabled() const;
  bool DisableHardwareChecked() const;
  // "Automatic" first, then one line per mode.
  std::vector<ModeLine> ModeLines() const;
  // Index into ModeLines: the stored mode, else "Automatic".
  std::size_t SelectedLine() const;
  std::uint32_t HelpTextId() const;
  // "Automatic", "Best" and "Fastest", in the order of the stored numbers.
  std::vector<std::u16string> QualityItems() const;
  std::size_t SelectedQuality() const;

  void SetDisableHardware(bool checked);
  // A line of ModeLines; others are ignored.
  void SelectLine(std::size_t line);
  // An index into QualityItems; others are ignored, as is any choice
  // without an adapter.
  void SelectQuality(std::size_t index);
  // OK keeps the changes in the records; Cancel puts the copies back.
  void Cancel();

 private:
  // The best adapter's record; null for none.
  DialogAdapter* Record() const;
  // The same, but null also when it has no device: nothing to choose.
  DialogAdapter* Adapter() const;

  std::vector<DialogAdapter>& adapters_;
  int best_;
  std::uint32_t& all_screens_same_;
  std::vector<DialogAdapter> saved_adapters_;
  std::uint32_t saved_all_screens_same_;
};

}  // namespace lumi
