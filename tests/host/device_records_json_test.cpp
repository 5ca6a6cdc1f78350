// The device listing the saver prints for the settings program, and what
// the settings program refuses to read from it.
#include "host/device_records_json.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace lumi {
namespace {

using ::testing::HasSubstr;

DeviceRecords Recorded() {
  DeviceRecords records;
  records.monitors.push_back({u"llvmpipe (LLVM 15.0.6, 256 bits)", u"Screen \u00e9", {0, 0, 800, 600}, 59.9});
  records.monitors.push_back({u"llvmpipe", u"Right", {800, 0, 1600, 600}, 0});
  AdapterAnswer adapter;
  adapter.monitor = 1;
  adapter.description = u"llvmpipe";
  adapter.software = true;
  adapter.identifier = {1, 2, 3, 250};
  adapter.desktop = {800, 600};
  adapter.modes = {{800, 600}, {640, 480, 23}};
  records.adapters.push_back(adapter);
  return records;
}

TEST(DeviceRecordsJson, WhatIsPrintedIsReadBack) {
  std::string error;
  const std::optional<DeviceRecords> read = DeviceRecordsFromJson(DeviceRecordsToJson(Recorded()), error);
  ASSERT_TRUE(read) << error;
  const DeviceRecords expected = Recorded();
  ASSERT_EQ(read->monitors.size(), 2u);
  EXPECT_EQ(read->monitors[0].monitor_name, expected.monitors[0].monitor_name);
  EXPECT_EQ(read->monitors[1].bounds, expected.monitors[1].bounds);
  EXPECT_DOUBLE_EQ(read->monitors[0].refresh_hz, 59.9);
  ASSERT_EQ(read->adapters.size(), 1u);
  EXPECT_EQ(read->adapters[0].monitor, 1);
  EXPECT_TRUE(read->adapters[0].software);
  EXPECT_EQ(read->adapters[0].identifier, expected.adapters[0].identifier);
  EXPECT_EQ(read->adapters[0].modes, expected.adapters[0].modes);
  EXPECT_EQ(read->adapters[0].desktop, expected.adapters[0].desktop);
}

// A probe that crashed half-way, printed something else or was tampered
// with is no listing.
TEST(DeviceRecordsJson, GarbageIsRefusedWithAReason) {
  const std::string good = DeviceRecordsToJson(Recorded());
  std::string error;
  for (const std::string& bad :
       {std::string(), good.substr(0, good.size() / 2), std::string("Segmentation fault"), std::string("[]"),
        std::string(R"({"monitors": [], "adapters": [{"monitor": -1}]})"),
        std::string(R"({"monitors": [], "adapters": "none"})"),
        std::string(R"({"monitors": [{"adapter_name": 5}], "adapters": []})")}) {
    error.clear();
    EXPECT_FALSE(DeviceRecordsFromJson(bad, error)) << bad;
    EXPECT_THAT(error, HasSubstr("not a device listing")) << bad;
  }
  DeviceRecords stray = Recorded();
  stray.adapters[0].monitor = 2;
  EXPECT_FALSE(DeviceRecordsFromJson(DeviceRecordsToJson(stray), error));
  EXPECT_THAT(error, HasSubstr("monitor 2"));
  DeviceRecords many = Recorded();
  many.monitors.resize(10);
  EXPECT_FALSE(DeviceRecordsFromJson(DeviceRecordsToJson(many), error));
  EXPECT_THAT(error, HasSubstr("more monitors"));
}

}  // namespace
}  // namespace lumi
