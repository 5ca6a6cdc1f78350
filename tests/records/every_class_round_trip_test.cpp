// Every registered class writes what it reads: a new object, and one with a
// different number in every value, go to bytes and back, and through JSON,
// to the same bytes.
#include <gtest/gtest.h>

#include <filesystem>

#include "archive/binary_reader.h"
#include "archive/binary_writer.h"
#include "archive/input_error.h"
#include "archive/json_reader.h"
#include "archive/json_writer.h"
#include "archive/registry.h"
#include "tests/support/distinct_values.h"

namespace lumi {
namespace {

std::vector<uint8_t> Bytes(DS_IOF_Item& object, Family family) {
  BinaryWriter writer;
  writer.Object("object", &object, family);
  return writer.Release();
}

// The bytes of `object`, read back and written again, and read back from
// its JSON and written again.
void ExpectSameBytesBothWays(DS_IOF_Item& object, Family family) {
  const std::vector<uint8_t> bytes = Bytes(object, family);
  BinaryReader reader(bytes);
  std::unique_ptr<DS_IOF_Item> read = reader.Object("object", nullptr, family);
  EXPECT_EQ(reader.remaining(), 0u);
  EXPECT_EQ(Bytes(*read, family), bytes) << "binary";

  // Blobs travel through JSON as files.
  const std::filesystem::path blobs = std::filesystem::temp_directory_path() / "lumi-every-class-blobs";
  nlohmann::ordered_json json = nlohmann::ordered_json::object();
  JsonWriter json_writer(json, nullptr, BlobExtraction{blobs, blobs});
  json_writer.Object("object", &object, family);
  JsonReader json_reader(json, blobs);
  std::unique_ptr<DS_IOF_Item> packed;
  json_reader.ReadObjectFields(nullptr, 0, [&] { packed = json_reader.Object("object", nullptr, family); });
  EXPECT_EQ(Bytes(*packed, family), bytes) << "JSON";
  std::filesystem::remove_all(blobs);
}

TEST(EveryClass, NewAndFilledObjectsKeepTheirBytes) {
  for (Family family : {Family::General, Family::Slide, Family::Backdrop, Family::Timeline}) {
    for (const std::string& name : ClassRegistry::Get(family).Names()) {
      SCOPED_TRACE(name);
      try {
        // A new slide has no backdrop yet, and a slide cannot be stored without one.
        if (family != Family::Slide) {
          std::unique_ptr<DS_IOF_Item> fresh = CreateDefault(family, name);
          ExpectSameBytesBothWays(*fresh, family);
        }

        std::unique_ptr<DS_IOF_Item> filled = CreateDefault(family, name);
        test::DistinctValues values;
        values.Record(nullptr, filled->ClassName(), filled->CurrentVersion(), filled.get(),
                      [&] { filled->Describe(values); });
        ExpectSameBytesBothWays(*filled, family);
      } catch (const std::exception& e) {
        ADD_FAILURE() << e.what();
      }
    }
  }
}

}  // namespace
}  // namespace lumi
