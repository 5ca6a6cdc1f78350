// Documents survive inspect and pack unchanged, older documents re-pack in
// today's versions with their values, and damaged documents always fail
// with an error rather than a crash.
#include <gtest/gtest.h>

#include <filesystem>
#include <random>

#include "archive/file_io.h"
#include "archive/input_error.h"
#include "backdrop/light_2d.h"
#include "scene/document.h"
#include "tests/support/byte_builder.h"
#include "tests/support/scratch_directory.h"

namespace lumi {
namespace {

using Json = nlohmann::ordered_json;
using test::ByteBuilder;

// A small document that uses every skeleton record with values set.
Document SmallDocument() {
  Document doc;
  for (int i = 0; i < 2; ++i) {
    auto slide = std::make_shared<DS_SlideContainer>();
    slide->name.value = i == 0 ? u"Slide 0" : u"Dusk";
    slide->stay.value = i;
    slide->showing.value = 7.25f;
    auto backdrop = std::make_shared<DS_2D_Light>();
    backdrop->picture.key = {u"C:\\Pictures\\lake" + std::u16string(1, u'0' + i) + u".jpg", 133500000000000000LL + i};
    backdrop->camera.mode.value = DSM_Camera::kPath;
    backdrop->camera.path.push_back(std::make_shared<DX_CamPathPnt>(Vector3{100, 50, 0}));
    backdrop->camera.path.back()->zoom.value = 130;
    slide->backdrop = backdrop;
    doc.show->slides.push_back(slide);
  }
  auto track = std::make_unique<DS_AudioFile>();
  track->title = u"Theme";
  track->file = {u"theme.mp3", {0x49, 0x44, 0x33, 4, 0}};
  doc.show->tracks.push_back(std::move(track));
  doc.resources->pictures.push_back({{u"C:\\Pictures\\lake0.jpg", 133500000000000000LL}, {{0, u"", {u"C:\\Pictures\\lake0.jpg", {0xFF, 0xD8, 0xFF, 0xE0}}}}});
  doc.resources->pictures.push_back({{u"common_res.dll", 6}, {}});
  doc.resources->delays.push_back({{u"anim.gif", 2}, {0.1f, 0.25f}});
  doc.resources->module_files.push_back({{u"common_res.dll", 90}, {{90, u"common_res.dll", {u"", {1, 9, 0xFE, 0xFF}}}}});
  doc.resources->masks.push_back({*ParseGuid(u"{0B18E5F6-C061-474D-A2C7-93A80D502FE8}"), u"", true, {u"", {0x89, 0x50}}});
  doc.resources->frame_items.push_back({{u"seq.gif", 1}, {{7, {1, 2, 3}, 0.04f}}});
  return doc;
}

class DocumentFiles : public testing::Test {
 protected:
  // What `inspect --extract` then `pack` do.
  std::vector<uint8_t> Repack(std::span<const uint8_t> bytes) {
    Document loaded = LoadDocument(bytes);
    const Json json = DocumentToJson(loaded, BlobExtraction{dir_ / "blobs", dir_});
    Document rebuilt = DocumentFromJson(Json::parse(json.dump(2)), dir_);
    return SaveDocument(rebuilt);
  }
  // The values of a document, without the versions it was stored in.
  static Json Values(std::span<const uint8_t> bytes) {
    Document doc = LoadDocument(bytes);
    Json json = DocumentToJson(doc, std::nullopt);
    std::function<void(Json&)> strip = [&](Json& node) {
      if (node.is_object()) {
        node.erase("version");
        for (auto& [key, value] : node.items()) strip(value);
      } else if (node.is_array()) {
        for (auto& value : node) strip(value);
      }
    };
    strip(json);
    return json;
  }

  test::ScratchDirectory scratch_;
  const std::filesystem::path dir_ = scratch_.path();
};

TEST_F(DocumentFiles, SampleDocumentRepacksByteForByte) {
  const std::vector<uint8_t> sample = ReadFileBytes(LUMI_SAMPLE_DOCUMENT);
  Document doc = LoadDocument(sample);
  EXPECT_EQ(doc.trailing_bytes, 0u);
  ASSERT_EQ(doc.show->slides.size(), 5u);
  EXPECT_EQ(SaveDocument(doc), sample);
  EXPECT_EQ(Repack(sample), sample);
}

TEST_F(DocumentFiles, EverySkeletonRecordRepacksByteForByte) {
  Document doc = SmallDocument();
  const std::vector<uint8_t> bytes = SaveDocument(doc);
  EXPECT_EQ(Repack(bytes), bytes);
  Document loaded = LoadDocument(bytes);
  EXPECT_EQ(loaded.show->tracks[0]->title, u"Theme");
  EXPECT_EQ(dynamic_cast<DS_2D_Light&>(*loaded.show->slides[1]->backdrop).camera.path[0]->zoom.value, 130u);
}

TEST_F(DocumentFiles, OlderVersionsRepackInTodaysVersionsKeepingValues) {
  ByteBuilder b;
  b.Str(u"KSV v 3.1").Header("DS_SlideShow_Light", 1).I32(1);
  b.Header("DS_SlideContainer", 4).U32(2).U32(3).U32(15).I32(0).Str(u"Old slide").U32(12);
  b.Header("DS_2D_Light", 3).Str(u"C:\\old.jpg").I64(99);
  b.Header("DSM_Camera", 2).I32(1).U32(120).U32(50).Str(u"common_res.dll").I64(6);
  b.I32(0).I32(0);  // objects, sounds
  b.I32(0);         // tracks
  b.Header("DS_DocResManager", 2).I32(0).I32(0).I32(0);
  const std::vector<uint8_t> old = b.bytes();

  const std::vector<uint8_t> repacked = Repack(old);
  EXPECT_NE(repacked, old);
  EXPECT_EQ(Values(repacked), Values(old));
  Document doc = LoadDocument(repacked);
  Json json = DocumentToJson(doc, std::nullopt);
  EXPECT_EQ(json["show"]["slides"][0]["version"], 6);
  EXPECT_EQ(json["show"]["slides"][0]["backdrop"]["camera"]["version"], 3);
  EXPECT_EQ(json["resources"]["version"], 4);
  EXPECT_EQ(json["show"]["slides"][0]["fade_out"], 3.0);
  // inspect shows the versions as stored
  Document old_doc = LoadDocument(old);
  EXPECT_EQ(DocumentToJson(old_doc, std::nullopt)["show"]["slides"][0]["version"], 4);
}

TEST_F(DocumentFiles, TruncationAtEveryByteFailsCleanly) {
  Document doc = SmallDocument();
  const std::vector<uint8_t> bytes = SaveDocument(doc);
  for (size_t size = 0; size < bytes.size(); ++size) {
    EXPECT_THROW(LoadDocument(std::span(bytes).subspan(0, size)), InputError) << "size " << size;
  }
  EXPECT_NO_THROW(LoadDocument(bytes));
}

TEST_F(DocumentFiles, GarbledBytesLoadOrFailButNeverCrash) {
  Document doc = SmallDocument();
  const std::vector<uint8_t> bytes = SaveDocument(doc);
  std::mt19937 random(20261209);
  int failures = 0;
  for (int round = 0; round < 3000; ++round) {
    std::vector<uint8_t> garbled = bytes;
    const int flips = 1 + static_cast<int>(random() % 4);
    for (int i = 0; i < flips; ++i) garbled[random() % garbled.size()] = static_cast<uint8_t>(random());
    try {
      LoadDocument(garbled);
    } catch (const InputError&) {
      ++failures;
    }
  }
  EXPECT_GT(failures, 0);
}

}  // namespace
}  // namespace lumi
