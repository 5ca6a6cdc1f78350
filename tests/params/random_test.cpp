#include <gtest/gtest.h>

#include <thread>

#include "params/clamped_clock.h"
#include "params/random.h"

namespace lumi {
namespace {

TEST(ThreadRandom, FollowsTheCLibraryRecurrence) {
  SeedRand(1);
  const int expected[] = {41, 18467, 6334, 26500, 19169, 15724};
  for (int value : expected) EXPECT_EQ(Rand(), value);

  // A new thread starts from seed 1, untouched by this one.
  int first_in_thread = -1;
  std::thread([&] { first_in_thread = Rand(); }).join();
  EXPECT_EQ(first_in_thread, 41);

  SeedRand(1);
  EXPECT_FLOAT_EQ(Random01(), 41.0f / 32767.0f);
  EXPECT_FLOAT_EQ(Uniform(2.0f, 4.0f), 2.0f + 18467.0f / 32767.0f * 2.0f);
}

TEST(ThreadRandom, HundredthsRanges) {
  SeedRand(1);
  EXPECT_FLOAT_EQ(RandomHundredths(100, 200), (100 + 41 % 101) * 0.01f);
  // A reversed or empty range is its minimum and draws nothing.
  SeedRand(1);
  EXPECT_FLOAT_EQ(RandomHundredths(300, 100), 3.0f);
  EXPECT_FLOAT_EQ(RandomHundredths(50, 50), 0.5f);
  EXPECT_EQ(Rand(), 41);
  // The widest range does not divide by zero.
  EXPECT_GE(RandomHundredths(0, 0xFFFFFFFFu), 0.0f);
}

TEST(ClampedClockTest, LimitsStepsAndRestartsAfterTimeGoesBack) {
  ClampedClock clock;
  EXPECT_FLOAT_EQ(clock.Advance(0.1f, 2.0f), 0.2f);
  EXPECT_FLOAT_EQ(clock.Advance(5.1f, 2.0f), 0.4f);  // a stall counts 0.2 s
  EXPECT_FLOAT_EQ(clock.Advance(3.0f, 2.0f), 0.0f);  // backwards: no step
  EXPECT_NEAR(clock.Advance(3.05f, 1.0f), 0.05f, 1e-6);
  EXPECT_NEAR(clock.total, 0.65f, 1e-6);
  EXPECT_FLOAT_EQ(clock.last_time, 3.05f);
}

}  // namespace
}  // namespace lumi
