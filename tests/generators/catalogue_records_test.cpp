// The records of the generator effects: each class's own layout read back
// as written, and a record whose own fields the program cannot read plays
// with what its bases store.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "archive/registry.h"
#include "generators/catalogue.h"
#include "scene/render_obj.h"
#include "tests/support/record_io.h"

namespace lumi {
namespace {

using test::ByteBuilder;

constexpr const char* kCatalogue[] = {
    "DS_Bling",         "DS_CustomAirBrush", "DS_TwinklingStars", "DS_Aurora",         "DS_AnimatedFont",
    "DS_RadialRays",    "DS_Plant",          "DS_StaticAnimation", "DS_FallingStars",  "DS_BrownAnimation",
    "DS_Firework",      "DS_FireworkSimple", "DS_Smoke",          "DS_LightningGN",    "DS_PathAnimtion",
    "VRN_BrownAnimation", "VRN_Firefly",
};

TEST(CatalogueRecords, EveryClassReadsBackFromOurLayout) {
  const std::filesystem::path kFolder = std::filesystem::temp_directory_path() / "lumi_record_tests";
  for (const char* name : kCatalogue) {
    SCOPED_TRACE(name);
    std::unique_ptr<DS_IOF_Item> made = CreateDefault(Family::General, name);
    ASSERT_NE(made, nullptr);
    std::unique_ptr<DS_IOF_Item> read =
        test::ReadAndRewrite<DS_IOF_Item>(ByteBuilder().Bytes(test::WriteRecord(*made)));
    ASSERT_NE(read, nullptr);
    // Read as our layout, not kept as bytes that stand in for it.
    nlohmann::ordered_json json = nlohmann::ordered_json::object();
    JsonWriter(json, nullptr, BlobExtraction{kFolder, kFolder}).Object("object", read.get(), Family::General, test::kAnyClass);
    EXPECT_EQ(json.dump().find("unreadable_settings"), std::string::npos);
  }
}

TEST(CatalogueRecords, UnknownOwnFieldsLeaveTheStoredBasesPlaying) {
  DS_TwinklingStars stars;
  stars.name = u"night sky";
  stars.depth.value = 40;
  stars.star_size.value = 50;
  stars.sprites.push_back(AirBrushSprite{{120, 80, 0}, 5, {}});
  const std::vector<uint8_t> ours = test::WriteRecord(stars);

  // Another program's 11 bytes in place of our one field.
  const std::vector<uint8_t> own = {9, 8, 7, 6, 5, 4, 3, 2, 1, 0, 0xFF};
  const size_t fields = ByteBuilder().Header("DS_TwinklingStars", 1).bytes().size();
  std::vector<uint8_t> theirs(ours.begin(), ours.begin() + static_cast<std::ptrdiff_t>(fields));
  theirs.insert(theirs.end(), own.begin(), own.end());
  theirs.insert(theirs.end(), ours.begin() + static_cast<std::ptrdiff_t>(fields + 4), ours.end());

  std::unique_ptr<DS_TwinklingStars> read = test::ReadAndRewrite<DS_TwinklingStars>(ByteBuilder().Bytes(theirs));
  ASSERT_NE(read, nullptr);
  EXPECT_TRUE(read->unread.kept);
  EXPECT_EQ(read->unread.bytes, own);
  EXPECT_EQ(read->star_size.value, DS_TwinklingStars().star_size.value);
  EXPECT_EQ(read->name, u"night sky");
  EXPECT_EQ(read->depth.value, 40u);
  ASSERT_EQ(read->sprites.size(), 1u);
  EXPECT_EQ(read->sprites[0].position, (Vector3{120, 80, 0}));

  // It plays with its stored sprites and timeline.
  std::unique_ptr<VRN_RenderObj> object = read->CreateRenderObject();
  ASSERT_NE(object, nullptr);
  object->Advance(1.0f);
  EXPECT_FLOAT_EQ(object->data->timing.current().GetLevel(), 1.0f);
}

}  // namespace
}  // namespace lumi
