// The particle-system record and the look block it carries, in every
// stored version the player knows.
#include <gtest/gtest.h>

#include "tests/particles/particle_records.h"

namespace lumi {
namespace {

using test::ByteBuilder;

// The system record read on its own.
class PlainSystem : public VRN_ParticleSystemCtrl {
  LUMI_CONSTRUCTOR_CLONE(PlainSystem)
};

// A record of `version` holding only a look.
ByteBuilder LookRecord(int look_version) {
  ByteBuilder b;
  b.Header("VRN_ParticleSystemCtrl", 5);
  test::LookBytes(b, look_version).U32(100);
  test::ConstructorBytes(b);
  return b;
}

void ReadSystem(const ByteBuilder& b, PlainSystem& system) {
  BinaryReader reader(b.bytes());
  Member(reader, "system", system);
  EXPECT_EQ(reader.remaining(), 0u) << "record not consumed exactly";
}

std::string SystemError(const ByteBuilder& b) {
  BinaryReader reader(b.bytes());
  PlainSystem system;
  try {
    Member(reader, "system", system);
  } catch (const InputError& e) {
    return e.what();
  }
  return "no error";
}

TEST(ParticleLookRecord, EveryFieldOfTheCurrentVersionLandsInPlace) {
  ByteBuilder b;
  test::SystemBytes(b);
  PlainSystem system;
  ReadSystem(b, system);
  test::ExpectSystemBase(system);
  const ParticleLook& look = system.look;
  ASSERT_EQ(look.textures.value.images.size(), 1u);
  EXPECT_EQ(look.textures.value.images[0].key, (ResourceKey{u"a.png", 7}));
  EXPECT_EQ(look.textures.value.second_value, 1002u);
  EXPECT_EQ(look.textures.value.key, (ResourceKey{u"b.png", 8}));
  EXPECT_EQ(look.effect.key, (ResourceKey{u"fx.fxo", 9}));
  EXPECT_FLOAT_EQ(look.texture_clock.scaled(), 10.03f);
  EXPECT_EQ(look.flip_u.value, 1006);
  EXPECT_EQ(look.size.value, 1007u);
  EXPECT_EQ(look.colour.value, 0x00112233u);
  EXPECT_EQ(look.colour.opacity.value, 1008u);
  EXPECT_EQ(look.size_ramp.out_start.value, 1010u);
  EXPECT_EQ(look.alpha_ramp.in_end.value, 1011u);
  EXPECT_FLOAT_EQ(look.alpha_jitter.scaled(), 10.14f);
  EXPECT_FLOAT_EQ(look.spin_clock.scaled(), 50.8f);
  EXPECT_FLOAT_EQ(look.spin_jitter.scaled(), 1.0f - 10.17f);
  EXPECT_EQ(look.blend_mode.value, 1018);
  EXPECT_EQ(look.size_ramp.end_scale.value, 1020u);
  EXPECT_EQ(look.alpha_ramp.start_scale.value, 1021u);
  EXPECT_EQ(look.alpha_start_scale_copy, 1022u);
  EXPECT_EQ(look.alpha_ramp.end_scale.value, 0u);  // not stored
  EXPECT_EQ(look.start_angle_jitter.value, 1025u);
  EXPECT_EQ(look.glow_surface_setting.value, 1027u);
  EXPECT_EQ(look.glow_colour.value, 0x00445566u);
  EXPECT_FLOAT_EQ(look.glow_brightness.scaled(), 20.56f);
  EXPECT_EQ(look.glow_blur.value, 1029);
  EXPECT_EQ(look.unused_effect.key, (ResourceKey{u"old.fxo", 10}));
  EXPECT_FLOAT_EQ(look.alpha_wave.amplitude.scaled(), 5.15f);
  EXPECT_EQ(look.size_wave.mode.value, 1035);
  EXPECT_EQ(look.look_flags, 1036);
  EXPECT_FLOAT_EQ(look.gravity.scaled(), 5190.0f);
  EXPECT_EQ(look.wobble_forward.amplitude.value, 1040u);
  // Written back, the record is the bytes it was read from.
  BinaryWriter writer;
  Member(writer, "system", system);
  EXPECT_EQ(writer.Release(), b.bytes());
}

TEST(ParticleLookRecord, OlderLooksStoreFewerFieldsAndKeepTheDefaults) {
  for (int version = ParticleLook::kFirstKnownVersion; version <= ParticleLook::kVersion; ++version) {
    SCOPED_TRACE(version);
    PlainSystem system;
    ReadSystem(LookRecord(version), system);
    const ParticleLook& look = system.look;
    EXPECT_EQ(look.unused_effect.key.number, 10);
    EXPECT_EQ(look.size_wave.mode.value, version >= 8 ? 1035 : OscillationSetting::kOff);
    EXPECT_FLOAT_EQ(look.alpha_wave.frequency.scaled(), version >= 8 ? 103.1f : 5.0f);
    EXPECT_FLOAT_EQ(look.air_resistance.scaled(), version >= 9 ? 10.39f : 0.0f);
    EXPECT_EQ(look.look_flags, version >= 9 ? 1036 : 0);
    EXPECT_FLOAT_EQ(look.wobble_sideways.amplitude.scaled(), version >= 10 ? 5.215f : 0.5f);
    EXPECT_EQ(system.depth.value, 150u);
  }
}

TEST(ParticleLookRecord, DefaultsAreThoseOfAnUntouchedLook) {
  PlainSystem system;
  const ParticleLook& look = system.look;
  EXPECT_EQ(system.GetKind(), VRN_ParticleSystemCtrl::kParticleSystemKind);
  EXPECT_FLOAT_EQ(system.speed.scaled(), 1.0f);
  EXPECT_FLOAT_EQ(look.texture_clock.scaled(), 0.01f);
  EXPECT_EQ(look.colour.value, 0x00FFFFFFu);
  EXPECT_EQ(look.colour.alpha(), 255);
  EXPECT_EQ(look.size_ramp.out_start.value, 100u);
  EXPECT_FLOAT_EQ(look.spin_jitter.scaled(), 1.0f);
  EXPECT_EQ(look.glow_surface_setting.value, 50u);
  EXPECT_EQ(look.glow_colour.value, 0x0000FFFFu);
  EXPECT_FLOAT_EQ(look.glow_brightness.scaled(), 2.0f);
  EXPECT_EQ(look.glow_blur.value, 2);
  EXPECT_FLOAT_EQ(look.wobble_forward.frequency.scaled(), 5.0f);
  EXPECT_FLOAT_EQ(look.wobble_forward.amplitude.scaled(), 0.5f);
}

TEST(ParticleLookRecord, UnknownOlderLayoutsFailNamingClassVersionAndOffset) {
  {  // a look of version 6 stores an image list of unknown layout
    ByteBuilder b;
    b.Header("VRN_ParticleSystemCtrl", 5).I32(6).Str(u"Sparks");
    const std::string error = SystemError(b);
    EXPECT_NE(error.find("VRN_ParticleSystemCtrl"), std::string::npos) << error;
    EXPECT_NE(error.find("look"), std::string::npos) << error;
    EXPECT_NE(error.find("version 6 "), std::string::npos) << error;
    EXPECT_NE(error.find("offset " + std::to_string(b.size())), std::string::npos) << error;
  }
  for (int version = 1; version < VRN_ParticleSystemCtrl::kFirstKnownVersion; ++version) {
    SCOPED_TRACE(version);
    ByteBuilder b;
    b.Header("VRN_ParticleSystemCtrl", version);
    const std::string error = SystemError(b);
    EXPECT_NE(error.find("VRN_ParticleSystemCtrl"), std::string::npos) << error;
    EXPECT_NE(error.find("version " + std::to_string(version) + " "), std::string::npos) << error;
    EXPECT_NE(error.find("offset " + std::to_string(b.size())), std::string::npos) << error;
  }
}

TEST(ParticleLookRecord, ACopyKeepsEverySettingAndItsScale) {
  ByteBuilder b;
  test::SystemBytes(b);
  PlainSystem system;
  ReadSystem(b, system);
  auto copy = system.Clone();
  BinaryWriter writer;
  Member(writer, "system", *copy);
  EXPECT_EQ(writer.Release(), b.bytes());
  EXPECT_FLOAT_EQ(static_cast<VRN_ParticleSystemCtrl&>(*copy).look.spin_clock.scaled(), 50.8f);
}

}  // namespace
}  // namespace lumi
