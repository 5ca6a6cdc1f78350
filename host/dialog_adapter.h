// What the settings dialogs know of one adapter: its name, which kinds of
// renderer it has and can use, the modes of its current device and the
// stored choices of its monitor's screen.
#pragma once

#include <string>
#include <vector>

#include "host/device_records_json.h"
#include "host/saver_settings.h"
#include "platform/saver_display.h"

namespace lumi {

struct DialogAdapter {
  std::u16string name;  // the adapter name of its monitor
  int monitor = -1;     // its screen is "Screen <monitor + 1>"
  AdapterIdentifier identifier{};
  bool hardware_present = false, hardware_usable = false;
  bool software_present = false, software_usable = false;
  std::vector<DisplayModeAnswer> modes;  // of the current device, as ListUsableModes gives them
  ScreenSettings screen;

  bool HasDevice() const { return hardware_usable || software_usable; }
};

// The record of a renderer as the window system answered for it. A
// software rasteriser has no hardware; a hardware renderer can always fall
// back on the software one.
DialogAdapter MakeDialogAdapter(const AdapterAnswer& answer, const std::u16string& monitor_adapter_name);

// Every listed adapter as the dialogs see it, and the one they concern:
// the best, as the full-screen saver would choose it (-1 for none).
struct DialogDevices {
  std::vector<DialogAdapter> adapters;
  int best = -1;
};
DialogDevices MakeDialogDevices(const DeviceRecords& records);

// The stored choices of every adapter's screen (those stored for another
// adapter do not apply), and writing them all back with "AllScreensSame".
void ReadScreenChoices(SaverSettings& settings, std::vector<DialogAdapter>& adapters);
void WriteScreenChoices(SaverSettings& settings, const std::vector<DialogAdapter>& adapters,
                        std::uint32_t all_screens_same);

}  // namespace lumi
