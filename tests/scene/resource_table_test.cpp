#include "scene/resource_table.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "archive/file_io.h"
#include "archive/utf.h"
#include "platform/resource_lookup.h"
#include "programs/builtin_programs.h"
#include "render/decoded_picture.h"
#include "render/prerender_surface.h"
#include "render/recording_device.h"
#include "scene/doc_res_manager.h"
#include "scene/document.h"
#include "tests/archive_pe/pe_test_writer.h"
#include "tests/support/picture_files.h"
#include "tests/support/scratch_directory.h"

namespace lumi {
namespace {

using test::Bytes;

const PeResourceName kDds{std::u16string_view(u"DDS")};

RgbaImage Solid(uint32_t width, uint32_t height, uint32_t rgba) {
  RgbaImage image{width, height, {}};
  for (uint32_t i = 0; i < width * height; ++i) {
    for (int c = 0; c < 4; ++c) image.pixels.push_back(static_cast<uint8_t>(rgba >> (24 - 8 * c)));
  }
  return image;
}

Bytes Png(uint32_t width, uint32_t height) { return test::Encode(Solid(width, height, 0x336699ff), "png"); }

Bytes Text(const std::string& text) { return {text.begin(), text.end()}; }

// An effect program whose only technique tells where it came from.
Bytes Program(const std::string& technique) {
  return Text("lumi-effect 1\nparam texture Texture0\ntechnique " + technique + "\npass\nstate AlphaBlendEnable false\n");
}

// An uncompressed 32-bit DDS file of one colour.
Bytes DdsFile(uint32_t width, uint32_t height) {
  Bytes file = test::DdsHeader(width, height, 1, 0x41, nullptr, 32, {0xff0000, 0xff00, 0xff, 0xff000000});
  for (uint32_t i = 0; i < width * height; ++i) file.insert(file.end(), {0x10, 0x20, 0x30, 0xff});
  return file;
}

DS_ResBlob FileBlob(const std::u16string& path, Bytes bytes) { return {0, u"", {path, std::move(bytes)}}; }
DS_ResBlob ModuleBlob(const std::u16string& module, int32_t id, Bytes bytes) { return {id, module, {u"", std::move(bytes)}}; }

class ResourceTableTest : public ::testing::Test {
 protected:
  void SetUp() override {
    SetDocumentDirectory(directory_);
    SetResourceMessageSink([this](const std::string& message) { messages_.push_back(message); });
  }
  void TearDown() override {
    SetResourceMessageSink(nullptr);
    SetDocumentDirectory({});
  }

  std::filesystem::path Write(const std::string& name, const Bytes& bytes) {
    const std::filesystem::path path = directory_ / name;
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), bytes.size());
    return path;
  }
  // A resource module file beside the document.
  void WriteModule(const std::string& name, const std::vector<test::PeTestResource>& resources) {
    test::PeTestWriter writer;
    for (const auto& resource : resources) writer.Add(resource);
    Write(name, writer.Write());
  }
  static test::PeTestResource DdsResource(uint16_t id, Bytes bytes) {
    return {test::Named(u"DDS"), test::Numbered(id), 0x409, std::move(bytes)};
  }
  static test::PeTestResource RcDataResource(uint16_t id, Bytes bytes) {
    return {test::Numbered(kResourceTypeRcData), test::Numbered(id), 0x409, std::move(bytes)};
  }
  bool Mentioned(const std::string& text) const {
    for (const std::string& message : messages_) {
      if (message.find(text) != std::string::npos) return true;
    }
    return false;
  }

  RecordingDevice device_{64, 64};
  DS_DocResManager record_;
  test::ScratchDirectory scratch_;
  const std::filesystem::path directory_ = scratch_.path();
  std::vector<std::string> messages_;
};

TEST_F(ResourceTableTest, LoadMakesPicturesAndMasksAndKeepsTheRest) {
  const ResourceKey photo{u"C:\\Pictures\\lake.jpg", 1234};
  const ResourceKey retouched{u"C:\\Pictures\\lake.jpg", 5678};
  const ResourceKey animation{u"C:\\Pictures\\flag.gif", 1};
  const ResourceKey noFrames{u"common_res.dll", 6};
  record_.pictures.push_back({photo, {FileBlob(photo.name, test::Encode(Solid(40, 30, 0xff0000ff), "jpg"))}});
  record_.pictures.push_back({retouched, {FileBlob(retouched.name, Png(8, 2))}});
  record_.pictures.push_back({animation, {FileBlob(u"a", Png(4, 4)), FileBlob(u"b", Png(6, 3))}});
  record_.pictures.push_back({noFrames, {}});
  record_.delays.push_back({animation, {0.1f, 0.25f}});
  record_.delays.push_back({photo, {9.0f}});
  record_.module_files.push_back({{u"common_res.dll", 90}, {ModuleBlob(u"common_res.dll", 90, Program("FromDocument"))}});
  const GUID brush = *ParseGuid(u"{00000001-0002-0003-0405-060708090A0B}");
  record_.masks.push_back({brush, u"", true, {u"", Png(16, 8)}});
  record_.frame_items.push_back({{u"C:\\sprites\\fish.png", 7}, {{0, Png(2, 2), 0.5f}}});

  ResourceTable table(device_, record_);
  const ImageSet& lake = table.GetImageSet(photo);
  ASSERT_EQ(lake.textures.size(), 1u);
  ASSERT_TRUE(lake.textures[0]);
  EXPECT_EQ(lake.width, 40u);
  EXPECT_EQ(lake.height, 30u);
  EXPECT_FLOAT_EQ(lake.aspect, 0.75f);
  EXPECT_TRUE(lake.delays.empty()) << "a one-frame picture takes no delays";
  // Same path, another time stamp: another resource.
  EXPECT_EQ(table.GetImageSet(retouched).width, 8u);

  const ImageSet& flag = table.GetImageSet(animation);
  ASSERT_EQ(flag.textures.size(), 2u);
  EXPECT_EQ(flag.width, 6u) << "the size is the last frame's";
  EXPECT_FLOAT_EQ(flag.aspect, 0.5f);
  EXPECT_EQ(flag.delays, (std::vector<float>{0.1f, 0.25f}));

  // The key with no frames has none from the load; asked for, it names a
  // module resource that no source has: one empty frame, made once.
  const ImageSet& missing = table.GetImageSet(noFrames);
  ASSERT_EQ(missing.textures.size(), 1u);
  EXPECT_FALSE(missing.textures[0]);
  const size_t messagesAfterFirst = messages_.size();
  EXPECT_EQ(&table.GetImageSet(noFrames), &missing);
  EXPECT_EQ(missing.textures.size(), 1u);
  EXPECT_EQ(messages_.size(), messagesAfterFirst);

  const TextureRecord& mask = table.GetMaskTexture(brush);
  ASSERT_TRUE(mask.texture);
  EXPECT_EQ(mask.width, 16u);
  EXPECT_FLOAT_EQ(mask.aspect, 0.5f);
  EXPECT_FALSE(table.GetMaskTexture(GUID{}).texture);

  ASSERT_EQ(table.GetRawBlobs({u"common_res.dll", 90}).size(), 1u);
  EXPECT_EQ(table.GetRawBlobs(photo).size(), 1u);
  EXPECT_TRUE(table.GetRawBlobs({u"never named", 1}).empty());
  EXPECT_EQ(table.LoadImageSet({u"C:\\sprites\\fish.png", 7}, 0).delays, (std::vector<float>{0.5f}));

  const std::vector<DS_ImageFileLink> links = {DS_ImageFileLink(animation), DS_ImageFileLink(photo)};
  const auto sets = table.GetImageSets(links);
  ASSERT_EQ(sets.size(), 2u);
  EXPECT_EQ(sets[0], &flag);
  EXPECT_EQ(sets[1], &lake);
}

TEST_F(ResourceTableTest, DocumentWithEveryKindOfPictureLoads) {
  const std::vector<std::pair<const char*, Bytes>> files = {
      {"photo.jpg", test::Encode(Solid(24, 16, 0x204080ff), "jpg")},
      {"photo.png", Png(24, 16)},
      {"photo.bmp", test::Encode(Solid(24, 16, 0x204080ff), "bmp")},
      {"photo.tga", test::Encode(Solid(24, 16, 0x204080ff), "tga")},
      {"photo.gif", test::Gif({0, 2, 3}, {10, 20, 30})},
      {"photo.dds", DdsFile(24, 16)},
  };
  for (const auto& [name, bytes] : files) {
    const std::u16string path = u"C:\\shots\\" + FromUtf8(name);
    record_.pictures.push_back({{path, 1}, {FileBlob(path, bytes)}});
  }
  // The animated picture's frames as frame items, for LoadImageSet.
  record_.frame_items.push_back({{u"C:\\shots\\photo.gif", 1}, {}});
  const float delays[3] = {0.1f, 0.2f, 0.3f};
  for (uint8_t frame = 0; frame < 3; ++frame) {
    record_.frame_items.back().items.push_back({0, test::Gif({frame}, {10}), delays[frame]});
  }

  ResourceTable table(device_, record_);
  EXPECT_TRUE(messages_.empty()) << messages_.front();
  for (const auto& [name, bytes] : files) {
    const ImageSet& set = table.GetImageSet({u"C:\\shots\\" + FromUtf8(name), 1});
    ASSERT_EQ(set.textures.size(), 1u) << name;
    ASSERT_TRUE(set.textures[0]) << name;
    const bool gif = std::string(name) == "photo.gif";
    EXPECT_EQ(set.width, gif ? 2u : 24u) << name;
    EXPECT_EQ(set.textures[0]->Width(), set.width) << name;
    EXPECT_EQ(set.textures[0]->Desc().pool, Pool::Managed) << name;
  }
  const AnimatedImageSet& frames = table.LoadImageSet({u"C:\\shots\\photo.gif", 1}, kFilterNone);
  ASSERT_EQ(frames.textures.size(), 3u);
  for (const auto& texture : frames.textures) EXPECT_TRUE(texture);
  EXPECT_EQ(frames.delays, (std::vector<float>{0.1f, 0.2f, 0.3f}));
  EXPECT_EQ(frames.imageWidth, 2u);
  EXPECT_FLOAT_EQ(frames.u, 1.0f);
  EXPECT_FLOAT_EQ(frames.aspect, 1.0f);
  // The first frame is red, the third blue (B, G, R, A in memory).
  EXPECT_EQ(frames.textures[0]->LevelData(0)[2], 255);
  EXPECT_EQ(frames.textures[2]->LevelData(0)[0], 255);
}

TEST_F(ResourceTableTest, DemoDocumentPicturesLoadWithoutAnyModule) {
  Document document = LoadDocument(ReadFileBytes(LUMI_SAMPLE_DOCUMENT));
  ResourceTable table(device_, *document.resources);
  EXPECT_TRUE(messages_.empty()) << messages_.front();
  ASSERT_FALSE(document.resources->pictures.empty());
  for (const ResourceFrames& picture : document.resources->pictures) {
    const ImageSet& set = table.GetImageSet(picture.key);
    ASSERT_EQ(set.textures.size(), picture.frames.size()) << ToUtf8(picture.key.name);
    for (const auto& texture : set.textures) EXPECT_TRUE(texture) << ToUtf8(picture.key.name);
  }
}

TEST_F(ResourceTableTest, FactoryTakesTheModuleFileThenTheDocumentCopyThenTheStandIn) {
  // order_a.dll and order_b.dll have packed stand-ins holding "DDS" 62;
  // only order_b.dll also has a module file.
  const auto standIn = FindPackedModule(u"order_a.dll")->Find(kDds, 62);
  ASSERT_TRUE(standIn);
  std::string error;
  const uint32_t standInWidth = DecodePicture(*standIn, error)->width;
  ASSERT_NE(standInWidth, 3u);
  ASSERT_NE(standInWidth, 5u);
  WriteModule("order_b.dll", {DdsResource(62, Png(3, 2)), DdsResource(63, Text("no picture")), DdsResource(64, Png(3, 2))});

  ResourceTable table(device_, record_);
  TextureFactory& factory = table.Factory();
  EXPECT_EQ(factory.Make(ModuleBlob(u"order_b.dll", 62, Png(5, 4))).width, 3u) << "module file first";
  EXPECT_EQ(factory.Make(ModuleBlob(u"order_a.dll", 62, Png(5, 4))).width, 5u) << "then the document's copy";
  EXPECT_EQ(factory.Make(ModuleBlob(u"C:\\old\\order_a.dll", 62, {})).width, 5u) << "cached by module and id";
  TextureFactory fresh(device_);
  EXPECT_EQ(fresh.Make(ModuleBlob(u"order_a.dll", 62, {})).width, standInWidth) << "then the stand-in";
  EXPECT_EQ(fresh.Make(ModuleBlob(u"order_b.dll", 63, Png(5, 4))).width, 5u)
      << "a module picture that does not decode leaves the document's copy";
  EXPECT_TRUE(Mentioned("order_b.dll resource 63"));

  // No source at all: an empty record and one message.
  messages_.clear();
  const TextureRecord none = fresh.Make(ModuleBlob(u"absent.dll", 62, {}));
  EXPECT_FALSE(none.texture);
  EXPECT_EQ(none.width, 0u);
  EXPECT_FLOAT_EQ(none.aspect, 1.0f);
  fresh.Make(ModuleBlob(u"absent.dll", 62, {}));
  EXPECT_EQ(messages_.size(), 1u);

  // The executable's pictures serve blobs without a module name only.
  EXPECT_TRUE(fresh.Make(ModuleBlob(u"", 2, {})).texture);
  EXPECT_EQ(fresh.Make(ModuleBlob(u"", 2, {})).width, 512u);
  EXPECT_FALSE(fresh.Make(ModuleBlob(u"absent.dll", 2, {})).texture);
  // An id beyond 16 bits is no id that wraps round to another.
  EXPECT_FALSE(fresh.Make(ModuleBlob(u"order_b.dll", 65536 + 64, {})).texture);

  // A named blob without bytes is a file: a picture file is read, a device
  // or FIFO never.
  const std::filesystem::path picture = Write("named.png", Png(7, 1));
  EXPECT_EQ(fresh.Make(FileBlob(FromUtf8(picture.string()), {})).width, 7u);
  EXPECT_FALSE(fresh.Make(FileBlob(u"/dev/zero", {})).texture);
  const std::filesystem::path working = std::filesystem::current_path();
  std::filesystem::current_path(directory_);
  EXPECT_FALSE(fresh.Make(FileBlob(u"named.png", {})).texture) << "never from the working directory";
  std::filesystem::current_path(working);
  const std::filesystem::path fifo = directory_ / "pipe.png";
  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
  EXPECT_FALSE(fresh.Make(FileBlob(FromUtf8(fifo.string()), {})).texture);
  EXPECT_TRUE(Mentioned("not a regular file"));
}

TEST_F(ResourceTableTest, EffectsComeFromTheModuleTheDocumentTheStandInThenTheBuiltInPrograms) {
  const Bytes compiled = {0x01, 0x09, 0xFF, 0xFE, 0, 0, 0, 0};
  WriteModule("fx_full.dll", {RcDataResource(90, Program("FromModule")), RcDataResource(91, compiled), RcDataResource(92, Text("garbage"))});
  WriteModule("order_c.dll", {RcDataResource(90, compiled)});
  for (int id : {90, 91, 92}) {
    record_.module_files.push_back({{u"fx_full.dll", id}, {ModuleBlob(u"fx_full.dll", id, Program("FromDocument"))}});
  }
  record_.module_files.push_back({{u"order_c.dll", 90}, {ModuleBlob(u"order_c.dll", 90, Text("broken"))}});
  ResourceTable table(device_, record_);

  const auto fromModule = table.GetEffect({u"fx_full.dll", 90});
  ASSERT_TRUE(fromModule);
  EXPECT_EQ(fromModule->CurrentTechnique(), "FromModule");
  EXPECT_EQ(table.GetEffect({u"fx_full.dll", 90}), fromModule) << "a second request returns the same effect";

  // A compiled Direct3D effect or a text that is no program falls to the
  // document's copy, which the module's bytes never overwrite.
  for (int id : {91, 92}) {
    const auto effect = table.GetEffect({u"fx_full.dll", id});
    ASSERT_TRUE(effect) << id;
    EXPECT_EQ(effect->CurrentTechnique(), "FromDocument") << id;
    EXPECT_EQ(table.GetRawBlobs({u"fx_full.dll", id}).back().blob.bytes, Program("FromDocument")) << id;
  }
  EXPECT_TRUE(Mentioned("compiled Direct3D effect"));

  // Module and document copy unusable: the stand-in.
  const auto standIn = table.GetEffect({u"order_c.dll", 90});
  ASSERT_TRUE(standIn);
  EXPECT_EQ(standIn->CurrentTechnique(), "FromStandIn");
  // No module, copy or stand-in: the built-in program of that number.
  const BuiltinProgram* builtin = FindBuiltinProgram(9001);
  ASSERT_NE(builtin, nullptr);
  const auto fromBuiltin = table.GetEffect({u"nowhere.dll", 9001});
  ASSERT_TRUE(fromBuiltin);
  EXPECT_EQ(fromBuiltin->Name(), "nowhere.dll (9001)");

  // Nothing runs: none, tried again on every request, one message per
  // program however often.
  record_.module_files.push_back({{u"nowhere.dll", 5}, {ModuleBlob(u"nowhere.dll", 5, Text("broken"))}});
  ResourceTable failing(device_, record_);
  messages_.clear();
  EXPECT_FALSE(failing.GetEffect({u"nowhere.dll", 5}));
  const size_t firstTry = messages_.size();
  EXPECT_GE(firstTry, 1u);
  for (int i = 0; i < 5; ++i) EXPECT_FALSE(failing.GetEffect({u"nowhere.dll", 5}));
  EXPECT_EQ(messages_.size(), firstTry);

  // A program the device would not compile is not compiled again on the
  // next request (the device would take it this time).
  record_.module_files.push_back({{u"nowhere.dll", 6}, {ModuleBlob(u"nowhere.dll", 6, Text(
      "lumi-effect 1\ntechnique T\npass\nfragment\nvoid main() { fragColor = vec4(1.0); }\nend\n"))}});
  ResourceTable compiling(device_, record_);
  device_.FailNextProgram("0:1: error: out of registers");
  EXPECT_FALSE(compiling.GetEffect({u"nowhere.dll", 6}));
  EXPECT_TRUE(Mentioned("out of registers"));
  EXPECT_FALSE(compiling.GetEffect({u"nowhere.dll", 6}));
  ResourceTable another(device_, record_);
  EXPECT_TRUE(another.GetEffect({u"nowhere.dll", 6}));
}

TEST_F(ResourceTableTest, AClassFallsBackToItsOwnProgramLast) {
  const ResourceKey empty_link{u"", 0};
  const ResourceKey carried{u"common_res.dll", 4321};
  record_.module_files.push_back({carried, {ModuleBlob(u"common_res.dll", 4321, Program("FromDocument"))}});
  ResourceTable table(device_, record_);
  const BuiltinProgram* bend = FindClassProgram("DS_BendFX");
  const BuiltinProgram* stretch = FindClassProgram("DS_StretchFX");
  ASSERT_NE(bend, nullptr);
  ASSERT_NE(stretch, nullptr);
  EXPECT_EQ(FindBuiltinProgram(-1), nullptr) << "class programs have no number";

  // The document's copy comes before the class's program.
  const auto from_document = table.GetEffect(carried, "DS_BendFX");
  ASSERT_TRUE(from_document);
  EXPECT_EQ(from_document->CurrentTechnique(), "FromDocument");

  // Two classes naming one empty link each get their own program, every
  // time, with no message; a class without a program gets none.
  messages_.clear();
  const auto bend_program = table.GetEffect(empty_link, "DS_BendFX");
  const auto stretch_program = table.GetEffect(empty_link, "DS_StretchFX");
  ASSERT_TRUE(bend_program);
  ASSERT_TRUE(stretch_program);
  EXPECT_NE(bend_program, stretch_program);
  EXPECT_EQ(table.GetEffect(empty_link, "DS_BendFX"), bend_program);
  EXPECT_TRUE(messages_.empty());
  EXPECT_FALSE(table.GetEffect(empty_link, "DS_NoSuchClass"));
  EXPECT_FALSE(table.GetEffect(empty_link));
  const size_t told = messages_.size();
  EXPECT_EQ(told, 1u);
  for (int i = 0; i < 3; ++i) EXPECT_FALSE(table.GetEffect(empty_link, "DS_NoSuchClass"));
  EXPECT_EQ(messages_.size(), told);

  // Device loss reaches the class programs too: they still draw after it.
  table.LoseDeviceObjects();
  table.RestoreDeviceObjects();
  uint32_t passes = 0;
  EXPECT_TRUE(bend_program->Begin(&passes, 0));
  bend_program->End();
}

TEST_F(ResourceTableTest, KeyNumbersBeyondSixteenBitsNameNoModuleResource) {
  WriteModule("wide_ids.dll", {RcDataResource(90, Program("FromModule")), DdsResource(62, Png(3, 2))});
  ResourceTable table(device_, record_);
  EXPECT_TRUE(table.GetEffect({u"wide_ids.dll", 90}));
  EXPECT_FALSE(table.GetEffect({u"wide_ids.dll", 65536 + 90}));
  EXPECT_FALSE(table.GetEffect({u"wide_ids.dll", (int64_t{1} << 32) + 90}));
  const ImageSet& wide = table.GetImageSet({u"wide_ids.dll", 65536 + 62});
  ASSERT_EQ(wide.textures.size(), 1u);
  EXPECT_FALSE(wide.textures[0]);
  EXPECT_TRUE(table.GetImageSet({u"wide_ids.dll", 62}).textures[0]);
  EXPECT_TRUE(table.GetModuleBlob({u"wide_ids.dll", 65536 + 62})->blob.bytes.empty());
}

TEST_F(ResourceTableTest, ImageSetsWithoutFramesHaveNoSizeToDivideBy) {
  ResourceTable table(device_, record_);
  // A .gif link is never read; a module resource that no source has
  // (id 6 is none of the executable's pictures either) gives nothing.
  const std::filesystem::path gif = Write("still.GIF", test::Gif({1}, {0}));
  for (const ResourceKey& link : {ResourceKey{FromUtf8(gif.string()), 3}, ResourceKey{u"gone.dll", 6}}) {
    const AnimatedImageSet& set = table.LoadImageSet(link, kFilterNone);
    EXPECT_TRUE(set.textures.empty());
    EXPECT_FLOAT_EQ(set.u, 1.0f);
    EXPECT_FLOAT_EQ(set.v, 1.0f);
    EXPECT_FLOAT_EQ(set.aspect, 1.0f);
  }
  // A frame that does not decode leaves its slot empty and the sizes at 1.
  record_.frame_items.push_back({{u"C:\\broken.png", 1}, {{0, Text("not a picture"), 0.2f}}});
  ResourceTable broken(device_, record_);
  const AnimatedImageSet& set = broken.LoadImageSet({u"C:\\broken.png", 1}, 0);
  ASSERT_EQ(set.textures.size(), 1u);
  EXPECT_FALSE(set.textures[0]);
  EXPECT_FLOAT_EQ(set.aspect, 1.0f);
  EXPECT_EQ(set.delays, (std::vector<float>{0.2f}));
}

TEST_F(ResourceTableTest, LinkBytesAreReadFromRegularFilesAndModulesOnly) {
  WriteModule("bytes.dll", {DdsResource(7, Png(9, 9))});
  ResourceTable table(device_, record_);
  std::vector<LinkFrame> frames;
  EXPECT_TRUE(table.LoadLinkBytes({u"C:\\mods\\bytes.dll", 7}, frames));
  ASSERT_EQ(frames.size(), 1u);
  EXPECT_EQ(*frames[0].bytes, Png(9, 9));
  EXPECT_EQ(frames[0].name, u"bytes.dll");

  const std::filesystem::path file = Write("sprite.png", Png(4, 2));
  frames.clear();
  table.LoadLinkBytes({FromUtf8(file.string()), 0}, frames);
  ASSERT_EQ(frames.size(), 1u);
  EXPECT_EQ(frames[0].bytes->size(), Png(4, 2).size());
  EXPECT_EQ(table.LoadImageSet({FromUtf8(file.string()), 0}, 0).imageWidth, 4u);

  const std::filesystem::path fifo = directory_ / "pipe.png";
  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
  for (const std::u16string& path : {std::u16string(u"/dev/zero"), FromUtf8(fifo.string()), std::u16string(u"sprite.png")}) {
    frames.clear();
    EXPECT_TRUE(table.LoadLinkBytes({path, 0}, frames));
    EXPECT_TRUE(frames.empty()) << ToUtf8(path);
  }
}

TEST_F(ResourceTableTest, ModuleImageSetRecordsAreReadWithinTheirBytes) {
  Bytes good = {2, 0, 0, 0};
  const float delays[2] = {0.5f, 0.75f};
  good.insert(good.end(), reinterpret_cast<const uint8_t*>(delays), reinterpret_cast<const uint8_t*>(delays) + 8);
  good.insert(good.end(), {2, 0, 0, 0});
  for (uint32_t width : {3u, 6u}) {
    const Bytes png = Png(width, 3);
    good.insert(good.end(), {0, 0, 0, 0, 0xFF, 0xFE, 0xFF, 0});  // id 0, empty module name
    const uint32_t size = static_cast<uint32_t>(png.size());
    good.insert(good.end(), reinterpret_cast<const uint8_t*>(&size), reinterpret_cast<const uint8_t*>(&size) + 4);
    good.insert(good.end(), png.begin(), png.end());
    good.insert(good.end(), {0xFF, 0xFE, 0xFF, 1, 'f', 0});  // name "f"
  }
  Bytes truncated(good.begin(), good.end() - 40);
  Bytes hostileCount = {0xFF, 0xFF, 0xFF, 0x7F};
  WriteModule("sets.dll", {DdsResource(1, good), DdsResource(2, truncated), DdsResource(3, hostileCount)});
  ResourceTable table(device_, record_);

  const ImageSet& set = table.GetModuleImageSet({u"sets.dll", 1});
  ASSERT_EQ(set.textures.size(), 2u);
  EXPECT_EQ(set.delays, (std::vector<float>{0.5f, 0.75f}));
  EXPECT_EQ(set.width, 6u);
  EXPECT_EQ(table.GetRawBlobs({u"sets.dll", 1}).size(), 2u);
  EXPECT_TRUE(table.GetModuleImageSet({u"sets.dll", 2}).textures.empty());
  EXPECT_TRUE(table.GetModuleImageSet({u"sets.dll", 3}).textures.empty());
  EXPECT_TRUE(Mentioned("sets.dll (2)"));
  // With no module the executable's pictures are looked at; they are no
  // records and give nothing.
  EXPECT_TRUE(table.GetModuleImageSet({u"absent_sets.dll", 62}).textures.empty());
  const std::vector<ResourceKey> links = {{u"sets.dll", 1}, {u"sets.dll", 2}};
  const auto sets = table.GetModuleImageSets(links);
  ASSERT_EQ(sets.size(), 2u);
  EXPECT_EQ(sets[0], &set);
}

TEST_F(ResourceTableTest, ModuleBlobsComeFromTheDocumentThenTheModule) {
  WriteModule("blobs.dll", {RcDataResource(4, Text("rcdata")), DdsResource(5, Text("dds"))});
  record_.module_files.push_back({{u"blobs.dll", 4}, {ModuleBlob(u"blobs.dll", 4, Text("document"))}});
  ResourceTable table(device_, record_);
  EXPECT_EQ(table.GetModuleBlob({u"blobs.dll", 4})->blob.bytes, Text("document"));
  EXPECT_EQ(table.GetModuleBlob({u"blobs.dll", 5})->blob.bytes, Text("dds"));
  EXPECT_EQ(table.GetModuleBlob({u"blobs.dll", 6})->blob.bytes, Bytes{});
  EXPECT_EQ(table.GetModuleBlob({u"C:\\plain.wav", 6}), nullptr);
}

TEST_F(ResourceTableTest, AddedBlobsBecomeImageSetsUnderKeysOfTheirOwn) {
  ResourceTable table(device_, record_);
  const ResourceKey first = table.AddImageBlob(FileBlob(u"one.png", Png(2, 4)));
  const ResourceKey second = table.AddImageBlob(FileBlob(u"two.png", Png(4, 2)));
  EXPECT_NE(first, second);
  EXPECT_FLOAT_EQ(table.GetImageSet(first).aspect, 2.0f);
  EXPECT_FLOAT_EQ(table.GetImageSet(second).aspect, 0.5f);

  const std::vector<DS_ResBlob> frames = {FileBlob(u"a.png", Png(2, 2)), FileBlob(u"b.png", Png(8, 2))};
  const ResourceKey animated = table.AddImageFrames(frames, {0.1f, 0.2f});
  const ImageSet& set = table.GetImageSet(animated);
  ASSERT_EQ(set.textures.size(), 2u);
  EXPECT_EQ(set.width, 8u);
  EXPECT_EQ(set.delays, (std::vector<float>{0.1f, 0.2f}));
  EXPECT_EQ(table.GetRawBlobs(animated).size(), 2u);
  EXPECT_EQ(table.AddImageFrames({}, {}), ResourceKey{});
}

// A text .x file: a fan of `triangles` triangles around the origin.
Bytes MeshFile(int triangles) {
  std::string file = "xof 0303txt 0032\nMesh Fan {\n" + std::to_string(triangles + 2) + ";\n0;0;0;";
  for (int i = 0; i <= triangles; ++i) file += ",\n" + std::to_string(i) + ";1;0;";
  file += ";\n" + std::to_string(triangles) + ";\n";
  for (int i = 0; i < triangles; ++i) {
    file += "3;0," + std::to_string(i + 1) + "," + std::to_string(i + 2) + ";" + (i + 1 < triangles ? "," : ";") + "\n";
  }
  file += "}\n";
  return Text(file);
}

TEST_F(ResourceTableTest, MeshesComeFromTheModuleOrTheDocumentIntoManagedBuffers) {
  WriteModule("meshes.dll", {DdsResource(3, MeshFile(4)), DdsResource(4, Text("xof 0303txt 0032\nMesh {"))});
  record_.module_files.push_back({{u"C:\\models\\fan.x", 77}, {FileBlob(u"C:\\models\\fan.x", MeshFile(10))}});
  record_.module_files.push_back({{u"meshes.dll", 3}, {ModuleBlob(u"meshes.dll", 3, MeshFile(2))}});
  ResourceTable table(device_, record_);

  const MeshRecord* fan = table.GetMesh({u"C:\\models\\fan.x", 77});
  ASSERT_NE(fan, nullptr);
  EXPECT_EQ(fan->triangleCount, 10u);
  EXPECT_EQ(fan->vertexCount, 12u);
  EXPECT_EQ(fan->indices->Size(), 60u) << "three 16-bit indices a triangle";
  EXPECT_EQ(fan->vertices->Size(), 12u * 32);
  EXPECT_EQ(fan->vertices->GetPool(), Pool::Managed);
  EXPECT_GT(fan->sphereRadius, 0.0f);
  EXPECT_EQ(table.GetMesh({u"C:\\models\\fan.x", 77}), fan);

  EXPECT_EQ(table.GetMesh({u"meshes.dll", 3})->triangleCount, 4u) << "the module file before the document's copy";
  // A mesh that does not read, or that nobody carries: none, asked again
  // and again with one message each.
  for (int i = 0; i < 3; ++i) {
    EXPECT_EQ(table.GetMesh({u"meshes.dll", 4}), nullptr);
    EXPECT_EQ(table.GetMesh({u"C:\\models\\gone.x", 1}), nullptr);
  }
  EXPECT_EQ(messages_.size(), 2u);
}

TEST_F(ResourceTableTest, AMeshCarriedAsABlobReadsUnderItsOwnKey) {
  ResourceTable table(device_, record_);
  const ResourceKey leaf = table.AddMeshBlob(FileBlob(u"leaf.x", {}));
  const ResourceKey first = table.AddMeshBlob(FileBlob(u"leaf.x", MeshFile(3)));
  const ResourceKey broken = table.AddMeshBlob(FileBlob(u"broken.x", Text("not a mesh")));
  EXPECT_NE(first, leaf) << "blobs without ids never share a key";
  ASSERT_NE(table.GetMesh(first), nullptr);
  EXPECT_EQ(table.GetMesh(first)->triangleCount, 3u);
  EXPECT_EQ(table.GetMesh(broken), nullptr);
  ASSERT_EQ(messages_.size(), 1u);
  EXPECT_NE(messages_[0].find("mesh"), std::string::npos) << messages_[0];
}

class CountingLosable : public VRN_LosableObj {
 public:
  void Lose() override { ++lost; }
  void Restore() override { ++restored; }
  int lost = 0, restored = 0;
};

TEST_F(ResourceTableTest, DeviceLossReleasesEveryTargetSoTheDeviceCanBeReset) {
  const GUID brush = *ParseGuid(u"{00000001-0002-0003-0405-060708090A0B}");
  record_.masks.push_back({brush, u"", true, {u"", Png(16, 8)}});
  record_.module_files.push_back({{u"fx.dll", 9}, {ModuleBlob(u"fx.dll", 9, Program("Draw"))}});
  ResourceTable table(device_, record_);
  EXPECT_EQ(CurrentResourceTable(), nullptr);
  PictureMetrics& fallback = CurrentPictureMetrics();
  SetCurrentResourceTable(&table);
  EXPECT_EQ(&CurrentPictureMetrics(), &table.Metrics());
  EXPECT_NE(&CurrentPictureMetrics(), &fallback);

  CountingLosable losable;
  EXPECT_EQ(table.RegisteredCount(), 1u);
  TargetPair& canvas = table.GetBrushCanvas(brush);
  EXPECT_EQ(&table.GetBrushCanvas(brush), &canvas);
  ASSERT_TRUE(canvas.Current());
  EXPECT_EQ(canvas.Width(), 512u);
  TargetPair& blank = table.GetBrushCanvas(GUID{});
  EXPECT_TRUE(blank.Current()) << "a brush without a mask gets an empty canvas";
  const auto effect = table.GetEffect({u"fx.dll", 9});
  ASSERT_TRUE(effect);
  ASSERT_TRUE(effect->SetTexture("Texture0", canvas.TextureAt(1)));

  device_.LoseDevice();
  EXPECT_FALSE(device_.Reset()) << "the targets are still held";
  table.LoseDeviceObjects();
  EXPECT_EQ(losable.lost, 1);
  EXPECT_FALSE(canvas.Current());
  EXPECT_TRUE(device_.Reset());
  table.RestoreDeviceObjects();
  EXPECT_EQ(losable.restored, 1);
  ASSERT_TRUE(canvas.Current());
  EXPECT_EQ(canvas.Height(), 512u);
  uint32_t passes = 0;
  EXPECT_TRUE(effect->Begin(&passes, 0));
  effect->End();

  SetCurrentResourceTable(nullptr);
  EXPECT_EQ(&CurrentPictureMetrics(), &fallback);
  CountingLosable unregistered;
  EXPECT_EQ(table.RegisteredCount(), 1u);
}

TEST_F(ResourceTableTest, DestroyedTableIsNoLongerCurrent) {
  auto table = std::make_unique<ResourceTable>(device_, record_);
  SetCurrentResourceTable(table.get());
  table.reset();
  EXPECT_EQ(CurrentResourceTable(), nullptr);
  EXPECT_EQ(CurrentLosableRegistry(), nullptr);
}

}  // namespace
}  // namespace lumi
