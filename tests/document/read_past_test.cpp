// Documents with records this program cannot read: objects of unknown
// classes and own settings in an unknown order are read past, kept and
// written back; wrong places are refused by reading on; hostile documents
// fail within bounds; a failed load frees what it had read.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "archive/binary_writer.h"
#include "archive/input_error.h"
#include "archive/registry.h"
#include "backdrop/light_2d.h"
#include "backdrop/unknown_backdrop.h"
#include "particles/path_systems.h"
#include "scene/document.h"
#include "scene/notices.h"
#include "scene/unknown_object.h"
#include "tests/support/byte_builder.h"
#include "tests/support/scratch_directory.h"

namespace lumi {
namespace {

using test::ByteBuilder;
using testing::HasSubstr;
using Bytes = std::vector<uint8_t>;

std::unique_ptr<DS_ABObj_Constructor> Made(std::string_view class_name, std::u16string name) {
  std::unique_ptr<DS_IOF_Item> made = CreateDefault(Family::General, class_name);
  auto* object = dynamic_cast<DS_ABObj_Constructor*>(made.get());
  if (object == nullptr) return nullptr;
  made.release();
  object->name = std::move(name);
  return std::unique_ptr<DS_ABObj_Constructor>(object);
}

std::shared_ptr<DS_ABRender> MadeBackdrop(std::string_view class_name) {
  std::unique_ptr<DS_IOF_Item> made = CreateDefault(Family::Backdrop, class_name);
  return std::shared_ptr<DS_ABRender>(dynamic_cast<DS_ABRender*>(made.release()));
}

std::unique_ptr<DS_ABObj_Constructor> Unknown(std::string name, Bytes bytes) {
  auto unknown = std::make_unique<UnknownSceneObject>();
  unknown->class_name = std::move(name);
  unknown->version = 3;
  unknown->bytes = std::move(bytes);
  return unknown;
}

// Two slides: "first" with a water effect, a particle path and a trace,
// "last" with a flame backdrop and a fountain.
Document TwoSlides() {
  Document doc;
  for (const char16_t* name : {u"first", u"last"}) {
    auto slide = std::make_shared<DS_SlideContainer>();
    slide->name.value = name;
    slide->backdrop = std::make_shared<DS_2D_Light>();
    doc.show->slides.push_back(slide);
  }
  auto& first = doc.show->slides[0]->objects;
  first.push_back(Made("DS_WaterFX", u"water"));
  first.push_back(Made("VRN_ParticlePath", u"path"));
  first.push_back(Made("VRN_ParticleTrace", u"trace"));
  doc.show->slides[1]->backdrop = MadeBackdrop("DS_FlameLight");
  doc.show->slides[1]->objects.push_back(Made("VRN_FontainPtclSys", u"fountain"));
  return doc;
}

size_t Find(const Bytes& bytes, const Bytes& pattern) {
  const auto at = std::search(bytes.begin(), bytes.end(), pattern.begin(), pattern.end());
  return at == bytes.end() ? std::string::npos : static_cast<size_t>(at - bytes.begin());
}

Bytes Name(std::string_view name) { return ByteBuilder().Str(name).bytes(); }

// The record of `object` without its class name and version.
Bytes FieldsOf(DS_IOF_Item& object, Family family) {
  BinaryWriter writer;
  writer.Object(nullptr, &object, family);
  Bytes bytes = writer.Release();
  bytes.erase(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(Name(object.ClassName()).size() + 4));
  return bytes;
}

// What inspect --extract then pack make of `bytes`.
Bytes ThroughJson(Document& loaded) {
  test::ScratchDirectory dir;
  const nlohmann::ordered_json json = DocumentToJson(loaded, BlobExtraction{dir.path() / "blobs", dir.path()});
  Document packed = DocumentFromJson(nlohmann::ordered_json::parse(json.dump()), dir.path());
  return SaveDocument(packed);
}

bool Noted(const std::string& text) {
  return std::find(Notices().begin(), Notices().end(), text) != Notices().end();
}

TEST(ReadPast, UnknownClassesKeepTheirPlaceAndBytes) {
  struct Case {
    const char* known;
    const char* unknown;  // of the same length, so the rest stays in place
  };
  for (const Case c : {Case{"VRN_ParticlePath", "VRN_ParticlePatX"},     // between two objects
                       Case{"VRN_ParticleTrace", "VRN_ParticleTracX"},   // last of a slide
                       Case{"DS_FlameLight", "DS_FlameLighX"}}) {        // the last slide's backdrop
    SCOPED_TRACE(c.unknown);
    Document original = TwoSlides();
    Bytes bytes = SaveDocument(original);
    const size_t at = Find(bytes, Name(c.known));
    ASSERT_NE(at, std::string::npos);
    const Bytes renamed = Name(c.unknown);
    std::copy(renamed.begin(), renamed.end(), bytes.begin() + static_cast<std::ptrdiff_t>(at));

    Document loaded = LoadDocument(bytes);
    EXPECT_EQ(SaveDocument(loaded), bytes);
    EXPECT_EQ(ThroughJson(loaded), bytes);
    const auto& first = loaded.show->slides.at(0)->objects;
    ASSERT_EQ(first.size(), 3u);
    EXPECT_EQ(first[0]->name, u"water");
    EXPECT_EQ(loaded.show->slides.at(1)->name.value, u"last");
    ASSERT_EQ(loaded.show->slides[1]->objects.size(), 1u);
    EXPECT_EQ(loaded.show->slides[1]->objects[0]->name, u"fountain");

    const UnknownRecord* unknown = nullptr;
    Bytes expected;
    if (std::string_view(c.known) == "DS_FlameLight") {
      unknown = dynamic_cast<const UnknownBackdrop*>(loaded.show->slides[1]->backdrop.get());
      expected = FieldsOf(*dynamic_cast<DS_IOF_Item*>(original.show->slides[1]->backdrop.get()), Family::Backdrop);
    } else {
      const size_t index = std::string_view(c.known) == "VRN_ParticlePath" ? 1 : 2;
      unknown = dynamic_cast<const UnknownSceneObject*>(first[index].get());
      EXPECT_EQ(first[3 - index]->name, index == 1 ? u"trace" : u"path");
      expected = FieldsOf(*original.show->slides[0]->objects[index], Family::General);
    }
    ASSERT_NE(unknown, nullptr);
    EXPECT_EQ(unknown->class_name, c.unknown);
    EXPECT_EQ(unknown->bytes, expected);
    EXPECT_TRUE(Noted(std::string(c.unknown) + ": layout not known, " + std::to_string(expected.size()) +
                      " bytes skipped"));
  }
}

TEST(ReadPast, UnsettledOwnFieldsGiveWayToTheBasesAsStored) {
  Document doc = TwoSlides();
  auto walker = std::make_unique<VRN_SigleObjectPath>();
  walker->name = u"walker";
  walker->size.value = 55;
  walker->timing.value = VRN_SmartTiming::kManual;
  walker->timing.Notify(nullptr);
  doc.show->slides[0]->objects.insert(doc.show->slides[0]->objects.begin() + 1, std::move(walker));
  const Bytes ours = SaveDocument(doc);
  {
    Document loaded = LoadDocument(ours);
    const auto* read = dynamic_cast<const VRN_SigleObjectPath*>(loaded.show->slides[0]->objects.at(1).get());
    ASSERT_NE(read, nullptr);
    EXPECT_EQ(read->size.value, 55u);
    EXPECT_FALSE(read->unread.kept);
  }

  // The authoring tool's own 37 bytes in place of our three fields.
  Bytes theirs = ours;
  const size_t fields = Find(theirs, Name("VRN_SigleObjectPath")) + Name("VRN_SigleObjectPath").size() + 4;
  Bytes own;
  for (int i = 0; i < 37; ++i) own.push_back(static_cast<uint8_t>(i * 29 + 5));
  theirs.erase(theirs.begin() + static_cast<std::ptrdiff_t>(fields), theirs.begin() + static_cast<std::ptrdiff_t>(fields + 12));
  theirs.insert(theirs.begin() + static_cast<std::ptrdiff_t>(fields), own.begin(), own.end());

  Document loaded = LoadDocument(theirs);
  const auto& objects = loaded.show->slides[0]->objects;
  ASSERT_EQ(objects.size(), 4u);
  const auto* read = dynamic_cast<const VRN_SigleObjectPath*>(objects[1].get());
  ASSERT_NE(read, nullptr);
  EXPECT_EQ(read->name, u"walker");
  EXPECT_EQ(read->timing.value, VRN_SmartTiming::kManual);
  EXPECT_EQ(read->size.value, VRN_SigleObjectPath().size.value);
  EXPECT_TRUE(read->unread.kept);
  EXPECT_EQ(read->unread.bytes, own);
  EXPECT_EQ(objects[2]->name, u"path");
  EXPECT_TRUE(Noted("VRN_SigleObjectPath: own settings not readable, defaults used"));
  EXPECT_EQ(SaveDocument(loaded), theirs);
  EXPECT_EQ(ThroughJson(loaded), theirs);
}

// Places that fit the first read but lead nowhere: a known class's name
// inside the skipped bytes, and zeros that read as empty lists.
TEST(ReadPast, LookalikePlacesAreRefusedByReadingOn) {
  const Bytes named = ByteBuilder().I32(7).Header("VRN_ParticlePath", 1).I32(-5).F32(2.5f).bytes();
  const Bytes zeros = ByteBuilder().I32(0).I32(0).I32(0).I32(0).U32(0x7F7F7F7F).U8(9).bytes();
  for (const bool last : {false, true}) {
    SCOPED_TRACE(last);
    Document doc = TwoSlides();
    auto& objects = doc.show->slides[last ? 1 : 0]->objects;
    objects.insert(last ? objects.end() : objects.begin() + 1, Unknown("DS_Sparkle2", last ? zeros : named));
    const Bytes bytes = SaveDocument(doc);
    Document loaded = LoadDocument(bytes);
    const auto& read = loaded.show->slides[last ? 1 : 0]->objects;
    ASSERT_EQ(read.size(), objects.size());
    const auto* unknown = dynamic_cast<const UnknownSceneObject*>(read[last ? read.size() - 1 : 1].get());
    ASSERT_NE(unknown, nullptr);
    EXPECT_EQ(unknown->bytes, last ? zeros : named);
    EXPECT_EQ(SaveDocument(loaded), bytes);
  }
}

// After an unknown record the resource table's name is garbled: no place
// leads to a whole document, and the error says where reading stopped.
TEST(ReadPast, NoWayOnFailsNamingTheClassAndEveryCutFails) {
  Document doc = TwoSlides();
  doc.show->slides[1]->objects.push_back(Unknown("DS_Sparkle2", {1, 2, 3, 0, 0, 0, 0}));
  Bytes bytes = SaveDocument(doc);
  const size_t unknown_at = Find(bytes, Name("DS_Sparkle2"));
  for (size_t length = 0; length < bytes.size(); ++length) {
    EXPECT_THROW(LoadDocument(std::span(bytes).first(length)), InputError) << length;
  }
  const size_t table = Find(bytes, Name("DS_DocResManager"));
  bytes[table + 6] ^= 0x20;
  try {
    LoadDocument(bytes);
    ADD_FAILURE() << "loaded";
  } catch (const InputError& e) {
    EXPECT_THAT(e.what(), HasSubstr("unknown class DS_Sparkle2 at offset " + std::to_string(unknown_at)));
  }
}

// A long run of places that each fit and each lead nowhere: the load fails
// at the bound on places per record, and where every try reads a large
// record again, at the bound on the work of one load.
TEST(ReadPast, HostileDocumentsFailWithinTheBounds) {
  for (const bool large_prefix : {false, true}) {
    SCOPED_TRACE(large_prefix);
    Document doc = TwoSlides();
    auto backdrop = std::make_shared<DS_2D_Light>();
    if (large_prefix) backdrop->picture.key.name.assign(size_t{1} << 20, u'x');
    doc.show->slides[0]->backdrop = backdrop;
    Bytes zeros(5000 * 4, 0);
    zeros.push_back(0xEE);
    doc.show->slides[0]->objects.push_back(Unknown("DS_Sparkle2", zeros));
    const Bytes bytes = SaveDocument(doc);
    // No place leads on: the resource table's name is garbled.
    Bytes hostile = bytes;
    hostile[Find(hostile, Name("DS_DocResManager")) + 6] ^= 0x20;
    try {
      LoadDocument(hostile);
      ADD_FAILURE() << "loaded";
    } catch (const InputError& e) {
      EXPECT_THAT(e.what(), HasSubstr("DS_Sparkle2"));
      EXPECT_THAT(e.what(), HasSubstr(large_prefix ? "gave up" : "(4096 tried)"));
    }
  }
}

// The leak the document fuzzer found: objects with an old timeline record,
// then a garbled class name. The load fails and, under the leak checker,
// leaves nothing behind.
TEST(ReadPast, AFailedLoadFreesWhatItRead) {
  DS_2D_Light backdrop;
  BinaryWriter writer;
  writer.Object(nullptr, &backdrop, Family::Backdrop);
  ByteBuilder b;
  b.Str(u"KSV v 4.0.0").Header("DS_SlideShow_Light", 1).I32(1);
  b.Header("DS_SlideContainer", 6).I32(0).F32(1).F32(1).F32(10).I32(0).Str(u"old").Bytes(writer.Release()).I32(12);
  for (int i = 0; i < 12; ++i) {
    // A copy effect whose constructor record is version 3, with a manual timeline control.
    std::unique_ptr<DS_ABObj_Constructor> copy = Made("DS_BackgroundCopy", u"copy");
    Bytes record = FieldsOf(*copy, Family::General);
    record.resize(Find(record, Name("DS_ABObj_Constructor")));
    b.Header("DS_BackgroundCopy", 1).Bytes(record).Header("DS_ABObj_Constructor", 3).Str(u"copy").U32(100);
    b.Header("DS_TimeLineControl", 2).I32(2).I32(0).U32(1).U32(2).U32(3).U32(4).U32(50).U32(50);
    b.I32(2).F32(0).F32(1).F32(0.5f).F32(0.5f).F32(2).F32(3).F32(2.5f).F32(2.5f).U32(1000);
  }
  b.I32(1).Header("DS_W\x01terFX", 1).I32(0);
  EXPECT_THROW(LoadDocument(b.bytes()), InputError);
  for (size_t length = 0; length < b.size(); ++length) {
    EXPECT_THROW(LoadDocument(std::span(b.bytes()).first(length)), InputError);
  }
}

}  // namespace
}  // namespace lumi
