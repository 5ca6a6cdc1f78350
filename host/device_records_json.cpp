#include "host/device_records_json.h"

#include <nlohmann/json.hpp>

#include "archive/utf.h"
#include "host/device_choice.h"

namespace lumi {
namespace {

using nlohmann::json;

// The listing the device list keeps at most, before it filters.
constexpr std::size_t kMaxListedModes = 1000;

json Mode(const DisplayModeAnswer& mode) { return {{"width", mode.width}, {"height", mode.height}, {"format", mode.format}}; }

DisplayModeAnswer ReadMode(const json& j) {
  return {j.at("width").get<std::uint32_t>(), j.at("height").get<std::uint32_t>(), j.at("format").get<std::uint32_t>()};
}

}  // namespace

std::string DeviceRecordsToJson(const DeviceRecords& records) {
  json monitors = json::array();
  for (const MonitorAnswer& m : records.monitors) {
    monitors.push_back({{"adapter_name", ToUtf8(m.adapter_name)},
                        {"monitor_name", ToUtf8(m.monitor_name)},
                        {"bounds", {m.bounds.left, m.bounds.top, m.bounds.right, m.bounds.bottom}},
                        {"refresh_hz", m.refresh_hz}});
  }
  json adapters = json::array();
  for (const AdapterAnswer& a : records.adapters) {
    json modes = json::array();
    for (const DisplayModeAnswer& mode : a.modes) modes.push_back(Mode(mode));
    adapters.push_back({{"monitor", a.monitor},
                        {"description", ToUtf8(a.description)},
                        {"software", a.software},
                        {"identifier", a.identifier},
                        {"desktop", Mode(a.desktop)},
                        {"modes", modes}});
  }
  return json{{"monitors", monitors}, {"adapters", adapters}}.dump(1) + "\n";
}

std::optional<DeviceRecords> DeviceRecordsFromJson(std::string_view text, std::string& error) {
  try {
    const json root = json::parse(text);
    DeviceRecords records;
    const json& monitors = root.at("monitors");
    const json& adapters = root.at("adapters");
    if (monitors.size() > kMaxMonitors || adapters.size() > kMaxAdapters) {
      error = "more monitors or adapters than the device list holds";
      return std::nullopt;
    }
    for (const json& m : monitors) {
      MonitorAnswer monitor;
      monitor.adapter_name = FromUtf8(m.at("adapter_name").get<std::string>());
      monitor.monitor_name = FromUtf8(m.at("monitor_name").get<std::string>());
      const auto bounds = m.at("bounds").get<std::array<std::int32_t, 4>>();
      monitor.bounds = {bounds[0], bounds[1], bounds[2], bounds[3]};
      monitor.refresh_hz = m.at("refresh_hz").get<double>();
      records.monitors.push_back(std::move(monitor));
    }
    for (const json& a : adapters) {
      AdapterAnswer adapter;
      adapter.monitor = a.at("monitor").get<int>();
      if (adapter.monitor < -1 || adapter.monitor >= static_cast<int>(records.monitors.size())) {
        error = "an adapter names monitor " + std::to_string(adapter.monitor) + ", which is not listed";
        return std::nullopt;
      }
      adapter.description = FromUtf8(a.at("description").get<std::string>());
      adapter.software = a.at("software").get<bool>();
      adapter.identifier = a.at("identifier").get<std::array<std::uint8_t, 16>>();
      adapter.desktop = ReadMode(a.at("desktop"));
      const json& modes = a.at("modes");
      if (modes.size() > kMaxListedModes) {
        error = "an adapter lists more than " + std::to_string(kMaxListedModes) + " modes";
        return std::nullopt;
      }
      for (const json& mode : modes) adapter.modes.push_back(ReadMode(mode));
      records.adapters.push_back(std::move(adapter));
    }
    return records;
  } catch (const std::exception& e) {
    // Broken JSON, a field missing or of another type.
    error = std::string("not a device listing: ") + e.what();
    return std::nullopt;
  }
}

}  // namespace lumi
