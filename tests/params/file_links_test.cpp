#include <chrono>
#include <filesystem>
#include <fstream>

#include <gtest/gtest.h>

#include "archive/binary_reader.h"
#include "archive/binary_writer.h"
#include "archive/utf.h"
#include "params/file_link.h"
#include "tests/support/byte_builder.h"

namespace lumi {
namespace {

using test::ByteBuilder;

TEST(LinkKeys, PathModuleAndBlobKeys) {
  const std::filesystem::path file = std::filesystem::temp_directory_path() / "lumi_link_key_test.png";
  std::ofstream(file) << "x";
  const auto when = std::chrono::sys_seconds{std::chrono::seconds{1700000000}};
  std::filesystem::last_write_time(file, std::chrono::file_clock::from_sys(when));
  const std::u16string path = FromUtf8(file.string());
  EXPECT_EQ(DS_FileLink3::PathKey(path), (ResourceKey{path, 1700000000}));
  std::filesystem::remove(file);
  EXPECT_EQ(DS_FileLink3::PathKey(path).number, 0);  // a file that is gone

  EXPECT_EQ(DS_FileLink3::ModuleKey(u"common_res.dll", -2).number, -2);
  EXPECT_EQ(DS_ImageFileLink::DefaultKey(u"common_res.dll"), (ResourceKey{u"common_res.dll", 62}));

  DS_ResBlob from_module{89, u"common_res.dll", {}};
  EXPECT_EQ(DS_FileLink3::BlobKey(from_module), (ResourceKey{u"common_res.dll", 89}));
  const DS_ResBlob anonymous{};
  EXPECT_NE(DS_FileLink3::BlobKey(anonymous), DS_FileLink3::BlobKey(anonymous));
}

TEST(LinkRecords, PathAndNumberWithoutNotification) {
  ByteBuilder b;
  b.Str(u"common_res.dll").I64(89);
  BinaryReader reader(b.bytes());
  DS_ImageFileLink link;
  LinkField(reader, "image", link);
  EXPECT_EQ(link.key, (ResourceKey{u"common_res.dll", 89}));
}

ByteBuilder NamedRecord(uint32_t selector) {
  ByteBuilder b;
  b.Str(u"Leaves").I32(2).Str(u"a.png").I64(1).Str(u"b.png").I64(2).U32(selector);
  if (selector != 0) b.U32(7).U32(8);
  if (selector > 1) b.Str(u"set.gif").I64(3);
  return b;
}

TEST(LinkRecords, NamedLinkSelectorRules) {
  for (uint32_t selector : {0u, 1u, 2u}) {
    SCOPED_TRACE(selector);
    const ByteBuilder b = NamedRecord(selector);
    BinaryReader reader(b.bytes());
    DS_NamedFileLink link;
    NamedLinkField(reader, "link", link);
    EXPECT_EQ(reader.remaining(), 0u);
    EXPECT_EQ(link.value.name, u"Leaves");
    ASSERT_EQ(link.value.images.size(), 2u);
    EXPECT_EQ(link.value.images[1].key, (ResourceKey{u"b.png", 2}));
    EXPECT_EQ(link.value.first_value, selector != 0 ? 7u : 0u);
    EXPECT_EQ(link.value.key, selector > 1 ? (ResourceKey{u"set.gif", 3}) : (ResourceKey{u"a.png", 1}));

    // Written back, it reads the same.
    BinaryWriter writer;
    NamedLinkField(writer, "link", link);
    const std::vector<uint8_t> bytes = writer.Release();
    BinaryReader again(bytes);
    DS_NamedFileLink copy;
    NamedLinkField(again, "link", copy);
    EXPECT_EQ(copy.value, link.value);
  }

  ByteBuilder empty;
  empty.Str(u"none").I32(0).U32(1).U32(0).U32(0);
  BinaryReader reader(empty.bytes());
  DS_NamedFileLink link;
  link.value.key = {u"old", 5};
  NamedLinkField(reader, "link", link);
  EXPECT_EQ(link.value.key, ResourceKey{});
}

TEST(LinkRecords, NamedLinkWritesBackTheSelectorItWasStoredWith) {
  for (uint32_t selector : {0u, 1u, 5u}) {
    SCOPED_TRACE(selector);
    const ByteBuilder b = NamedRecord(selector);
    BinaryReader reader(b.bytes());
    DS_NamedFileLink link;
    NamedLinkField(reader, "link", link);
    BinaryWriter writer;
    NamedLinkField(writer, "link", link);
    EXPECT_EQ(writer.Release(), b.bytes());
  }

  // Values or a key set since reading are not dropped by a small selector.
  DS_NamedFileLink link;
  const ByteBuilder stored = NamedRecord(0);
  BinaryReader reader(stored.bytes());
  NamedLinkField(reader, "link", link);
  link.value.second_value = 4;
  BinaryWriter with_values;
  NamedLinkField(with_values, "link", link);
  const std::vector<uint8_t> values_bytes = with_values.Release();
  BinaryReader values_reader(values_bytes);
  DS_NamedFileLink copy;
  NamedLinkField(values_reader, "link", copy);
  EXPECT_EQ(copy.value.selector, 1u);
  EXPECT_EQ(copy.value.second_value, 4u);

  link.value.key = {u"other.png", 9};
  BinaryWriter with_key;
  NamedLinkField(with_key, "link", link);
  const std::vector<uint8_t> key_bytes = with_key.Release();
  BinaryReader key_reader(key_bytes);
  NamedLinkField(key_reader, "link", copy);
  EXPECT_EQ(copy.value.selector, 2u);
  EXPECT_EQ(copy.value.key, (ResourceKey{u"other.png", 9}));
}

}  // namespace
}  // namespace lumi
