// The records of the sound objects: today's layout, the timelines of the
// older control records, and the render objects made from them.
#include <gtest/gtest.h>

#include <algorithm>

#include "archive/binary_reader.h"
#include "archive/binary_writer.h"
#include "archive/json_reader.h"
#include "archive/json_writer.h"
#include "scene/notices.h"
#include "sound/sound_objects.h"
#include "tests/support/byte_builder.h"
#include "tests/support/record_io.h"
#include "timing/continues_timeline.h"
#include "timing/random_timeline.h"

namespace lumi {
namespace {

using test::ByteBuilder;

// The constructor's record with a random timeline of its own.
ByteBuilder& ConstructorWithRandomTimeline(ByteBuilder& b, int kind) {
  b.Header("DS_ABObj_Constructor", 4).Str(u"Brook").U32(90);
  b.Header("VRN_RenderObjData", 1).Str(u"{5B0D7C11-3A52-4E8B-9C1D-0A6B2F3E4D51}");
  b.Header("VRN_SmartTiming", 1).I32(kind).I32(0).I32(15);
  return b.Header("VRN_RandomTimeLine", 1).U32(11).U32(12).U32(13).U32(14).U32(15).U32(16).Header("VRN_Timing", 1);
}

TEST(SoundRecords, WaveObjectReadsItsLinkControlAndConstructor) {
  ByteBuilder b;
  b.Header("DS_WAV_Constructor", 1).Str(u"C:\\Sounds\\brook.wav").I64(1733700100);
  b.Header("DS_Sound_Ctrl", 3).U32(80).U32(35);
  ConstructorWithRandomTimeline(b, 1);
  auto wave = test::ReadRecordAs<DS_WAV_Constructor>(b);
  ASSERT_NE(wave, nullptr);
  EXPECT_EQ(wave->wave_file.key, (ResourceKey{u"C:\\Sounds\\brook.wav", 1733700100}));
  EXPECT_EQ(wave->volume.value, 80u);
  EXPECT_EQ(wave->balance.value, 35u);
  EXPECT_EQ(wave->name, u"Brook");
  EXPECT_EQ(wave->depth.value, 90u);
  EXPECT_EQ(wave->timing.flags, 15);
  const auto& random = dynamic_cast<const VRN_RandomTimeLine&>(wave->timing.current());
  EXPECT_EQ(random.off_min.value, 11u);
  EXPECT_FLOAT_EQ(random.fade_out.seconds(), 0.16f);
  EXPECT_EQ(test::WriteRecord(*wave), b.bytes());
}

TEST(SoundRecords, NewObjectsTakeTheDefaultsOfTheirClass) {
  DS_WAV_Constructor wave;
  EXPECT_EQ(wave.volume.value, 100u);
  EXPECT_EQ(wave.balance.value, 50u);
  EXPECT_EQ(wave.timing.flags & DS_WAV_Constructor::kReaderMadeFlag, DS_WAV_Constructor::kReaderMadeFlag);
  DS_MP3_Constructor mp3;
  EXPECT_EQ(mp3.timing.flags, 0);
  EXPECT_EQ(mp3.volume.value, 100u);

  // Default objects write and read back to the same bytes, in binary and JSON.
  for (DS_Sound_Ctrl* sound : {static_cast<DS_Sound_Ctrl*>(&wave), static_cast<DS_Sound_Ctrl*>(&mp3)}) {
    SCOPED_TRACE(std::string(sound->ClassName()));
    const std::vector<uint8_t> bytes = test::WriteRecord(*sound);
    BinaryReader reader(bytes);
    auto copy = reader.Object("sound", nullptr, Family::General);
    EXPECT_EQ(test::WriteRecord(*copy), bytes);

    nlohmann::ordered_json json = nlohmann::ordered_json::object();
    JsonWriter writer(json, nullptr, std::nullopt);
    writer.Object("sound", sound, Family::General);
    JsonReader json_reader(json, ".");
    std::unique_ptr<DS_IOF_Item> packed;
    json_reader.ReadObjectFields(nullptr, 0, [&] { packed = json_reader.Object("sound", nullptr, Family::General); });
    EXPECT_EQ(test::WriteRecord(*packed), bytes);
  }
}

TEST(SoundRecords, Mp3ObjectKeepsItsFileBytesAndPath) {
  ByteBuilder b;
  b.Header("DS_MP3_Constructor", 1).U32(3).U8(0x49).U8(0x44).U8(0x33).Str(u"C:\\Music\\song.mp3");
  b.Header("DS_Sound_Ctrl", 3).U32(75).U32(100);
  ConstructorWithRandomTimeline(b, 1);
  auto mp3 = test::ReadRecordAs<DS_MP3_Constructor>(b);
  ASSERT_NE(mp3, nullptr);
  EXPECT_EQ(mp3->audio_file.bytes, (std::vector<uint8_t>{0x49, 0x44, 0x33}));
  EXPECT_EQ(mp3->audio_file.name, u"C:\\Music\\song.mp3");
  EXPECT_EQ(mp3->balance.value, 100u);
  EXPECT_EQ(test::WriteRecord(*mp3), b.bytes());
}

// Versions 1 and 2 stored a kind and two durations in whole seconds; they
// replace the timeline the constructor's record brought with it.
TEST(SoundRecords, OlderControlsReplaceTheLoadedTimelineAfterTheConstructor) {
  for (int version : {1, 2}) {
    SCOPED_TRACE(version);
    ByteBuilder random;
    random.Header("DS_WAV_Constructor", 1).Str(u"a.wav").I64(1);
    random.Header("DS_Sound_Ctrl", version).U32(60).U32(40).I32(1).U32(3).U32(5);
    ConstructorWithRandomTimeline(random, 0);
    auto wave = test::ReadRecordAs<DS_WAV_Constructor>(random);
    ASSERT_NE(wave, nullptr);
    EXPECT_EQ(wave->timing.value, VRN_SmartTiming::kRandom);
    const auto& timeline = dynamic_cast<const VRN_RandomTimeLine&>(wave->timing.current());
    EXPECT_EQ(timeline.off_min.value, 300u);
    EXPECT_EQ(timeline.off_max.value, 500u);
    EXPECT_EQ(timeline.on_min.value, 100u);  // a new timeline's defaults, not the loaded ones
    EXPECT_FLOAT_EQ(timeline.fade_in.seconds(), 0.5f);
    EXPECT_EQ(wave->volume.value, 60u);

    ByteBuilder continuous;
    continuous.Header("DS_MP3_Constructor", 1).U32(0).Str(u"b.mp3");
    continuous.Header("DS_Sound_Ctrl", version).U32(60).U32(40).I32(0).U32(7).U32(9);
    ConstructorWithRandomTimeline(continuous, 1);
    auto mp3 = test::ReadRecordAs<DS_MP3_Constructor>(continuous);
    ASSERT_NE(mp3, nullptr);
    EXPECT_EQ(mp3->timing.value, VRN_SmartTiming::kContinuous);
    EXPECT_NE(dynamic_cast<const VRN_ContinuesTimeLine*>(&mp3->timing.current()), nullptr);

    // Another kind is stored as the kind and leaves the loaded timeline.
    ByteBuilder other;
    other.Header("DS_WAV_Constructor", 1).Str(u"c.wav").I64(2);
    other.Header("DS_Sound_Ctrl", version).U32(1).U32(2).I32(2).U32(3).U32(4);
    ConstructorWithRandomTimeline(other, 1);
    auto kept = test::ReadRecordAs<DS_WAV_Constructor>(other);
    ASSERT_NE(kept, nullptr);
    EXPECT_EQ(kept->timing.value, VRN_SmartTiming::kManual);
    EXPECT_EQ(dynamic_cast<const VRN_RandomTimeLine&>(kept->timing.current()).off_min.value, 11u);

    // Written today the durations live in the timeline's own record.
    const std::vector<uint8_t> bytes = test::WriteRecord(*wave);
    BinaryReader reader(bytes);
    auto again = reader.Object("sound", nullptr, Family::General);
    EXPECT_EQ(reader.remaining(), 0u);
    auto& converted = dynamic_cast<DS_WAV_Constructor&>(*again);
    EXPECT_EQ(dynamic_cast<const VRN_RandomTimeLine&>(converted.timing.current()).off_max.value, 500u);
  }
}

TEST(SoundRecords, SoundsPlayThroughACopyOfTheirConstructor) {
  DS_WAV_Constructor wave;
  wave.volume.Set(30);
  auto first = wave.CreateRenderObject();
  auto* sound = dynamic_cast<DS_Sound*>(first.get());
  ASSERT_NE(sound, nullptr);
  EXPECT_NE(&sound->settings(), &wave);
  EXPECT_EQ(dynamic_cast<const DS_WAV_Constructor&>(sound->settings()).volume.value, 30u);
  EXPECT_EQ(std::count(Notices().begin(), Notices().end(), "DS_WAV_Constructor plays inert"), 0);
}

}  // namespace
}  // namespace lumi
