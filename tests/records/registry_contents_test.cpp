// The registries hold exactly the classes documents may name, each with the
// version it writes today.
#include <gtest/gtest.h>

#include <map>
#include <set>
#include <string>

#include "archive/registry.h"

namespace lumi {
namespace {

// Every class of the general registry of the format, with its version.
const std::map<std::string, int> kGeneralClasses = {
    {"DS_3D_in_2D_array_Constructor", 1}, {"DS_AnimatedFont", 1}, {"DS_Aurora", 1},
    {"DS_BackgroundCopy", 1}, {"DS_BendFX", 2}, {"DS_BirdConstructor", 1},
    {"DS_Bling", 2}, {"DS_BokehLights", 1}, {"DS_BrownAnimation", 2},
    {"DS_ButterflyConstructor", 2}, {"DS_ClockConstructor", 1}, {"DS_CloudFX", 1},
    {"DS_CustomAirBrush", 1}, {"DS_DayToNight", 1}, {"DS_DischargeConstructor", 1},
    {"DS_DischargeFXConstructor", 1}, {"DS_ExpandFX", 2}, {"DS_ExplosionConstructor", 3},
    {"DS_FallingStars", 1}, {"DS_FireFX", 3}, {"DS_FireworkSimple", 1},
    {"DS_FishConstructor", 1}, {"DS_FlowConstructor", 4}, {"DS_FlowerConstructor", 1},
    {"DS_FogConstructor", 1}, {"DS_GhostConstructor", 2}, {"DS_GodRayConstructor", 1},
    {"DS_GrassConstructor", 1}, {"DS_HeatDistortion", 1}, {"DS_KestrinLinear", 1},
    {"DS_KestrinRadial", 2}, {"DS_KestrinVortical", 1}, {"DS_LightBeams", 1},
    {"DS_LightFX", 1}, {"DS_LightFX_II", 2}, {"DS_LightingConstructor", 2},
    {"DS_LightningGN", 2}, {"DS_MP3_Constructor", 1}, {"DS_MoveFX", 3},
    {"DS_PathAnimtion", 2}, {"DS_PatternBrush", 1}, {"DS_PatternBrushC", 1},
    {"DS_PerspectiveFX", 3}, {"DS_Plant", 1}, {"DS_PtclFire", 1},
    {"DS_PtclFireStream", 1}, {"DS_PtclFog", 1}, {"DS_PtclSmoke", 1},
    {"DS_PtclSmoke2", 1}, {"DS_PtclSmoke3", 1}, {"DS_RadialRays", 1},
    {"DS_RadialWaveFX", 3}, {"DS_RainConstructor", 1}, {"DS_RainOnGlass", 1},
    {"DS_RayOfLight", 1}, {"DS_RotationFX", 1}, {"DS_ScrollingTex", 1},
    {"DS_ScrollingTextConstructor", 2}, {"DS_Smoke", 1}, {"DS_SparkleConstructor", 1},
    {"DS_StatObjConstructor", 2}, {"DS_StaticAnimation", 1}, {"DS_StaticText", 1},
    {"DS_StaticTextConstructor", 3}, {"DS_StreamPtclSys", 1}, {"DS_StretchFX", 1},
    {"DS_TextLink", 1}, {"DS_TextLinkConstructor", 1}, {"DS_TwinklingStars", 1},
    {"DS_WAV_Constructor", 1}, {"DS_WaterFX", 1}, {"DS_WaterJet", 0},
    {"DS_WaterfallFX", 1}, {"DS_WavesFX", 1}, {"VRN_BrownAnimation", 1},
    {"VRN_BurstPtclSys", 4}, {"VRN_Firefly", 2}, {"VRN_FontainPtclSys", 2},
    {"VRN_GrovingLine", 2}, {"VRN_ParticlePath", 1}, {"VRN_ParticleTrace", 1},
    {"VRN_ShootingLine", 2}, {"VRN_SigleObjectPath", 1}, {"VRN_SlidingLine", 1},
    {"VRN_SplashPtclSys", 2}, {"VRN_SprayPtclSys", 2}, {"VRN_StaticObject", 1},
    {"VRN_Tears", 1}, {"VRN_ThroughSpaceCtrl", 3}, {"VRN_VortexPtclSys", 1},
    {"VRN_WavingLine", 1},
};

// Classes whose records are settled together with their behaviour (the
// generator catalogue); until then a document naming one is read past as an
// object of an unknown class.
const std::set<std::string> kDeferredClasses = {
    "DS_Bling",          "DS_CustomAirBrush", "DS_TwinklingStars", "DS_Aurora",          "DS_AnimatedFont",
    "DS_RadialRays",     "DS_Plant",          "DS_StaticAnimation", "DS_FallingStars",   "DS_BrownAnimation",
    "DS_FireworkSimple", "DS_Smoke",          "DS_LightningGN",    "DS_PathAnimtion",    "VRN_BrownAnimation",
    "VRN_Firefly",
};

const std::map<std::string, int> kBackdropClasses = {
    {"DS_2D_Light", 3},       {"DS_FlameLight", 2}, {"DS_GlassBallLight", 2}, {"DS_MatrixCodeLight", 2},
    {"FakeUndervater", 2},    {"FakeLake2D", 2},    {"DS_WaterRingLight", 2},
};

// What a registry holds that it should not, and what it lacks.
std::string Differences(Family family, const std::map<std::string, int>& expected) {
  const ClassRegistry& registry = ClassRegistry::Get(family);
  std::string out;
  for (const auto& [name, version] : expected) {
    const ClassRegistry::Entry* entry = registry.Find(name);
    if (entry == nullptr) out += "missing " + name + "\n";
    else if (entry->version != version) out += name + " writes version " + std::to_string(entry->version) + "\n";
  }
  for (const std::string& name : registry.Names()) {
    if (!expected.contains(name)) out += "unexpected " + name + "\n";
  }
  return out;
}

TEST(Registries, HoldEveryClassOfTheFormatButTheDeferredOnes) {
  ASSERT_EQ(kGeneralClasses.size(), 91u);
  ASSERT_EQ(kDeferredClasses.size(), 16u);
  std::map<std::string, int> expected;
  for (const auto& [name, version] : kGeneralClasses) {
    if (!kDeferredClasses.contains(name)) expected.emplace(name, version);
  }
  ASSERT_EQ(expected.size(), 75u);
  EXPECT_EQ(Differences(Family::General, expected), "");
  EXPECT_EQ(Differences(Family::Backdrop, kBackdropClasses), "");
  for (const std::string& name : kDeferredClasses) EXPECT_EQ(CreateDefault(Family::General, name), nullptr) << name;
}

TEST(Registries, EveryClassIsMadeUnderItsOwnName) {
  for (Family family : {Family::General, Family::Slide, Family::Backdrop, Family::Timeline}) {
    for (const std::string& name : ClassRegistry::Get(family).Names()) {
      const auto made = CreateDefault(family, name);
      ASSERT_NE(made, nullptr) << name;
      EXPECT_EQ(made->ClassName(), name);
      EXPECT_EQ(made->CurrentVersion(), ClassRegistry::Get(family).Find(name)->version) << name;
    }
  }
}

}  // namespace
}  // namespace lumi
