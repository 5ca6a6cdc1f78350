// The frame timer over long runs and the error box's motion.
#include <gtest/gtest.h>

#include <cmath>

#include "host/error_box.h"
#include "host/frame_timer.h"

namespace lumi {
namespace {

constexpr std::int64_t kNanoseconds = 1'000'000'000;

TEST(FrameTimer, StepsAfterADayAreAsEvenAsInTheFirstMinute) {
  // The counter starts 24 hours into the process's life, and the timer is
  // started another 24 hours later: its time counts from that Start.
  std::int64_t now = 24 * 3600 * kNanoseconds;
  FrameTimer timer([&now] { return now; }, kNanoseconds);
  now += 24 * 3600 * kNanoseconds;
  timer.Start();
  EXPECT_DOUBLE_EQ(timer.AppTime(), 0.0);
  const std::int64_t frame = kNanoseconds / 60;
  auto worst_step_error = [&](std::int64_t run_for) {
    now += run_for;
    double previous = timer.AppTime(), worst = 0;
    timer.Elapsed();
    for (int i = 0; i < 120; ++i) {
      now += frame;
      const double app_time = timer.AppTime();
      worst = std::max({worst, std::abs(app_time - previous - 1.0 / 60), std::abs(timer.Elapsed() - 1.0 / 60)});
      previous = app_time;
    }
    return worst;
  };
  const double first_minute = worst_step_error(0);
  const double after_a_day = worst_step_error(24 * 3600 * kNanoseconds);
  EXPECT_LT(first_minute, 1e-9);
  EXPECT_LT(after_a_day, 1e-9);
  EXPECT_NEAR(timer.AppTime(), 24 * 3600 + 240.0 / 60, 1e-6);
}

TEST(FrameTimer, AbsoluteIsTheCounterInSeconds) {
  std::int64_t now = 3 * kNanoseconds / 2;
  FrameTimer timer([&now] { return now; }, kNanoseconds);
  EXPECT_DOUBLE_EQ(timer.Absolute(), 1.5);
  // Before Start the timer counts from 0: AppTime is the counter itself.
  EXPECT_DOUBLE_EQ(timer.AppTime(), 1.5);
}

TEST(ErrorBox, StartsCentredAndMovesATenthAndATwentiethPerSecond) {
  ErrorBox box;
  EXPECT_FALSE(box.Placed());
  const WindowRect bounds{0, 0, 1920, 1080};
  PlaceErrorBox(box, bounds, false);
  EXPECT_EQ(box.Rect(), (WindowRect{810, 465, 1110, 615}));
  EXPECT_DOUBLE_EQ(box.speed_x, 192);
  EXPECT_DOUBLE_EQ(box.speed_y, 54);
  EXPECT_TRUE(MoveErrorBox(box, bounds, 0.1));
  EXPECT_EQ(box.Rect().left, 829);
  EXPECT_FALSE(MoveErrorBox(box, bounds, 0.001)) << "under a pixel: nothing to repaint";
}

TEST(ErrorBox, BouncesAndAStallMovesItAtMostAFifthOfASecond) {
  const WindowRect bounds{0, 0, 600, 400};
  ErrorBox box;
  PlaceErrorBox(box, bounds, false);
  // A stall of a minute must not throw the box out of its window.
  MoveErrorBox(box, bounds, 60.0);
  EXPECT_DOUBLE_EQ(box.x, 150 + 60 * 0.2);
  for (int i = 0; i < 2000; ++i) {
    MoveErrorBox(box, bounds, 0.05);
    ASSERT_GE(box.x, -1);
    ASSERT_LE(box.x + box.width, 601);
    ASSERT_GE(box.y, -1);
    ASSERT_LE(box.y + box.height, 401);
  }
  // It did reach both sides.
  EXPECT_LT(box.speed_x * box.speed_x, 61 * 61);
  // A step back in time (a clock set back) does not move it backwards.
  const double x = box.x;
  MoveErrorBox(box, bounds, -5);
  EXPECT_DOUBLE_EQ(box.x, x);
}

TEST(ErrorBox, FillsAPreviewWindowAndRests) {
  ErrorBox box;
  PlaceErrorBox(box, {0, 0, 152, 112}, true);
  EXPECT_EQ(box.Rect(), (WindowRect{0, 0, 152, 112}));
  EXPECT_DOUBLE_EQ(box.speed_x, 0);
  EXPECT_DOUBLE_EQ(box.speed_y, 0);
}

}  // namespace
}  // namespace lumi
