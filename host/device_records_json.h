// The monitor and adapter answers of the window system as JSON: what
// `lumisave --list-devices` prints, and what the settings program, which
// opens no GL context of its own, reads back from it.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/saver_display.h"

namespace lumi {

struct DeviceRecords {
  std::vector<MonitorAnswer> monitors;
  std::vector<AdapterAnswer> adapters;
};

std::string DeviceRecordsToJson(const DeviceRecords& records);
// Nullopt with the reason in error for text that is not such records:
// broken JSON, missing or mistyped fields, an adapter naming a monitor
// that is not listed, more records than the tables hold.
std::optional<DeviceRecords> DeviceRecordsFromJson(std::string_view text, std::string& error);

}  // namespace lumi
