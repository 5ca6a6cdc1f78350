// The records of the document skeleton in every stored version.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "archive/binary_reader.h"
#include "archive/input_error.h"
#include "backdrop/light_2d.h"
#include "scene/document.h"
#include "tests/support/byte_builder.h"

namespace lumi {
namespace {

using test::ByteBuilder;

// A camera record of version 3 with no path points.
ByteBuilder& Camera(ByteBuilder& b) {
  return b.Header("DSM_Camera", 3).I32(2).U32(512).U32(320).I32(0).U32(150).U32(25).Str(u"common_res.dll").I64(6);
}

ByteBuilder& Backdrop(ByteBuilder& b) {
  b.Header("DS_2D_Light", 3).Str(u"C:\\a\\lake.jpg").I64(1234);
  return Camera(b);
}

std::shared_ptr<DS_SlideContainer> ReadSlide(const ByteBuilder& b) {
  BinaryReader reader(b.bytes());
  std::shared_ptr<DS_SlideContainer> slide;
  ObjectField<DS_SlideContainer>(reader, "slide", slide, Family::Slide);
  EXPECT_EQ(reader.remaining(), 0u);
  return slide;
}

TEST(SlideRecord, CurrentVersion) {
  ByteBuilder b;
  b.Header("DS_SlideContainer", 6).I32(1).F32(1.5f).F32(2.0f).F32(8.0f).I32(3).Str(u"Slide 0");
  Backdrop(b).I32(0).I32(0);
  auto slide = ReadSlide(b);
  ASSERT_NE(slide, nullptr);
  EXPECT_EQ(slide->stay.value, 1);
  EXPECT_EQ(slide->fade_in.value, 1.5f);
  EXPECT_EQ(slide->fade_out.value, 2.0f);
  EXPECT_EQ(slide->showing.value, 8.0f);
  EXPECT_EQ(slide->setting.value, 3);
  EXPECT_EQ(slide->name.value, u"Slide 0");
  auto* backdrop = dynamic_cast<DS_2D_Light*>(slide->backdrop.get());
  ASSERT_NE(backdrop, nullptr);
  EXPECT_EQ(backdrop->picture.key, (ResourceKey{u"C:\\a\\lake.jpg", 1234}));
  EXPECT_EQ(backdrop->camera.mode.value, 2);
  EXPECT_FLOAT_EQ(backdrop->camera.zoom.scaled(), 1.5f);
  EXPECT_FLOAT_EQ(backdrop->camera.speed.scaled(), 0.5f);
}

// The period older slides give their objects' timelines is checked with
// the slide show's tests, which have objects to carry timelines.
TEST(SlideRecord, OlderVersionsConvertTimesAndLayouts) {
  struct Case {
    int version;
    bool has_stay;
    bool whole_seconds;
    bool has_period;
    bool has_sounds;
  };
  for (const Case& c : {Case{1, false, true, false, false}, Case{2, false, true, false, true},
                        Case{3, false, true, true, true}, Case{4, false, true, true, true},
                        Case{5, true, false, true, true}}) {
    SCOPED_TRACE(c.version);
    ByteBuilder b;
    b.Header("DS_SlideContainer", c.version);
    if (c.has_stay) b.I32(1);
    if (c.whole_seconds) b.U32(2).U32(3).U32(15);
    else b.F32(2.0f).F32(3.0f).F32(15.0f);
    b.I32(0).Str(u"old");
    if (c.has_period) b.U32(12);
    Backdrop(b).I32(0);
    if (c.has_sounds) b.I32(0);
    auto slide = ReadSlide(b);
    ASSERT_NE(slide, nullptr);
    EXPECT_EQ(slide->stay.value, c.has_stay ? 1 : 0);
    EXPECT_EQ(slide->fade_in.value, 2.0f);
    EXPECT_EQ(slide->fade_out.value, 3.0f);
    EXPECT_EQ(slide->showing.value, 15.0f);
  }
}

TEST(BackdropRecord, OlderVersionsCarryFewerFields) {
  {
    ByteBuilder b;
    b.Header("DS_2D_Light", 1);
    BinaryReader reader(b.bytes());
    std::shared_ptr<DS_ABRender> backdrop;
    ObjectField<DS_ABRender>(reader, "backdrop", backdrop, Family::Backdrop);
    auto* light = dynamic_cast<DS_2D_Light*>(backdrop.get());
    ASSERT_NE(light, nullptr);
    EXPECT_EQ(light->picture.key, (ResourceKey{u"common_res.dll", 6}));
    EXPECT_EQ(reader.remaining(), 0u);
  }
  {
    ByteBuilder b;
    b.Header("DS_2D_Light", 2).Str(u"x.jpg").I64(5);
    BinaryReader reader(b.bytes());
    std::shared_ptr<DS_ABRender> backdrop;
    ObjectField<DS_ABRender>(reader, "backdrop", backdrop, Family::Backdrop);
    EXPECT_EQ(dynamic_cast<DS_2D_Light*>(backdrop.get())->picture.key.name, u"x.jpg");
    EXPECT_EQ(reader.remaining(), 0u);
  }
}

TEST(CameraRecord, VersionsAndPathPoints) {
  {  // version 1: a wander switch, the two sliders, no link
    ByteBuilder b;
    b.Header("DSM_Camera", 1).I32(7).U32(110).U32(40);
    BinaryReader reader(b.bytes());
    DSM_Camera camera;
    Member(reader, "camera", camera);
    EXPECT_EQ(camera.mode.value, DSM_Camera::kRandom);
    EXPECT_FLOAT_EQ(camera.zoom.scaled(), 1.1f);
    EXPECT_EQ(camera.image.key, (ResourceKey{u"common_res.dll", 6}));
    EXPECT_EQ(reader.remaining(), 0u);
  }
  {  // version 3 with points of both point versions
    ByteBuilder b;
    b.Header("DSM_Camera", 3).I32(2).U32(100).U32(80).I32(2);
    b.I32(0).F32(10).F32(20).F32(0).F32(4.0f);            // point version 0: no zoom
    b.I32(1).F32(30).F32(40).F32(1).F32(6.0f).U32(150);  // point version 1
    b.U32(120).U32(50).Str(u"common_res.dll").I64(6);
    BinaryReader reader(b.bytes());
    DSM_Camera camera;
    Member(reader, "camera", camera);
    ASSERT_EQ(camera.path.size(), 2u);
    EXPECT_EQ(camera.path[0]->value, (Vector3{10, 20, 0}));
    EXPECT_EQ(camera.path[0]->duration.value, 4.0f);
    EXPECT_EQ(camera.path[0]->zoom.value, 100u);
    EXPECT_EQ(camera.path[1]->zoom.value, 150u);
    EXPECT_EQ(reader.remaining(), 0u);
  }
}

TEST(CameraRecord, ATruncatedLinkNamesTheFieldAsInspectShowsIt) {
  ByteBuilder b;
  Camera(b);
  BinaryReader reader(std::span(b.bytes()).subspan(0, b.size() - 10));
  DSM_Camera camera;
  try {
    Member(reader, "camera", camera);
    FAIL() << "no error";
  } catch (const InputError& e) {
    EXPECT_EQ(std::string(e.what()).rfind("DSM_Camera record field image.path at offset ", 0), 0u) << e.what();
  }
}

TEST(ResourceTableRecord, SectionsPresentByVersion) {
  for (int version = 1; version <= 4; ++version) {
    SCOPED_TRACE(version);
    ByteBuilder b;
    b.Header("DS_DocResManager", version);
    b.I32(1).Str(u"C:\\a\\lake.jpg").I64(77).I32(1).I32(0).Str(u"").U32(2).U8(0xFF).U8(0xD8).Str(u"C:\\a\\lake.jpg");
    b.I32(1).Str(u"anim.gif").I64(3).I32(2).F32(0.1f).F32(0.2f);
    if (version >= 2) b.I32(1).Str(u"common_res.dll").I64(90).I32(1).I32(90).Str(u"common_res.dll").U32(0).Str(u"");
    if (version >= 3) b.I32(1).Str(u"{0B18E5F6-C061-474D-A2C7-93A80D502FE8}").Str(u"").U8(1).U32(1).U8(0x89).Str(u"");
    if (version >= 4) b.I32(1).Str(u"seq").I64(0).I32(1).I32(5).I32(3).U8(1).U8(2).U8(3).F32(0.5f);
    BinaryReader reader(b.bytes());
    DS_DocResManager table;
    Member(reader, "resources", table);
    EXPECT_EQ(reader.remaining(), 0u);
    ASSERT_EQ(table.pictures.size(), 1u);
    EXPECT_EQ(table.pictures[0].frames[0].blob.bytes, (std::vector<uint8_t>{0xFF, 0xD8}));
    EXPECT_EQ(table.delays[0].delays, (std::vector<float>{0.1f, 0.2f}));
    EXPECT_EQ(table.module_files.size(), version >= 2 ? 1u : 0u);
    EXPECT_EQ(table.masks.size(), version >= 3 ? 1u : 0u);
    ASSERT_EQ(table.frame_items.size(), version >= 4 ? 1u : 0u);
    if (version >= 4) {
      EXPECT_EQ(table.frame_items[0].items[0].bytes, (std::vector<uint8_t>{1, 2, 3}));
    }
  }
}

TEST(DocumentRecord, AnyRootNameAndSignatureLoadAndTrailingBytesAreCounted) {
  ByteBuilder b;
  b.Str(u"K").Header("Whatever", 9).I32(0).I32(0).Header("Tables", 4).I32(0).I32(0).I32(0).I32(0).I32(0);
  const size_t clean = b.size();
  b.U8(1).U8(2).U8(3);
  Document document = LoadDocument(std::span(b.bytes()).subspan(0, clean));
  EXPECT_EQ(document.signature, u"K");
  EXPECT_EQ(document.trailing_bytes, 0u);
  EXPECT_EQ(LoadDocument(b.bytes()).trailing_bytes, 3u);

  // An empty document at the head of a large file is some other file; a
  // file that is no document is refused before any record is read.
  std::vector<uint8_t> padded(b.bytes().begin(), b.bytes().begin() + static_cast<std::ptrdiff_t>(clean));
  padded.resize(clean + 70000);
  EXPECT_THAT([&] { LoadDocument(padded); },
              ::testing::ThrowsMessage<InputError>(::testing::HasSubstr("followed by 70000 bytes that belong to no record")));
  EXPECT_THAT([] { LoadDocument(std::vector<uint8_t>(100000, 0)); },
              ::testing::ThrowsMessage<InputError>(::testing::HasSubstr("offset 0: not a lumisave document")));
}

TEST(DocumentRecord, UnknownBackdropClassStopsTheLoad) {
  ByteBuilder b;
  b.Str(u"KSV v 4.0.0").Header("DS_SlideShow_Light", 1).I32(1);
  b.Header("DS_SlideContainer", 6).I32(0).F32(1).F32(1).F32(10).I32(0).Str(u"Slide 0");
  const size_t offset = b.size();
  b.Header("DS_2D_Lamp", 3);
  try {
    LoadDocument(b.bytes());
    FAIL() << "no error";
  } catch (const InputError& e) {
    EXPECT_EQ(std::string(e.what()).rfind("unknown class DS_2D_Lamp at offset " + std::to_string(offset), 0), 0u)
        << e.what();
  }
}

}  // namespace
}  // namespace lumi
