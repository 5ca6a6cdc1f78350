#include "platform/resource_lookup.h"

#include <gtest/gtest.h>

#ifndef _WIN32
#include <sys/stat.h>
#endif

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "archive/utf.h"
#include "tests/archive_pe/pe_test_writer.h"
#include "tests/support/scratch_directory.h"

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
    std::filesystem::create_directories(directory_ / "other");
    SetDocumentDirectory(directory_);
    SetResourceMessageSink([this](const std::string& message) { messages_.push_back(message); });
  }
  void TearDown() override {
    SetResourceMessageSink(nullptr);
    SetDocumentDirectory({});
  }

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

  test::ScratchDirectory scratch_;
  const std::filesystem::path directory_ = scratch_.path();
  std::vector<std::string> messages_;
};

TEST_F(ResourceLookup, PackedModuleIsFoundByItsFileName) {
  // A stand-in is no module file: lookups reach it only after the
  // document's own copy.
  EXPECT_EQ(FindModuleInstance(u"packed_module.dll"), nullptr);
  const ResourceModule* module = FindPackedModule(u"packed_module.dll");
  ASSERT_NE(module, nullptr);
  EXPECT_EQ(Text(module->Find(kDds, 7)), "seven");
  EXPECT_EQ(Text(module->Find(kResourceTypeRcData, 8)), "eight!");
  EXPECT_EQ(Text(module->Find(PeResourceName(std::u16string_view(u"dds")), 7)), "seven");
  EXPECT_EQ(Text(module->Find(kResourceTypeRcData, 7)), "(none)");
  EXPECT_EQ(Text(module->Find(kDds, 8)), "(none)");
  const auto empty = module->Find(kDds, 9);
  ASSERT_TRUE(empty);
  EXPECT_TRUE(empty->empty());

  EXPECT_EQ(FindPackedModule(u"C:\\Program Files\\Lumivex\\PACKED_MODULE.DLL"), module);
  EXPECT_EQ(FindPackedModule(u"/somewhere/else/Packed_Module.dll"), module);
  EXPECT_EQ(FindPackedModule(u"packed_module"), nullptr);
  EXPECT_EQ(FindPackedModule(u""), nullptr);
  EXPECT_EQ(FindPackedModule(u"C:\\dir\\"), nullptr);
  EXPECT_EQ(FindModuleInstance(u""), nullptr);
  EXPECT_EQ(FindModuleInstance(u"C:\\dir\\"), nullptr);
  EXPECT_EQ(FindModuleInstance(u".."), nullptr);
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

  // Another document's directory with a file of the same name is never read.
  const std::u16string second = Write("other/disk_module.dll", ModuleHolding("second"));
  SetDocumentDirectory(directory_ / "other");
  EXPECT_EQ(FindModuleInstance(second), module);
  EXPECT_EQ(FindModuleInstance(PathOf("missing/DISK_MODULE.DLL")), module);
  EXPECT_EQ(Text(FindModuleInstance(second)->Find(kDds, 62)), "first");
}

TEST_F(ResourceLookup, FailedLoadsAreTriedAgain) {
  const std::u16string path = PathOf("late_module.dll");
  EXPECT_EQ(FindModuleInstance(path), nullptr);
  EXPECT_TRUE(messages_.empty()) << "a missing module is no fault";
  Write("late_module.dll", {'M', 'Z', 0, 0});
  EXPECT_EQ(FindModuleInstance(path), nullptr);
  EXPECT_EQ(FindModuleInstance(path), nullptr);
  ASSERT_EQ(messages_.size(), 1u) << "a broken module is reported once however often it is asked for";
  EXPECT_NE(messages_[0].find("late_module.dll"), std::string::npos) << messages_[0];
  Write("late_module.dll", {});
  EXPECT_EQ(FindModuleInstance(path), nullptr);
  Write("late_module.dll", ModuleHolding("late"));
  const ResourceModule* module = FindModuleInstance(path);
  ASSERT_NE(module, nullptr);
  EXPECT_EQ(Text(module->Find(kDds, 62)), "late");
}

TEST_F(ResourceLookup, ModuleIsNeverReadAtThePathAsWrittenNorInTheWorkingDirectory) {
  const std::u16string written = Write("other/where_written.dll", ModuleHolding("written"));
  EXPECT_EQ(FindModuleInstance(written), nullptr);

  const std::filesystem::path working = std::filesystem::current_path();
  std::filesystem::current_path(directory_ / "other");
  EXPECT_EQ(FindModuleInstance(u"where_written.dll"), nullptr);
  std::filesystem::current_path(working);

  // Beside the document, whatever directory the document named.
  Write("where_written.dll", ModuleHolding("beside"));
  const ResourceModule* module = FindModuleInstance(written);
  ASSERT_NE(module, nullptr);
  EXPECT_EQ(Text(module->Find(kDds, 62)), "beside");
}

// Folders, FIFOs and devices as Linux has them.
#ifndef _WIN32
TEST_F(ResourceLookup, ModulesAreLookedForBesideTheDocumentTheExecutableThenTheUserFolder) {
  const char* saved = std::getenv("XDG_DATA_HOME");
  const std::string savedValue = saved ? saved : "";
  const std::filesystem::path data = directory_ / "data";
  setenv("XDG_DATA_HOME", data.c_str(), 1);

  const std::vector<std::filesystem::path> directories = ModuleDirectories();
  ASSERT_EQ(directories.size(), 3u);
  EXPECT_EQ(directories[0], directory_);
  EXPECT_TRUE(std::filesystem::exists(directories[1] / "lumi_tests_platform")) << directories[1];
  EXPECT_EQ(directories[2], data / "lumisave" / "modules");

  std::filesystem::create_directories(data / "lumisave" / "modules");
  Write("data/lumisave/modules/user_module.dll", ModuleHolding("user"));
  Write("user_module_in_document.dll", ModuleHolding("document"));
  Write("data/lumisave/modules/user_module_in_document.dll", ModuleHolding("user"));
  const ResourceModule* user = FindModuleInstance(u"C:\\Windows\\user_module.dll");
  ASSERT_NE(user, nullptr);
  EXPECT_EQ(Text(user->Find(kDds, 62)), "user");
  const ResourceModule* beside = FindModuleInstance(u"user_module_in_document.dll");
  ASSERT_NE(beside, nullptr);
  EXPECT_EQ(Text(beside->Find(kDds, 62)), "document");

  // A relative data folder is ignored, as the XDG rules say.
  setenv("XDG_DATA_HOME", "relative/data", 1);
  for (const std::filesystem::path& directory : ModuleDirectories()) EXPECT_NE(directory, "relative/data/lumisave/modules");
  if (saved) {
    setenv("XDG_DATA_HOME", savedValue.c_str(), 1);
  } else {
    unsetenv("XDG_DATA_HOME");
  }
}

TEST_F(ResourceLookup, OnlyRegularFilesOfBoundedSizeAreRead) {
  std::string error;
  EXPECT_FALSE(ReadResourceFile("/dev/zero", error));
  EXPECT_NE(error.find("not a regular file"), std::string::npos) << error;
  EXPECT_FALSE(ReadResourceFile(directory_, error));
  EXPECT_FALSE(ReadResourceFile(directory_ / "missing.png", error));
  EXPECT_NE(error.find("no such file"), std::string::npos) << error;

  const std::filesystem::path fifo = directory_ / "fifo.dll";
  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
  EXPECT_FALSE(ReadResourceFile(fifo, error)) << "a FIFO would block the read";

  const std::filesystem::path huge = directory_ / "huge.dll";
  std::ofstream(huge, std::ios::binary).put('M');
  std::filesystem::resize_file(huge, kMaxResourceFileBytes + 1);
  EXPECT_FALSE(ReadResourceFile(huge, error));
  EXPECT_NE(error.find("larger than 64 MiB"), std::string::npos) << error;
  std::filesystem::resize_file(huge, 3);
  const auto small = ReadResourceFile(huge, error);
  ASSERT_TRUE(small);
  EXPECT_EQ(small->size(), 3u);
  const auto empty = ReadResourceFile(Write("empty.bin", {}), error);
  ASSERT_TRUE(empty);
  EXPECT_TRUE(empty->empty());

  // As module files they count as absent, each with one message.
  EXPECT_EQ(FindModuleInstance(u"fifo.dll"), nullptr);
  EXPECT_EQ(FindModuleInstance(u"fifo.dll"), nullptr);
  std::filesystem::resize_file(huge, kMaxResourceFileBytes + 1);
  EXPECT_EQ(FindModuleInstance(u"huge.dll"), nullptr);
  EXPECT_EQ(messages_.size(), 2u);
}

#endif

TEST_F(ResourceLookup, ModuleWithABrokenResourceTreeHasNoResourcesAndSaysSoOnce) {
  test::PeTestWriter writer;
  writer.Add({test::Named(u"DDS"), test::Numbered(62), 0x409, {'o', 'k'}});
  writer.Add({test::Named(u"DDS"), test::Numbered(63), 0x409, {'b', 'a', 'd'}});
  std::vector<std::uint8_t> bytes = writer.Write();
  // The size of resource 63's data runs past its section.
  const std::uint32_t sizeField = writer.Layout().dataEntryOffsets.at(1) + 4;
  for (int i = 0; i < 4; ++i) bytes[sizeField + i] = static_cast<std::uint8_t>(0x10000 >> (8 * i));
  Write("broken_tree.dll", bytes);
  const ResourceModule* module = FindModuleInstance(u"broken_tree.dll");
  ASSERT_NE(module, nullptr);
  EXPECT_EQ(Text(module->Find(kDds, 62)), "ok");
  EXPECT_FALSE(module->Find(kDds, 63));
  EXPECT_FALSE(module->Find(kDds, 63));
  ASSERT_EQ(messages_.size(), 1u);
  EXPECT_NE(messages_[0].find("broken_tree.dll"), std::string::npos) << messages_[0];
}

TEST(ResourceIds, KeyNumbersOutsideSixteenBitsNameNoResource) {
  EXPECT_EQ(ResourceIdOf(90), 90);
  EXPECT_EQ(ResourceIdOf(0), 0);
  EXPECT_EQ(ResourceIdOf(65535), 65535);
  EXPECT_FALSE(ResourceIdOf(65536 + 90));
  EXPECT_FALSE(ResourceIdOf(-1));
  EXPECT_FALSE(ResourceIdOf((std::int64_t{1} << 32) + 90));
}

}  // namespace
}  // namespace lumi
