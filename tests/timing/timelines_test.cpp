#include <vector>

#include <gtest/gtest.h>

#include "params/random.h"
#include "timing/continues_timeline.h"
#include "timing/manual_timeline.h"
#include "timing/random_timeline.h"
#include "timing/smart_timing.h"

namespace lumi {
namespace {

// Puts a manual timeline at a position without moving it.
void AtPosition(VRN_ManualTimeLine& timeline, float position) {
  timeline.position = position;
  timeline.speed.last_time = 100.0f;
  timeline.Advance(100.0f);
}

TEST(TimelineClock, StepsAreLimitedButLocalTimeIsNot) {
  VRN_SmartTiming timing;
  timing.current().speed.Set(3);
  timing.AdvanceLocalTime(0.1f);
  EXPECT_NEAR(timing.current().speed.local_time, 0.3f, 1e-6);
  const float local = timing.AdvanceLocalTime(5.1f);
  EXPECT_NEAR(timing.current().speed.local_time, 0.3f + 0.2f * 3, 1e-6);
  EXPECT_NEAR(local, 5.1f, 1e-6);

  // Backwards: the timeline stands still; local time follows the slide.
  timing.AdvanceLocalTime(2.0f);
  EXPECT_NEAR(timing.current().speed.local_time, 0.9f, 1e-6);
  EXPECT_EQ(timing.current().speed.step, 0.0f);
  EXPECT_NEAR(timing.local_time, 2.0f, 1e-6);
}

TEST(TimelineClock, TimeModeTwoRunsLocalTimeAtTheLevel) {
  VRN_SmartTiming timing;
  timing.current().level = 0.5f;
  timing.time_mode.Set(VRN_SmartTiming::kLevelTime);
  EXPECT_FLOAT_EQ(timing.AdvanceLocalTime(5.0f), 2.5f);
  timing.flags = VRN_SmartTiming::kFullSpeedFlag;
  EXPECT_FLOAT_EQ(timing.AdvanceLocalTime(6.0f), 3.5f);
}

TEST(RandomTimeline, CyclesOffFadeInOnFadeOut) {
  SeedRand(1);
  VRN_RandomTimeLine timeline;
  timeline.level = 0.7f;
  timeline.Reset();
  EXPECT_EQ(timeline.GetState(), VRN_Timing::kOff);
  EXPECT_EQ(timeline.GetLevel(), 0.7f);  // Reset leaves the level

  // Frames 0.01 s apart; note when each phase begins.
  struct Change {
    int state;
    float time;
  };
  std::vector<Change> changes;
  int last = timeline.GetState();
  float half_fade_level = -1;
  for (int frame = 1; frame <= 500; ++frame) {
    const float t = static_cast<float>(frame) * 0.01f;
    timeline.Advance(t);
    if (timeline.GetState() != last) changes.push_back({timeline.GetState(), t});
    last = timeline.GetState();
    if (frame == 26) half_fade_level = timeline.GetLevel();
  }
  ASSERT_GE(changes.size(), 5u);
  const int expected_states[] = {VRN_Timing::kFadingIn, VRN_Timing::kOn, VRN_Timing::kFadingOut, VRN_Timing::kOff,
                                 VRN_Timing::kFadingIn};
  const float expected_lengths[] = {0.5f, 1.0f, 0.5f, 1.0f};
  EXPECT_NEAR(changes[0].time, 0.01f, 1e-6);  // the first advance starts a fade-in
  for (size_t i = 0; i < 5; ++i) EXPECT_EQ(changes[i].state, expected_states[i]) << i;
  for (size_t i = 0; i < 4; ++i) {
    EXPECT_NEAR(changes[i + 1].time - changes[i].time, expected_lengths[i], 0.0101f) << i;
  }
  EXPECT_NEAR(half_fade_level, 0.5f, 1e-4);
  EXPECT_FLOAT_EQ(timeline.GetCycleLength(), 2.0f);
}

TEST(ManualTimeline, IntervalPhasesAndLevels) {
  VRN_ManualTimeLine timeline;
  EXPECT_EQ(timeline.GetState(), VRN_Timing::kOff);
  EXPECT_EQ(timeline.GetLevel(), 0.0f);
  timeline.intervals.insert({2, 6, 3, 5});

  AtPosition(timeline, 2.5f);
  EXPECT_EQ(timeline.GetState(), VRN_Timing::kFadingIn);
  EXPECT_FLOAT_EQ(timeline.GetLevel(), 0.5f);
  AtPosition(timeline, 4.0f);
  EXPECT_EQ(timeline.GetState(), VRN_Timing::kOn);
  EXPECT_FLOAT_EQ(timeline.GetLevel(), 1.0f);
  AtPosition(timeline, 5.5f);
  EXPECT_EQ(timeline.GetState(), VRN_Timing::kFadingOut);
  EXPECT_FLOAT_EQ(timeline.GetLevel(), 0.5f);
  EXPECT_FLOAT_EQ(timeline.GetCycleLength(), 4.0f);
  AtPosition(timeline, 7.0f);
  EXPECT_EQ(timeline.GetState(), VRN_Timing::kOff);
  EXPECT_EQ(timeline.GetLevel(), 0.0f);
  EXPECT_EQ(timeline.GetCycleLength(), 0.0f);
}

TEST(ManualTimeline, LooksAheadThreeSecondsAndWrapsAtThePeriod) {
  VRN_ManualTimeLine timeline;
  timeline.intervals.insert({5.5f, 7.0f, 6.0f, 6.5f});
  AtPosition(timeline, 2.0f);
  EXPECT_EQ(timeline.GetCycleLength(), 0.0f);
  AtPosition(timeline, 3.0f);
  EXPECT_EQ(timeline.GetState(), VRN_Timing::kOff);
  EXPECT_FLOAT_EQ(timeline.GetCycleLength(), 1.5f);

  // The position wraps at the period: 9.9 + 0.2 is 0.1.
  timeline.position = 9.9f;
  timeline.speed.last_time = 1.0f;
  timeline.Advance(1.5f);
  EXPECT_NEAR(timeline.position, 0.1f, 1e-5);

  timeline.SetPeriod(300);
  EXPECT_FLOAT_EQ(timeline.period.seconds(), 3.0f);
  timeline.Reset();
  EXPECT_EQ(timeline.position, 0.0f);
  EXPECT_EQ(timeline.speed.local_time, 0.0f);
}

TEST(ManualTimeline, OverlappingIntervalsKeepTheFirstAndEmptyIsAlwaysOff) {
  VRN_ManualTimeLine timeline;
  timeline.intervals.insert({1, 4, 2, 3});
  timeline.intervals.insert({3, 8, 4, 7});
  timeline.intervals.insert({5, 6, 5.5f, 6});
  ASSERT_EQ(timeline.intervals.size(), 2u);
  EXPECT_EQ(timeline.intervals.begin()->end, 4.0f);

  // A fade-out of no length at the very end of its interval is not NaN.
  AtPosition(timeline, 5.5f);
  EXPECT_EQ(timeline.GetState(), VRN_Timing::kOn);
  AtPosition(timeline, 6.0f);
  EXPECT_EQ(timeline.GetState(), VRN_Timing::kFadingOut);
  EXPECT_EQ(timeline.GetLevel(), 0.0f);

  VRN_ManualTimeLine empty;
  for (float t = 0.1f; t < 12.0f; t += 0.1f) {
    empty.Advance(t);
    ASSERT_EQ(empty.GetState(), VRN_Timing::kOff);
  }
  // A period of no length does not wrap into NaN.
  empty.intervals.insert({0.5f, 1.0f, 0.6f, 0.9f});
  empty.period.Set(0);
  empty.Reset();
  empty.Advance(0.2f);
  empty.Advance(0.4f);
  empty.Advance(0.6f);
  EXPECT_NEAR(empty.position, 0.6f, 1e-6);
  EXPECT_EQ(empty.GetState(), VRN_Timing::kOn);
}

TEST(SmartTiming, SwitchingKindKeepsOneTimelinePerKind) {
  VRN_SmartTiming timing;
  VRN_Timing* continuous = &timing.current();
  EXPECT_EQ(timing.current().ClassName(), "VRN_ContinuesTimeLine");

  timing.default_fade_in = 0.25f;
  timing.default_on = 2.0f;
  timing.Set(VRN_SmartTiming::kRandom);
  auto* random = dynamic_cast<VRN_RandomTimeLine*>(&timing.current());
  ASSERT_NE(random, nullptr);
  EXPECT_EQ(random->fade_in.value, 25u);
  EXPECT_EQ(random->fade_out.value, 50u);
  EXPECT_EQ(random->on_min.value, 200u);
  EXPECT_EQ(random->on_max.value, 200u);

  timing.Set(VRN_SmartTiming::kContinuous);
  EXPECT_EQ(&timing.current(), continuous);
  timing.Set(VRN_SmartTiming::kRandom);
  EXPECT_EQ(&timing.current(), random);
  timing.Set(VRN_SmartTiming::kManual);
  EXPECT_EQ(timing.current().ClassName(), "VRN_ManualTimeLine");
  timing.Set(VRN_SmartTiming::kDepended);
  EXPECT_EQ(timing.current().ClassName(), "VRN_DependedTimeLine");

  // An unknown kind keeps the current timeline.
  VRN_Timing* depended = &timing.current();
  timing.Set(9);
  EXPECT_EQ(&timing.current(), depended);

  // SetTimeline keeps the timeline for the current kind.
  timing.Set(VRN_SmartTiming::kContinuous);
  auto replacement = std::make_shared<VRN_ContinuesTimeLine>();
  timing.SetTimeline(replacement);
  timing.Set(VRN_SmartTiming::kRandom);
  timing.Set(VRN_SmartTiming::kContinuous);
  EXPECT_EQ(&timing.current(), replacement.get());

  // Copies share the timelines.
  VRN_SmartTiming copy(timing);
  EXPECT_EQ(&copy.current(), replacement.get());
  EXPECT_EQ(replacement.use_count(), 5);  // ours, and current and kept in each
  copy.Set(VRN_SmartTiming::kRandom);
  EXPECT_EQ(&copy.current(), random);
  EXPECT_EQ(&timing.current(), replacement.get());
}

}  // namespace
}  // namespace lumi
