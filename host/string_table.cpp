#include "host/string_table.h"

#include <algorithm>
#include <array>
#include <utility>

namespace lumi {
namespace {

// The texts name the graphics layer the saver draws with: Direct3D on
// Windows, OpenGL elsewhere. The build that writes the Windows executable's
// string table runs natively and asks for Windows' texts.
#if defined(_WIN32) || defined(LUMI_WINDOWS_TEXTS)
#define LUMI_GRAPHICS_NAME u"Direct3D"
constexpr std::u16string_view kGraphicsMissing =
    u"Direct3D 8.0 could not be initialized.  Please install the latest version of DirectX.";
#else
#define LUMI_GRAPHICS_NAME u"OpenGL"
constexpr std::u16string_view kGraphicsMissing =
    u"OpenGL 3.3 could not be initialized.  Please install the latest graphics drivers for your system.";
#endif

constexpr std::array kStrings = {
    StringEntry{kStringWebAddress, u"https://lumisave.example/"},
    StringEntry{kStringInformation, u"Created with Lumivex\n\n "},
    StringEntry{kStringWindowTitle, u"Lumisave"},
    StringEntry{2100, u"There was an unspecified problem with this screen saver."},
    StringEntry{2101, kGraphicsMissing},
    StringEntry{2102, u"Could not initialize the screen saver."},
    StringEntry{2103, u"Could not create the " LUMI_GRAPHICS_NAME u" device."},
    StringEntry{2104, u"Could not find any compatible " LUMI_GRAPHICS_NAME u" devices."},
    StringEntry{2105, u"No hardware-accelerated " LUMI_GRAPHICS_NAME u" devices were found."},
    StringEntry{2106, u"This screen saver requires functionality that is not available on your " LUMI_GRAPHICS_NAME
                      u" hardware accelerator."},
    StringEntry{2107, u"This screen saver requires functionality that is not available on your " LUMI_GRAPHICS_NAME
                      u" hardware accelerator with the current desktop display settings."},
    StringEntry{2108, u"Could not load required media."},
    StringEntry{2109, u"Could not reset the " LUMI_GRAPHICS_NAME u" device."},
    StringEntry{2110, u"Not enough memory."},
    StringEntry{2111, u"Not enough video memory."},
    StringEntry{2112, u"No preview available"},
    StringEntry{2200, u"This video adapter supports hardware 3D rendering.  This screen saver can be displayed on "
                      u"this monitor."},
    StringEntry{2201, u"This video adapter supports hardware 3D rendering, but this screensaver requires "
                      u"functionality not available in hardware.  A software renderer will be used instead.  This "
                      u"screen saver can be displayed on this monitor."},
    StringEntry{2202, u"This video adapter supports hardware 3D rendering, but this screensaver requires "
                      u"functionality not available in hardware or software.  This screen saver cannot be displayed "
                      u"on this monitor."},
    StringEntry{2203, u"This video adapter supports hardware 3D rendering, but this screensaver requires "
                      u"functionality not available in hardware.  No software renderer is available.  This screen "
                      u"saver cannot be displayed on this monitor."},
    StringEntry{2204, u"This video adapter does not support hardware 3D rendering.  A software renderer will be used "
                      u"instead.  This screen saver can be displayed on this monitor."},
    StringEntry{2205, u"This video adapter does not support hardware 3D rendering.  This screensaver requires "
                      u"functionality not available in the software renderer.  This screen saver cannot be displayed "
                      u"on this monitor."},
    StringEntry{2206, u"This video adapter does not support hardware 3D rendering.  No software renderer is "
                      u"available.  This screen saver cannot be displayed on this monitor."},
    StringEntry{2207, u"The video adapter supports hardware 3D rendering, but it has been disabled.  A software "
                      u"renderer will be used instead.  This screen saver can be displayed on this monitor."},
    StringEntry{2208, u"This video adapter supports hardware 3D rendering, but it has been disabled.  This "
                      u"screensaver requires functionality not available in the software renderer.  This screen "
                      u"saver cannot be displayed on this monitor."},
    StringEntry{2209, u"This video adapter supports hardware 3D rendering, but it has been disabled.  No software "
                      u"renderer is available.  This screen saver cannot be displayed on this monitor."},
    StringEntry{2210, u"The screen saver can use hardware 3D rendering on this monitor."},
    StringEntry{2211, u"The screen saver can use software 3D rendering on this monitor."},
    StringEntry{2212, u"The screen saver cannot be displayed on this monitor."},
};

constexpr std::array<std::pair<HResult, std::uint32_t>, 13> kErrorStrings = {{
    {kErrorUnspecified, kStringUnspecifiedError},
    {kErrorNoDirect3D, 2101},
    {kErrorCannotInitialize, 2102},
    {kErrorCannotCreateDevice, 2103},
    {kErrorNoCompatibleDevices, 2104},
    {kErrorNoHardwareDevice, 2105},
    {kErrorHardwareLacksFeatures, 2106},
    {kErrorHardwareLacksFeaturesInMode, 2107},
    {kErrorMediaMissing, 2108},
    {kErrorDeviceResetFailed, 2109},
    {kErrorOutOfMemory, 2110},
    {kErrorOutOfVideoMemory, 2111},
    {kErrorNoPreview, 2112},
}};

constexpr std::array kDialogTexts = {
    DialogText{kDialogConfiguration, kControlUnnamed, u"Image Settings"},
    DialogText{kDialogConfiguration, kControlUnnamed, u"Picture position:"},
    DialogText{kDialogConfiguration, 1023, u"Stretch"},
    DialogText{kDialogConfiguration, 1023, u"Fit"},
    DialogText{kDialogConfiguration, 1023, u"Fill"},
    DialogText{kDialogConfiguration, kControlUnnamed, u"Display Settings"},
    DialogText{kDialogConfiguration, 1006, u"&Display Settings..."},
    DialogText{kDialogConfiguration, kControlUnnamed, u"Sound Settings"},
    DialogText{kDialogConfiguration, 1007, u"&Sound Settings..."},
    DialogText{kDialogConfiguration, kControlUnnamed, u"Information"},
    DialogText{kDialogConfiguration, 1017, u"Website"},
    DialogText{kDialogConfiguration, 1, u"OK"},
    DialogText{kDialogConfiguration, 2, u"Cancel"},
    DialogText{kDialogDisplaySettings, kControlCaption, u"Display Settings"},
    DialogText{kDialogDisplaySettings, 2004, u"&Help"},
    DialogText{kDialogDisplaySettings, 2005, u"&Disable hardware 3D rendering"},
    DialogText{kDialogDisplaySettings, 2009, u"Display Mode"},
    DialogText{kDialogDisplaySettings, 2010, u"Display &mode for this video adapter:"},
    DialogText{kDialogDisplaySettings, 2013, u"Note: The Automatic display mode finds a mode that works well with "
                                             u"your current screen saver settings and video adapter."},
    DialogText{kDialogDisplaySettings, 2012, u"Automatic"},
    DialogText{kDialogDisplaySettings, 2016, u"%d by %d, %d bit color"},
    DialogText{kDialogDisplaySettings, 2017, u"&Quality:"},
    DialogText{kDialogDisplaySettings, 2018, u"Automatic"},
    DialogText{kDialogDisplaySettings, 2018, u"Best"},
    DialogText{kDialogDisplaySettings, 2018, u"Fastest"},
    DialogText{kDialogDisplaySettings, 1, u"OK"},
    DialogText{kDialogDisplaySettings, 2, u"Cancel"},
    DialogText{kDialogSoundSettings, kControlCaption, u"Sound Settings"},
    DialogText{kDialogSoundSettings, kControlUnnamed, u"Volume"},
    DialogText{kDialogSoundSettings, 1022, u"Mute"},
    DialogText{kDialogSoundSettings, 1, u"OK"},
    DialogText{kDialogSoundSettings, 2, u"Cancel"},
};

}  // namespace

std::span<const StringEntry> StringTable() { return kStrings; }

std::optional<std::u16string_view> FindString(std::uint32_t id) {
  const auto found = std::find_if(kStrings.begin(), kStrings.end(), [id](const StringEntry& e) { return e.id == id; });
  if (found == kStrings.end()) return std::nullopt;
  return found->text;
}

std::size_t LoadString(std::uint32_t id, char16_t* buffer, std::size_t capacity) {
  if (capacity == 0) return 0;
  const std::u16string_view text = FindString(id).value_or(std::u16string_view());
  const std::size_t count = std::min(text.size(), capacity - 1);
  std::copy_n(text.data(), count, buffer);
  buffer[count] = u'\0';
  return count;
}

bool LookUpErrorText(HResult code, char16_t* buffer, std::size_t capacity) {
  const auto found = std::find_if(kErrorStrings.begin(), kErrorStrings.end(),
                                  [code](const auto& entry) { return entry.first == code; });
  const std::uint32_t id = found == kErrorStrings.end() ? kStringUnspecifiedError : found->second;
  LoadString(id, buffer, capacity);
  return found != kErrorStrings.end() && id != kStringUnspecifiedError;
}

bool LookUpErrorText(HResult code, std::u16string& text) {
  char16_t buffer[kErrorTextCapacity];
  const bool found = LookUpErrorText(code, buffer, kErrorTextCapacity);
  text = buffer;
  return found;
}

std::span<const DialogText> DialogTexts() { return kDialogTexts; }

std::optional<std::u16string_view> FindDialogText(int dialog, int control) {
  for (const DialogText& entry : kDialogTexts) {
    if (entry.dialog == dialog && entry.control == control) return entry.text;
  }
  return std::nullopt;
}

}  // namespace lumi
