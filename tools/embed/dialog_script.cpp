#include "tools/embed/dialog_script.h"

#include <sstream>
#include <stdexcept>
#include <string_view>
#include <vector>

#include "host/configuration_model.h"
#include "host/string_table.h"
#include "tools/embed/resource_script.h"

namespace lumi::embed {
namespace {

// Window and control styles, as numbers: the script includes no headers.
constexpr std::uint32_t kDialogStyle = 0x80000000 /* WS_POPUP */ | 0x00C00000 /* WS_CAPTION */ |
                                       0x00080000 /* WS_SYSMENU */ | 0x80 /* DS_MODALFRAME */ |
                                       0x40 /* DS_SETFONT */ | 0x800 /* DS_CENTER */;
constexpr std::uint32_t kTabStop = 0x00010000;
constexpr std::uint32_t kVisible = 0x10000000;

enum class Kind {
  Group,          // a group box with its title
  Label,          // a static text from the table
  Filled,         // a static text the dialog fills at run time
  Template,       // a hidden static holding a text the dialog formats with
  Button,
  DefaultButton,
  CheckBox,
  DropDownList,
  VerticalTrackbar,
};

// Where a control goes, in dialog units. Controls without an id of their
// own are the dialog's unnamed texts, taken in table order.
struct Place {
  int control;
  Kind kind;
  int x, y, width, height;
};

struct Layout {
  int dialog;
  int width, height;
  std::vector<Place> places;
};

const std::vector<Layout>& Layouts() {
  static const std::vector<Layout> layouts = {
      {kDialogConfiguration, 232, 204,
       {{kControlUnnamed, Kind::Group, 7, 7, 218, 36},
        {kControlUnnamed, Kind::Label, 15, 23, 70, 10},
        {kControlPicturePosition, Kind::DropDownList, 90, 21, 127, 60},
        {kControlUnnamed, Kind::Group, 7, 47, 218, 32},
        {kControlDisplaySettings, Kind::Button, 15, 59, 90, 14},
        {kControlUnnamed, Kind::Group, 7, 83, 218, 32},
        {kControlSoundSettings, Kind::Button, 15, 95, 90, 14},
        {kControlUnnamed, Kind::Group, 7, 119, 218, 56},
        {kControlInformation, Kind::Filled, 15, 131, 145, 38},
        {kControlWebsite, Kind::Button, 167, 131, 50, 14},
        {kControlOk, Kind::DefaultButton, 121, 183, 50, 14},
        {kControlCancel, Kind::Button, 175, 183, 50, 14}}},
      {kDialogDisplaySettings, 260, 188,
       {{kControlAdapterName, Kind::Filled, 7, 7, 246, 10},
        {kControlRendering, Kind::Filled, 7, 21, 188, 26},
        {kControlHelp, Kind::Button, 203, 21, 50, 14},
        {kControlDisableHardware, Kind::CheckBox, 7, 51, 246, 10},
        {kControlQualityLabel, Kind::Label, 7, 67, 60, 10},
        {kControlQuality, Kind::DropDownList, 70, 65, 120, 60},
        {kControlDisplayModeGroup, Kind::Group, 7, 82, 246, 80},
        {kControlDisplayModeLabel, Kind::Label, 15, 95, 230, 10},
        {kControlDisplayMode, Kind::DropDownList, 15, 107, 230, 100},
        {kControlDisplayModeNote, Kind::Label, 15, 126, 230, 30},
        {kControlAutomaticTemplate, Kind::Template, 0, 0, 10, 8},
        {kControlModeTemplate, Kind::Template, 0, 0, 10, 8},
        {kControlOk, Kind::DefaultButton, 149, 168, 50, 14},
        {kControlCancel, Kind::Button, 203, 168, 50, 14}}},
      {kDialogSoundSettings, 150, 132,
       {{kControlUnnamed, Kind::Group, 7, 7, 70, 118},
        {kControlVolume, Kind::VerticalTrackbar, 27, 19, 30, 100},
        {kControlMute, Kind::CheckBox, 85, 19, 58, 10},
        {kControlOk, Kind::DefaultButton, 93, 93, 50, 14},
        {kControlCancel, Kind::Button, 93, 111, 50, 14}}},
  };
  return layouts;
}

struct ControlClass {
  const char* name;
  std::uint32_t style;
};

ControlClass ClassOf(Kind kind) {
  switch (kind) {
    case Kind::Group: return {"Button", 0x7 /* BS_GROUPBOX */};
    case Kind::Label: return {"Static", 0 /* SS_LEFT */};
    // Adapter names are shown as they are: "&" marks no access key.
    case Kind::Filled: return {"Static", 0x80 /* SS_NOPREFIX */};
    case Kind::Template: return {"Static", 0x80};
    case Kind::Button: return {"Button", 0 /* BS_PUSHBUTTON */ | kTabStop};
    case Kind::DefaultButton: return {"Button", 1 /* BS_DEFPUSHBUTTON */ | kTabStop};
    case Kind::CheckBox: return {"Button", 3 /* BS_AUTOCHECKBOX */ | kTabStop};
    case Kind::DropDownList: return {"ComboBox", 0x3 /* CBS_DROPDOWNLIST */ | 0x00200000 /* WS_VSCROLL */ | kTabStop};
    case Kind::VerticalTrackbar:
      return {"msctls_trackbar32", 0x2 /* TBS_VERT */ | 0x1 /* TBS_AUTOTICKS */ | 0x8 /* TBS_BOTH */ | kTabStop};
  }
  return {"Static", 0};
}

bool FilledAtRunTime(Kind kind) {
  return kind == Kind::Filled || kind == Kind::DropDownList || kind == Kind::VerticalTrackbar;
}

std::string Hex(std::uint32_t value) {
  std::ostringstream out;
  out << "0x" << std::hex << std::uppercase << value;
  return out.str();
}

// The unnamed texts of a dialog, and how many of them have a place.
struct UnnamedTexts {
  std::vector<std::u16string_view> texts;
  std::size_t used = 0;
};

void WriteDialog(std::ostream& out, const Layout& layout) {
  UnnamedTexts unnamed;
  std::size_t named_texts = 0;
  for (const DialogText& entry : DialogTexts()) {
    if (entry.dialog != layout.dialog) continue;
    if (entry.control == kControlUnnamed) unnamed.texts.push_back(entry.text);
    // List items are added at run time; the caption is the dialog's own.
    if (entry.control > 0 && entry.control != kControlPicturePosition && entry.control != kControlQuality) ++named_texts;
  }
  const std::string name = "dialog " + std::to_string(layout.dialog);
  const std::u16string_view caption =
      FindDialogText(layout.dialog, kControlCaption).value_or(FindString(kStringWindowTitle).value_or(u""));
  out << layout.dialog << " DIALOGEX 0, 0, " << layout.width << ", " << layout.height << "\nSTYLE "
      << Hex(kDialogStyle) << "\nCAPTION " << QuotedText(caption) << "\nFONT 8, \"MS Shell Dlg\"\nBEGIN\n";
  std::size_t placed_texts = 0;
  for (const Place& place : layout.places) {
    std::u16string_view text;
    if (place.control == kControlUnnamed) {
      if (unnamed.used == unnamed.texts.size()) throw std::logic_error(name + " places more unnamed texts than it has");
      text = unnamed.texts[unnamed.used++];
    } else if (!FilledAtRunTime(place.kind)) {
      const std::optional<std::u16string_view> found = FindDialogText(layout.dialog, place.control);
      if (!found) throw std::logic_error(name + " has no text for control " + std::to_string(place.control));
      text = *found;
      ++placed_texts;
    }
    const ControlClass control = ClassOf(place.kind);
    // CONTROL makes a control visible unless told otherwise.
    const std::string style = place.kind == Kind::Template ? Hex(control.style) + " | NOT " + Hex(kVisible)
                                                           : Hex(control.style);
    out << "  CONTROL " << QuotedText(text) << ", " << place.control << ", \"" << control.name << "\", " << style
        << ", " << place.x << ", " << place.y << ", " << place.width << ", " << place.height << "\n";
  }
  if (unnamed.used != unnamed.texts.size() || placed_texts != named_texts) {
    throw std::logic_error(name + " leaves some of its texts without a place");
  }
  out << "END\n\n";
}

}  // namespace

std::string DialogTemplates() {
  std::ostringstream out;
  for (const Layout& layout : Layouts()) WriteDialog(out, layout);
  return out.str();
}

}  // namespace lumi::embed
