// Every particle-system class, as built, survives writing and reading in
// both forms; and the registry holds all of them in their current versions.
#include <gtest/gtest.h>

#include <fstream>
#include <set>

#include "archive/registry.h"
#include "scene/slide_container.h"
#include "tests/particles/particle_records.h"

namespace lumi {
namespace {

struct Registered {
  const char* name;
  int version;
};

constexpr Registered kParticleClasses[] = {
    {"DS_BokehLights", 1},    {"DS_LightBeams", 1},      {"DS_PtclFire", 1},        {"DS_PtclFireStream", 1},
    {"DS_PtclFog", 1},        {"DS_PtclSmoke", 1},       {"DS_PtclSmoke2", 1},      {"DS_PtclSmoke3", 1},
    {"DS_RainOnGlass", 1},    {"DS_RayOfLight", 1},      {"DS_StreamPtclSys", 1},   {"DS_WaterJet", 0},
    {"VRN_BurstPtclSys", 4},  {"VRN_FontainPtclSys", 2}, {"VRN_GrovingLine", 2},    {"VRN_ParticlePath", 1},
    {"VRN_ParticleTrace", 1}, {"VRN_ShootingLine", 2},   {"VRN_SlidingLine", 1},    {"VRN_SplashPtclSys", 2},
    {"VRN_SprayPtclSys", 2},  {"VRN_StaticObject", 1},   {"VRN_Tears", 1},          {"VRN_ThroughSpaceCtrl", 3},
    {"VRN_VortexPtclSys", 1}, {"VRN_WavingLine", 1},
};

TEST(ParticleRoundTrip, DefaultObjectsSurviveBytesAndJson) {
  for (const Registered& c : kParticleClasses) {
    SCOPED_TRACE(c.name);
    const ClassRegistry::Entry* entry = ClassRegistry::Get(Family::General).Find(c.name);
    ASSERT_NE(entry, nullptr) << "not registered";
    EXPECT_EQ(entry->version, c.version);
    std::unique_ptr<DS_IOF_Item> item = entry->create();
    auto* object = dynamic_cast<DS_ABObj_Constructor*>(item.get());
    ASSERT_NE(object, nullptr);
    const std::vector<uint8_t> bytes = test::WriteRecord(*object);

    test::ByteBuilder b;
    b.Bytes(bytes);
    auto read = test::ReadRecordAs<DS_ABObj_Constructor>(b);
    ASSERT_NE(read, nullptr);
    EXPECT_EQ(test::WriteRecord(*read), bytes);
    EXPECT_EQ(test::WriteRecord(*test::ThroughJson(*object)), bytes);
    EXPECT_EQ(test::WriteRecord(*object->Clone()), bytes);
  }
}

std::vector<uint8_t> WriteSlide(DS_SlideContainer& slide) {
  BinaryWriter writer;
  Member(writer, "slide", slide);
  return writer.Release();
}

// The sample slide holds one object of every class, and packs, reads back
// and shows again as the same bytes.
TEST(ParticleRoundTrip, TheSampleSlideHoldsEveryClassAndPacksStably) {
  std::ifstream in(std::string(LUMI_SOURCE_DIR) + "/samples/records/particles.json");
  ASSERT_TRUE(in) << "sample slide missing";
  nlohmann::ordered_json root = nlohmann::ordered_json::object();
  root["slide"] = nlohmann::ordered_json::parse(in);
  JsonReader reader(root, LUMI_SOURCE_DIR);
  DS_SlideContainer slide;
  Member(reader, "slide", slide);

  std::set<std::string> classes;
  for (const auto& object : slide.objects) classes.insert(std::string(object->ClassName()));
  EXPECT_EQ(classes.size(), slide.objects.size()) << "a class appears twice";
  for (const Registered& c : kParticleClasses) EXPECT_TRUE(classes.count(c.name)) << c.name;

  const std::vector<uint8_t> packed = WriteSlide(slide);
  BinaryReader binary(packed);
  DS_SlideContainer reread;
  Member(binary, "slide", reread);
  EXPECT_EQ(binary.remaining(), 0u);
  nlohmann::ordered_json shown = nlohmann::ordered_json::object();
  JsonWriter writer(shown, nullptr, std::nullopt);
  Member(writer, "slide", reread);
  const auto shown_text = nlohmann::ordered_json::parse(shown.dump());
  JsonReader again(shown_text, LUMI_SOURCE_DIR);
  DS_SlideContainer repacked;
  Member(again, "slide", repacked);
  EXPECT_EQ(WriteSlide(repacked), packed);
}

}  // namespace
}  // namespace lumi
