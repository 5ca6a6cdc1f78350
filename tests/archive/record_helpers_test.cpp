// The pieces every class record is built from: base subrecords of classes
// that are registered and also bases, lists, one-byte values, records that
// refuse what they read, and objects of the wrong kind.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <stdexcept>

#include "archive/binary_reader.h"
#include "archive/binary_writer.h"
#include "archive/input_error.h"
#include "archive/json_reader.h"
#include "archive/json_writer.h"
#include "archive/registry.h"
#include "tests/archive/widget.h"
#include "tests/support/byte_builder.h"

namespace lumi {
namespace {

using Json = nlohmann::ordered_json;
using test::ByteBuilder;
using testing::HasSubstr;

// Registered, and the base of TestBurst: one description serves both.
class Fountain : public DS_IOF_Item {
  LUMI_STORED_CLASS(TestFountain, 3)

 public:
  void Describe(Archive& ar) override {
    ar.Int("height", height);
    // Version 2 and older kept no spread.
    if (ar.version() >= 3) ar.Float("spread", spread);
  }

  int32_t height = 5;
  float spread = 0.5f;
};

class Burst : public Fountain {
  LUMI_STORED_CLASS(TestBurst, 1)

 public:
  void Describe(Archive& ar) override {
    ar.Byte("forward", forward);
    ar.Bool("flag", flag);
    ar.Int("count", count);
    if (count < 0) ar.Reject("count", "a burst of " + std::to_string(count) + " particles");
    BaseRecordOf<Fountain>(ar, this);
  }

  uint8_t forward = 0;
  bool flag = false;
  int32_t count = 0;
};

// Names one field twice, which no JSON object can show.
class Twice : public DS_IOF_Item {
  LUMI_STORED_CLASS(TestTwice, 1)

 public:
  void Describe(Archive& ar) override {
    ar.Int("value", a);
    ar.Int("value", b);
  }
  int32_t a = 0, b = 0;
};

const RegisterClass<Fountain> kRegisterFountain(Family::General);
const RegisterClass<Burst> kRegisterBurst(Family::General);

Json ToJson(DS_IOF_Item& item) {
  Json root = Json::object();
  JsonWriter writer(root, nullptr, std::nullopt);
  writer.Object("object", &item, Family::General);
  return root;
}

std::unique_ptr<DS_IOF_Item> FromJson(const Json& root) {
  JsonReader reader(root, ".");
  std::unique_ptr<DS_IOF_Item> made;
  reader.ReadObjectFields(nullptr, 0, [&] { made = reader.Object("object", nullptr, Family::General); });
  return made;
}

std::string ErrorOf(const std::function<void()>& action) {
  try {
    action();
  } catch (const InputError& e) {
    return e.what();
  }
  return "no error";
}

TEST(BaseRecords, ARegisteredBaseDescribesItselfOnceForBothUses) {
  ByteBuilder b;
  b.Header("TestBurst", 1).U8(4).U8(1).I32(30).Header("Anything", 3).I32(12).F32(0.25f);
  BinaryReader reader(b.bytes());
  auto made = reader.Object("object", nullptr, Family::General);
  auto* burst = dynamic_cast<Burst*>(made.get());
  ASSERT_NE(burst, nullptr);
  EXPECT_EQ(reader.remaining(), 0u);
  EXPECT_EQ(burst->count, 30);
  EXPECT_EQ(burst->height, 12);
  EXPECT_EQ(burst->spread, 0.25f);

  // The base subrecord is written under the base's own name and version.
  BinaryWriter writer;
  writer.Object("object", burst, Family::General);
  ByteBuilder expected;
  expected.Header("TestBurst", 1).U8(4).U8(1).I32(30).Header("TestFountain", 3).I32(12).F32(0.25f);
  EXPECT_EQ(writer.Release(), expected.bytes());

  // The base reads its fields by the version stored in its own subrecord.
  ByteBuilder old;
  old.Header("TestBurst", 1).U8(0).U8(0).I32(1).Header("TestFountain", 2).I32(8);
  BinaryReader old_reader(old.bytes());
  auto old_made = old_reader.Object("object", nullptr, Family::General);
  EXPECT_EQ(old_reader.remaining(), 0u);
  EXPECT_EQ(dynamic_cast<Burst&>(*old_made).spread, 0.5f);

  const Json json = ToJson(*burst);
  EXPECT_EQ(json["object"]["base"]["class"], "TestFountain");
  EXPECT_EQ(json["object"]["base"]["height"], 12);
}

TEST(OneByteValues, ByteKeepsWhatIsStoredWhereBoolKeepsTruth) {
  ByteBuilder b;
  b.Header("TestBurst", 1).U8(2).U8(2).I32(0).Header("TestFountain", 3).I32(5).F32(0.5f);
  BinaryReader reader(b.bytes());
  auto made = reader.Object("object", nullptr, Family::General);
  auto& burst = dynamic_cast<Burst&>(*made);
  EXPECT_EQ(burst.forward, 2);
  EXPECT_TRUE(burst.flag);

  BinaryWriter writer;
  writer.Object("object", &burst, Family::General);
  const std::vector<uint8_t> bytes = writer.Release();
  const size_t fields = 4 + 2 * 9 + 4;  // after the header
  EXPECT_EQ(bytes[fields], 2);
  EXPECT_EQ(bytes[fields + 1], 1);

  Json json = ToJson(burst);
  EXPECT_EQ(json["object"]["forward"], 2);
  EXPECT_EQ(json["object"]["flag"], true);
  EXPECT_EQ(dynamic_cast<Burst&>(*FromJson(json)).forward, 2);
  json["object"]["forward"] = 256;
  EXPECT_EQ(ErrorOf([&] { FromJson(json); }), "$.object.forward: expected a byte (0 to 255), found 256");
}

TEST(RejectedRecords, NameClassFieldAndOffsetOrPath) {
  ByteBuilder b;
  b.I32(0).Header("TestBurst", 1).U8(0).U8(0).I32(-3).Header("TestFountain", 3).I32(5).F32(0.5f);
  BinaryReader reader(b.bytes());
  int32_t skip = 0;
  reader.Int("skip", skip);
  EXPECT_EQ(ErrorOf([&] { reader.Object("object", nullptr, Family::General); }),
            "TestBurst record field count at offset 36: a burst of -3 particles");

  Burst burst;
  Json json = ToJson(burst);
  json["object"]["count"] = -7;
  EXPECT_EQ(ErrorOf([&] { FromJson(json); }), "$.object.count: a burst of -7 particles");

  burst.count = -1;
  BinaryWriter writer;
  EXPECT_EQ(ErrorOf([&] { writer.Object("object", &burst, Family::General); }),
            "TestBurst record field count: a burst of -1 particles");
}

TEST(JsonRecords, AFieldNamedTwiceInOneRecordIsRefused) {
  Twice twice;
  try {
    ToJson(twice);
    FAIL() << "no error";
  } catch (const std::logic_error& e) {
    EXPECT_STREQ(e.what(), "TestTwice record describes the field value twice");
  }
}

TEST(ObjectRecords, AClassOfTheWrongKindIsAnInputErrorAtItsOffset) {
  // A fountain where only widgets may stand.
  ByteBuilder b;
  b.I32(1).Header("TestFountain", 3).I32(1).F32(0);
  BinaryReader reader(b.bytes());
  std::vector<std::unique_ptr<test::Widget>> widgets;
  EXPECT_EQ(ErrorOf([&] { ObjectList<test::Widget>(reader, "children", widgets, Family::General); }),
            "wrong class TestFountain at offset 4 (a scene object record): not the kind of object stored there");

  Json json = Json::object();
  {
    JsonWriter writer(json, nullptr, std::nullopt);
    std::unique_ptr<DS_IOF_Item> holder(new Fountain);
    ObjectField<DS_IOF_Item>(writer, "child", holder, Family::General);
  }
  JsonReader json_reader(json, ".");
  std::unique_ptr<test::Widget> widget;
  EXPECT_THAT(ErrorOf([&] {
                json_reader.ReadObjectFields(nullptr, 0,
                                             [&] { ObjectField<test::Widget>(json_reader, "child", widget, Family::General); });
              }),
              HasSubstr("$.child.class: class TestFountain is not the kind of object stored here"));
}

TEST(Lists, CountThenElementsAndReadingReplacesTheList) {
  ByteBuilder b;
  b.I32(2).F32(1.5f).F32(-2.0f);
  std::vector<float> list = {9, 9, 9};
  BinaryReader reader(b.bytes());
  ListOf(reader, "list", list, [&](float& v) { reader.Float(nullptr, v); });
  EXPECT_EQ(list, (std::vector<float>{1.5f, -2.0f}));
  EXPECT_EQ(reader.remaining(), 0u);

  BinaryWriter writer;
  ListOf(writer, "list", list, [&](float& v) { writer.Float(nullptr, v); });
  EXPECT_EQ(writer.Release(), b.bytes());

  Json json = Json::object();
  JsonWriter json_writer(json, nullptr, std::nullopt);
  ListOf(json_writer, "list", list, [&](float& v) { json_writer.Float(nullptr, v); });
  EXPECT_EQ(json.dump(), R"({"list":[1.5,-2.0]})");
  std::vector<float> from_json = {7};
  JsonReader json_reader(json, ".");
  ListOf(json_reader, "list", from_json, [&](float& v) { json_reader.Float(nullptr, v); });
  EXPECT_EQ(from_json, list);
}

}  // namespace
}  // namespace lumi
