// One object record read and written the way documents hold it, for the
// record tests of every folder: through a registry from hand-built bytes,
// back to bytes, and through JSON as inspect and pack carry it.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "archive/binary_reader.h"
#include "archive/binary_writer.h"
#include "archive/input_error.h"
#include "archive/json_reader.h"
#include "archive/json_writer.h"
#include "tests/support/byte_builder.h"

namespace lumi::test {

// Any class the registry makes is taken: the tests check the class themselves.
inline constexpr auto kAnyClass = [](const DS_IOF_Item&) { return true; };

// The object a record makes; every byte must be consumed.
inline std::unique_ptr<DS_IOF_Item> ReadRecord(const std::vector<uint8_t>& bytes, Family family = Family::General) {
  BinaryReader reader(bytes);
  std::unique_ptr<DS_IOF_Item> item = reader.Object("object", nullptr, family, kAnyClass);
  EXPECT_EQ(reader.remaining(), 0u) << "the record is not consumed exactly";
  return item;
}

template <class T>
std::unique_ptr<T> ReadRecordAs(const ByteBuilder& b, Family family = Family::General) {
  std::unique_ptr<DS_IOF_Item> item = ReadRecord(b.bytes(), family);
  T* typed = dynamic_cast<T*>(item.get());
  EXPECT_NE(typed, nullptr) << "made the wrong class";
  if (typed == nullptr) return nullptr;
  item.release();
  return std::unique_ptr<T>(typed);
}

inline std::vector<uint8_t> WriteRecord(DS_IOF_Item& item, Family family = Family::General) {
  BinaryWriter writer;
  writer.Object("object", &item, family, kAnyClass);
  return writer.Release();
}

// Written as inspect shows it, printed and parsed again, and read back as
// pack reads it. Carried files go through files named by their contents,
// so tests can share the folder.
inline std::unique_ptr<DS_IOF_Item> ThroughJson(DS_IOF_Item& item, Family family = Family::General) {
  const std::filesystem::path folder = std::filesystem::temp_directory_path() / "lumi_record_tests";
  nlohmann::ordered_json root = nlohmann::ordered_json::object();
  JsonWriter writer(root, nullptr, BlobExtraction{folder, folder});
  writer.Object("object", &item, family, kAnyClass);
  const nlohmann::ordered_json parsed = nlohmann::ordered_json::parse(root.dump(2));
  JsonReader reader(parsed, folder);
  return reader.Object("object", nullptr, family, kAnyClass);
}

// Reads the record and writes the object back, directly and through JSON:
// the same bytes both ways.
template <class T>
std::unique_ptr<T> ReadAndRewrite(const ByteBuilder& b, Family family = Family::General) {
  std::unique_ptr<T> object = ReadRecordAs<T>(b, family);
  if (object == nullptr) return nullptr;
  EXPECT_EQ(WriteRecord(*object, family), b.bytes()) << "binary rewrite differs";
  std::unique_ptr<DS_IOF_Item> copy = ThroughJson(*object, family);
  EXPECT_NE(copy, nullptr);
  if (copy != nullptr) {
    EXPECT_EQ(WriteRecord(*copy, family), b.bytes()) << "JSON round trip differs";
  }
  return object;
}

inline void ExpectRewritesExactly(const ByteBuilder& b, Family family = Family::General) {
  ReadAndRewrite<DS_IOF_Item>(b, family);
}

// The message of the error a record fails with ("" when it loads).
inline std::string RecordError(const ByteBuilder& b, Family family = Family::General) {
  try {
    BinaryReader reader(b.bytes());
    reader.Object("object", nullptr, family, kAnyClass);
  } catch (const InputError& e) {
    return e.what();
  }
  return "";
}

// The load fails naming the class, the version and the offset.
inline void ExpectRejected(const ByteBuilder& b, std::string_view class_name, int version, size_t offset) {
  const std::string what = RecordError(b);
  EXPECT_NE(what.find(class_name), std::string::npos) << what;
  EXPECT_NE(what.find("version " + std::to_string(version)), std::string::npos) << what;
  EXPECT_NE(what.find("offset " + std::to_string(offset)), std::string::npos) << what;
}

}  // namespace lumi::test
