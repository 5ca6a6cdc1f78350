#include <gtest/gtest.h>

#include "archive/binary_reader.h"
#include "archive/binary_writer.h"
#include "archive/input_error.h"
#include "archive/json_reader.h"
#include "archive/json_writer.h"
#include "timing/continues_timeline.h"
#include "timing/depended_timeline.h"
#include "timing/manual_timeline.h"
#include "timing/random_timeline.h"
#include "timing/smart_timing.h"
#include "timing/timeline_control.h"
#include "tests/support/byte_builder.h"

namespace lumi {
namespace {

using test::ByteBuilder;

void ReadMember(const ByteBuilder& b, DS_IOF_Item& item) {
  BinaryReader reader(b.bytes());
  Member(reader, "item", item);
  EXPECT_EQ(reader.remaining(), 0u);
}

ByteBuilder& TimingBase(ByteBuilder& b) { return b.Header("VRN_Timing", 1); }

TEST(TimelineRecords, SmartTimingReadsKindModeFlagsAndTimeline) {
  ByteBuilder b;
  b.Header("VRN_SmartTiming", 1).I32(2).I32(2).I32(0x20);
  b.Header("VRN_ManualTimeLine", 1).U32(500).I32(2);
  b.F32(1).F32(2).F32(1.5f).F32(1.5f).F32(1.5f).F32(3).F32(2).F32(2.5f);  // the second overlaps
  TimingBase(b);
  VRN_SmartTiming timing;
  VRN_Timing* kind_zero = &timing.current();
  timing.current().speed.local_time = 4.0f;
  ReadMember(b, timing);
  EXPECT_EQ(timing.value, 2);
  EXPECT_EQ(timing.time_mode.value, 2);
  EXPECT_EQ(timing.flags, 0x20);
  auto* manual = dynamic_cast<VRN_ManualTimeLine*>(&timing.current());
  ASSERT_NE(manual, nullptr);
  EXPECT_FLOAT_EQ(manual->period.seconds(), 5.0f);
  EXPECT_EQ(manual->intervals.size(), 1u);
  EXPECT_EQ(manual->speed.local_time, 0.0f);  // reset by the load
  // The kind was stored without switching: kind 0 still has its timeline.
  timing.Set(VRN_SmartTiming::kContinuous);
  EXPECT_EQ(&timing.current(), kind_zero);
}

TEST(TimelineRecords, RandomAndDependedRecordsWithTheirVersions) {
  ByteBuilder random_bytes;
  random_bytes.Header("VRN_RandomTimeLine", 1).U32(10).U32(20).U32(30).U32(40).U32(50).U32(150);
  TimingBase(random_bytes);
  VRN_RandomTimeLine random;
  ReadMember(random_bytes, random);
  EXPECT_EQ(random.off_min.value, 10u);
  EXPECT_EQ(random.on_max.value, 40u);
  EXPECT_FLOAT_EQ(random.fade_in.seconds(), 0.5f);
  EXPECT_FLOAT_EQ(random.fade_out.seconds(), 1.5f);

  ByteBuilder v1;
  v1.Header("VRN_DependedTimeLine", 1).Str(u"{0B18E5F6-C061-474D-A2C7-93A80D502FE8}");
  TimingBase(v1);
  VRN_DependedTimeLine old;
  old.mode.value = 1;
  ReadMember(v1, old);
  EXPECT_EQ(old.master_identity.value.data1, 0x0B18E5F6u);
  EXPECT_EQ(old.mode.value, 0);

  ByteBuilder v2;
  v2.Header("VRN_DependedTimeLine", 2).Str(u"{00000000-0000-0000-0000-000000000000}").I32(1);
  v2.U32(10).U32(20).U32(30).U32(40).U32(25).U32(75);
  TimingBase(v2);
  VRN_DependedTimeLine current;
  ReadMember(v2, current);
  EXPECT_EQ(current.mode.value, 1);
  EXPECT_EQ(current.delay_max.value, 20u);
  EXPECT_EQ(current.on_min.value, 30u);
  EXPECT_FLOAT_EQ(current.fade_in.seconds(), 0.25f);
  EXPECT_FLOAT_EQ(current.fade_out.seconds(), 0.75f);
}

TEST(TimelineRecords, OldTimelineControlConverts) {
  struct Case {
    int version;
    int kind;
    const char* expected_class;
  };
  for (const Case& c : {Case{1, 0, "VRN_ContinuesTimeLine"}, Case{1, 1, "VRN_RandomTimeLine"},
                        Case{2, 2, "VRN_ManualTimeLine"}}) {
    SCOPED_TRACE(c.version * 10 + c.kind);
    ByteBuilder b;
    b.Header("DS_TimeLineControl", c.version).I32(c.kind).I32(2);
    b.U32(11).U32(12).U32(13).U32(14).U32(20).U32(30);
    b.I32(1).F32(1).F32(4).F32(2).F32(3);
    if (c.version >= 2) b.U32(700);
    DS_TimeLineControl control;
    ReadMember(b, control);
    VRN_SmartTiming timing;
    control.ConvertInto(timing);
    EXPECT_EQ(timing.value, c.kind);
    EXPECT_EQ(timing.time_mode.value, 2);
    EXPECT_EQ(timing.current().ClassName(), c.expected_class);
    if (auto* random = dynamic_cast<VRN_RandomTimeLine*>(&timing.current())) {
      EXPECT_EQ(random->off_min.value, 11u);
      EXPECT_EQ(random->on_max.value, 14u);
      EXPECT_FLOAT_EQ(random->fade_in.seconds(), 0.2f);
      EXPECT_FLOAT_EQ(random->fade_out.seconds(), 0.3f);
    }
    if (auto* manual = dynamic_cast<VRN_ManualTimeLine*>(&timing.current())) {
      EXPECT_EQ(manual->intervals.size(), 1u);
      EXPECT_FLOAT_EQ(manual->period.seconds(), 7.0f);
    }
  }
}

TEST(TimelineRecords, UnknownTimelineClassFailsTheLoad) {
  ByteBuilder b;
  b.Header("VRN_SmartTiming", 1).I32(0).I32(0).I32(0).Header("VRN_NoSuchTimeLine", 1);
  VRN_SmartTiming timing;
  BinaryReader reader(b.bytes());
  EXPECT_THROW(Member(reader, "timing", timing), InputError);

  ByteBuilder truncated;
  truncated.Header("VRN_SmartTiming", 1).I32(1).I32(0).I32(0).Header("VRN_RandomTimeLine", 1).U32(5);
  BinaryReader short_reader(truncated.bytes());
  EXPECT_THROW(Member(short_reader, "timing", timing), InputError);
}

TEST(TimelineRecords, JsonShowsSecondsAndRoundTrips) {
  VRN_SmartTiming timing;
  timing.Set(VRN_SmartTiming::kRandom);
  nlohmann::ordered_json json = nlohmann::ordered_json::object();
  {
    JsonWriter writer(json, nullptr, std::nullopt);
    Member(writer, "timing", timing);
  }
  const auto& timeline = json["timing"]["timeline"];
  EXPECT_EQ(timeline["class"], "VRN_RandomTimeLine");
  EXPECT_EQ(timeline["fade_in"], 50);
  EXPECT_DOUBLE_EQ(timeline["fade_in_scaled"].get<double>(), 0.5);
  EXPECT_EQ(timeline["base"]["class"], "VRN_Timing");

  json["timing"]["timeline"]["fade_out"] = 125;
  VRN_SmartTiming back;
  JsonReader reader(json, ".");
  reader.ReadObjectFields(nullptr, 0, [&] { Member(reader, "timing", back); });
  EXPECT_EQ(back.value, VRN_SmartTiming::kRandom);
  auto* random = dynamic_cast<VRN_RandomTimeLine*>(&back.current());
  ASSERT_NE(random, nullptr);
  EXPECT_FLOAT_EQ(random->fade_out.seconds(), 1.25f);
}

}  // namespace
}  // namespace lumi
