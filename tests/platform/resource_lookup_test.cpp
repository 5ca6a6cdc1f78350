#include "platform/resource_lookup.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "archive/utf.h"
#include "tests/archive_pe/pe_test_writer.h"

namespace lumi {
namespace {

const PeResourceName kDds{std::u16string_view(u"DDS")};

std::string Text(std::optional<std::span<const std::uint8_t>> bytes) {
  return bytes ? std::string(bytes->begin(), bytes->end()) : std::string("(none)");
}

// Width and height from a PNG's header chunk.
std::pair<std::uint32_t, std::uint32_t> PngSize(std::span<const std::uint8_t> png) {
  auto big = [&](std::size_t at) {
    return std::uint32_t{png[at]} << 24 | std::uint32_t{png[at + 1]} << 16 | std::uint32_t{png[at + 2]} << 8 |
           png[at + 3];
  };
  if (png.size() < 24 || png[1] != 'P' || png[2] != 'N' || png[3] != 'G') return {0, 0};
  return {big(16), big(20)};
}

class ResourceLookup : public ::testing::Test {
 protected:
  void SetUp() override {
    directory_ = std::filesystem::temp_directory_path() /
                 ("lumi_resource_lookup_" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) + "_" +
                  ::testing::UnitTest::GetInstance()->current_test_info()->name());
    std::filesystem::create_directories(directory_ / "other");
  }
  void TearDown() override { std::filesystem::remove_all(directory_); }

  std::u16string Write(const std::string& name, const std::vector<std::uint8_t>& bytes) {
    const std::filesystem::path path = directory_ / name;
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), bytes.size());
    return FromUtf8(path.string());
  }
  std::u16string PathOf(const std::string& name) { return FromUtf8((directory_ / name).string()); }

  static std::vector<std::uint8_t> ModuleHolding(const std::string& text) {
    test::PeTestWriter writer;
    writer.Add({test::Named(u"DDS"), test::Numbered(62), 0x409, {text.begin(), text.end()}});
    return writer.Write();
  }

  std::filesystem::path directory_;
};

TEST_F(ResourceLookup, PackedModuleIsFoundByItsFileName) {
  const ResourceModule* module = FindModuleInstance(u"packed_module.dll");
  ASSERT_NE(module, nullptr);
  EXPECT_EQ(Text(module->Find(kDds, 7)), "seven");
  EXPECT_EQ(Text(module->Find(kResourceTypeRcData, 8)), "eight!");
  EXPECT_EQ(Text(module->Find(PeResourceName(std::u16string_view(u"dds")), 7)), "seven");
  EXPECT_EQ(Text(module->Find(kResourceTypeRcData, 7)), "(none)");
  EXPECT_EQ(Text(module->Find(kDds, 8)), "(none)");
  const auto empty = module->Find(kDds, 9);
  ASSERT_TRUE(empty);
  EXPECT_TRUE(empty->empty());

  EXPECT_EQ(FindModuleInstance(u"C:\\Program Files\\Lumivex\\PACKED_MODULE.DLL"), module);
  EXPECT_EQ(FindModuleInstance(u"/somewhere/else/Packed_Module.dll"), module);
  EXPECT_EQ(FindModuleInstance(u"packed_module"), nullptr);
  EXPECT_EQ(FindModuleInstance(u""), nullptr);
  EXPECT_EQ(FindModuleInstance(u"C:\\dir\\"), nullptr);
}

TEST_F(ResourceLookup, ExecutableCarriesItsPictures) {
  const auto noise = FindModuleResource(nullptr, kDds, 2);
  ASSERT_TRUE(noise);
  EXPECT_EQ(PngSize(*noise), std::make_pair(512u, 512u));
  ASSERT_TRUE(FindModuleResource(nullptr, kDds, 5));
  EXPECT_NE(PngSize(*FindModuleResource(nullptr, kDds, 5)).first, 0u);

  std::vector<int> markers = {54, 57};
  for (int id = 60; id <= 72; ++id) markers.push_back(id);
  for (int id = 74; id <= 78; ++id) markers.push_back(id);
  for (int id : markers) {
    const auto marker = FindModuleResource(nullptr, kDds, static_cast<std::uint16_t>(id));
    ASSERT_TRUE(marker) << id;
    const auto [width, height] = PngSize(*marker);
    EXPECT_GE(width, 1u) << id;
    EXPECT_LE(width, 128u) << id;
    EXPECT_GE(height, 1u) << id;
    EXPECT_LE(height, 32u) << id;
  }
  for (int id : {0, 1, 3, 4, 6, 53, 55, 56, 58, 59, 73, 79}) {
    EXPECT_FALSE(FindModuleResource(nullptr, kDds, static_cast<std::uint16_t>(id))) << id;
  }
  // Types are told apart: this entry is numbered, not "DDS".
  EXPECT_EQ(Text(FindModuleResource(nullptr, kResourceTypeRcData, 107)), "seven");
  EXPECT_FALSE(FindModuleResource(nullptr, kDds, 107));
  EXPECT_EQ(&ExecutableModule(), &ExecutableModule());
}

TEST_F(ResourceLookup, ModuleFileIsLoadedOnceUnderItsFileName) {
  const std::u16string first = Write("disk_module.dll", ModuleHolding("first"));
  const ResourceModule* module = FindModuleInstance(first);
  ASSERT_NE(module, nullptr);
  EXPECT_EQ(Text(FindModuleResource(module, kDds, 62)), "first");

  // Another directory's file of the same name is never read.
  const std::u16string second = Write("other/disk_module.dll", ModuleHolding("second"));
  EXPECT_EQ(FindModuleInstance(second), module);
  EXPECT_EQ(FindModuleInstance(PathOf("missing/DISK_MODULE.DLL")), module);
  EXPECT_EQ(Text(FindModuleInstance(second)->Find(kDds, 62)), "first");
}

TEST_F(ResourceLookup, FailedLoadsAreTriedAgain) {
  const std::u16string path = PathOf("late_module.dll");
  EXPECT_EQ(FindModuleInstance(path), nullptr);
  Write("late_module.dll", {'M', 'Z', 0, 0});
  EXPECT_EQ(FindModuleInstance(path), nullptr);
  Write("late_module.dll", {});
  EXPECT_EQ(FindModuleInstance(path), nullptr);
  Write("late_module.dll", ModuleHolding("late"));
  const ResourceModule* module = FindModuleInstance(path);
  ASSERT_NE(module, nullptr);
  EXPECT_EQ(Text(module->Find(kDds, 62)), "late");
}

}  // namespace
}  // namespace lumi
