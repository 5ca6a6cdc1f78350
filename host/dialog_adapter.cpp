#include "host/dialog_adapter.h"

#include "host/device_choice.h"

namespace lumi {

DialogAdapter MakeDialogAdapter(const AdapterAnswer& answer, const std::u16string& monitor_adapter_name) {
  DialogAdapter adapter;
  adapter.name = monitor_adapter_name;
  adapter.monitor = answer.monitor;
  adapter.identifier = answer.identifier;
  adapter.modes = ListUsableModes(answer.modes);
  const bool usable = !adapter.modes.empty();
  adapter.hardware_present = !answer.software;
  adapter.hardware_usable = !answer.software && usable;
  adapter.software_present = true;
  adapter.software_usable = usable;
  return adapter;
}

DialogDevices MakeDialogDevices(const DeviceRecords& records) {
  DialogDevices devices;
  std::vector<int> monitor_adapters(records.monitors.size(), -1);
  std::vector<AdapterChoice> choices;
  for (const AdapterAnswer& answer : records.adapters) {
    const bool listed = answer.monitor >= 0 && static_cast<std::size_t>(answer.monitor) < records.monitors.size();
    const std::u16string name = listed ? records.monitors[static_cast<std::size_t>(answer.monitor)].adapter_name
                                       : answer.description;
    if (listed) monitor_adapters[static_cast<std::size_t>(answer.monitor)] = static_cast<int>(devices.adapters.size());
    devices.adapters.push_back(MakeDialogAdapter(answer, name));
    choices.push_back({devices.adapters.back().HasDevice(), answer.software});
  }
  devices.best = FindBestAdapter(monitor_adapters, choices);
  return devices;
}

void ReadScreenChoices(SaverSettings& settings, std::vector<DialogAdapter>& adapters) {
  for (DialogAdapter& adapter : adapters) {
    if (adapter.monitor >= 0) adapter.screen = settings.Screen(adapter.monitor, adapter.identifier);
  }
}

void WriteScreenChoices(SaverSettings& settings, const std::vector<DialogAdapter>& adapters,
                        std::uint32_t all_screens_same) {
  settings.WriteAllScreensSame(all_screens_same);
  for (const DialogAdapter& adapter : adapters) {
    if (adapter.monitor >= 0) settings.WriteScreen(adapter.monitor, adapter.screen, adapter.identifier);
  }
}

}  // namespace lumi
