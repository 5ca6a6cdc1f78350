// The JSON archives: a round trip through JSON gives the same bytes, and
// malformed JSON fails with the path of the bad value.
#include <gtest/gtest.h>

#include <filesystem>

#include "archive/binary_reader.h"
#include "archive/binary_writer.h"
#include "archive/file_io.h"
#include "archive/input_error.h"
#include "archive/json_reader.h"
#include "archive/json_writer.h"
#include "archive/registry.h"
#include "tests/archive/widget.h"
#include "tests/support/scratch_directory.h"

namespace lumi {
namespace {

using Json = nlohmann::ordered_json;
using test::Widget;

std::unique_ptr<Widget> FullWidget() {
  auto w = std::make_unique<Widget>();
  w->count = -12;
  w->slider = 4000000000u;
  w->ratio = 0.1f;
  w->flag = true;
  w->stamp = 133500000000000123LL;
  w->name = u"Gr\u00FC\u00DFe \U0001F30A";
  w->identity = *ParseGuid(u"{0B18E5F6-C061-474D-A2C7-93A80D502FE8}");
  w->pair[0] = -0.0f;
  w->pair[1] = 1e-30f;
  w->blob = {u"C:\\pics\\lake.jpg", {1, 2, 3, 4, 5}};
  w->resource = {89, u"common_res.dll", {u"", {9, 8, 7}}};
  w->raw = {0, 255, 128};
  w->samples = {0.25f, 1.0f / 3.0f};
  w->point = 2.5f;
  w->point_extra = 55;
  w->children.push_back(std::make_unique<Widget>());
  w->children[0]->name = std::u16string(1, char16_t{0xD800});  // an unpaired surrogate
  w->base_value = 99;
  return w;
}

std::vector<uint8_t> Binary(Widget& w) {
  BinaryWriter writer;
  writer.Object("widget", &w, Family::General);
  return writer.Release();
}

class JsonArchives : public testing::Test {
 protected:
  void SetUp() override { std::filesystem::create_directories(dir_ / "blobs"); }

  Json ToJson(Widget& w, bool extract) {
    Json root = Json::object();
    JsonWriter writer(root, nullptr, extract ? std::optional<BlobExtraction>({dir_ / "blobs", dir_}) : std::nullopt);
    writer.Object("widget", &w, Family::General);
    return root;
  }
  std::unique_ptr<Widget> FromJson(const Json& root) {
    JsonReader reader(root, dir_);
    auto made = reader.Object("widget", nullptr, Family::General);
    return std::unique_ptr<Widget>(dynamic_cast<Widget*>(made.release()));
  }
  std::string ErrorOf(const Json& root) {
    try {
      FromJson(root);
    } catch (const InputError& e) {
      return e.what();
    }
    return "no error";
  }

  test::ScratchDirectory scratch_;
  const std::filesystem::path dir_ = scratch_.path();
};

TEST_F(JsonArchives, RoundTripThroughExtractedJsonIsByteExact) {
  auto original = FullWidget();
  const std::vector<uint8_t> bytes = Binary(*original);
  const Json json = ToJson(*original, true);
  // Text survives a dump and parse, as it does between inspect and pack.
  const Json reparsed = Json::parse(json.dump(2));
  auto rebuilt = FromJson(reparsed);
  ASSERT_NE(rebuilt, nullptr);
  EXPECT_EQ(Binary(*rebuilt), bytes);
}

TEST_F(JsonArchives, InspectionShowsNamesHashesAndDerivedValues) {
  auto w = FullWidget();
  const Json json = ToJson(*w, false)["widget"];
  EXPECT_EQ(json["class"], "TestWidget");
  EXPECT_EQ(json["version"], 2);
  EXPECT_EQ(json["ratio"].get<double>(), 0.1);  // shown as the float's shortest form
  EXPECT_DOUBLE_EQ(json["slider_scaled"].get<double>(), 40000000.0);
  EXPECT_EQ(json["blob"]["bytes"], 5);
  EXPECT_EQ(json["blob"]["sha256"], "74f81fe167d99b4cb41d6d0ccda82278caee9f3e2f25d5e5a3936ff3dcec60d0");
  EXPECT_FALSE(json["blob"].contains("file"));
  EXPECT_EQ(json["resource"]["id"], 89);
  EXPECT_EQ(json["identity"], "{0B18E5F6-C061-474D-A2C7-93A80D502FE8}");
  EXPECT_EQ(json["base"]["class"], "TestWidgetBase");
  EXPECT_EQ(json["base"]["base_value"], 99);
  EXPECT_EQ(json["children"][0]["name"]["utf16"][0], 0xD800);
  EXPECT_EQ(json["point"]["version"], 1);
}

TEST_F(JsonArchives, StoredVersionsAreShownWhileTheLayoutIsCurrent) {
  auto w = FullWidget();
  VersionLog log;
  log.Note(w.get(), "TestWidget", 1);
  Json root = Json::object();
  JsonWriter writer(root, &log, std::nullopt);
  writer.Object("widget", w.get(), Family::General);
  EXPECT_EQ(root["widget"]["version"], 1);
  EXPECT_TRUE(root["widget"].contains("ratio"));  // today's field, not the old percentage
}

TEST_F(JsonArchives, BadValuesNameTheirPath) {
  auto w = FullWidget();
  Json good = ToJson(*w, true);

  Json wrong_type = good;
  wrong_type["widget"]["ratio"] = "fast";
  EXPECT_EQ(ErrorOf(wrong_type), "$.widget.ratio: expected a number, found string");

  Json out_of_range = good;
  out_of_range["widget"]["children"][0]["slider"] = -1;
  EXPECT_EQ(ErrorOf(out_of_range), "$.widget.children[0].slider: expected an unsigned 32-bit integer, found -1");

  Json missing = good;
  missing["widget"].erase("stamp");
  EXPECT_EQ(ErrorOf(missing), "$.widget.stamp: missing");

  Json unknown = good;
  unknown["widget"]["colour"] = 3;
  EXPECT_EQ(ErrorOf(unknown), "$.widget.colour: unknown field");

  Json bad_class = good;
  bad_class["widget"]["children"][0]["class"] = "TestGadget";
  EXPECT_EQ(ErrorOf(bad_class), "$.widget.children[0].class: unknown scene object class TestGadget");

  Json bad_guid = good;
  bad_guid["widget"]["identity"] = "{1234}";
  EXPECT_NE(ErrorOf(bad_guid).find("$.widget.identity: expected a GUID"), std::string::npos);

  Json no_file = good;
  no_file["widget"]["blob"].erase("file");
  EXPECT_NE(ErrorOf(no_file).find("$.widget.blob: blob has no \"file\""), std::string::npos);

  Json missing_file = good;
  missing_file["widget"]["raw"]["file"] = "blobs/absent.bin";
  EXPECT_NE(ErrorOf(missing_file).find("$.widget.raw.file: "), std::string::npos);
  EXPECT_NE(ErrorOf(missing_file).find("absent.bin"), std::string::npos);
}

TEST_F(JsonArchives, NonFiniteFloatsSurvive) {
  auto w = FullWidget();
  w->samples = {std::numeric_limits<float>::infinity(), -std::numeric_limits<float>::infinity()};
  const std::vector<uint8_t> bytes = Binary(*w);
  auto rebuilt = FromJson(Json::parse(ToJson(*w, true).dump()));
  EXPECT_EQ(Binary(*rebuilt), bytes);
}

}  // namespace
}  // namespace lumi
