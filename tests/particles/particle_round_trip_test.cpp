// Every particle-system class, as built, survives writing and reading in
// both forms; and the registry holds all of them in their current versions.
#include <gtest/gtest.h>

#include "archive/registry.h"
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
    const std::vector<uint8_t> bytes = test::WriteObject(*object);

    test::ByteBuilder b;
    b.Bytes(bytes);
    auto read = test::ReadObject<DS_ABObj_Constructor>(b);
    ASSERT_NE(read, nullptr);
    EXPECT_EQ(test::WriteObject(*read), bytes);
    EXPECT_EQ(test::WriteObject(*test::ThroughJson(*object)), bytes);
    EXPECT_EQ(test::WriteObject(*object->Clone()), bytes);
  }
}

}  // namespace
}  // namespace lumi
