#include <gtest/gtest.h>

#include "timing/depended_timeline.h"
#include "timing/identity_map.h"
#include "timing/smart_timing.h"

namespace lumi {
namespace {

// A playing object as the identity map sees it, entered for its lifetime.
struct Playing : TimedObject {
  explicit Playing(uint32_t id) {
    identity.data1 = id;
    EnterIdentity(identity, this);
  }
  ~Playing() { RemoveIdentity(identity); }
  VRN_SmartTiming& ObjectTiming() override { return timing; }
  void SetMaster(int state, float level) {
    timing.current().state = state;
    timing.current().level = level;
  }
  GUID identity;
  VRN_SmartTiming timing;
};

TEST(DependedTimeline, TriggeredModeRunsItsOwnCycleWhenTheMasterComesOn) {
  Playing master(1);
  master.SetMaster(VRN_Timing::kOff, 0.0f);
  VRN_DependedTimeLine follower;
  follower.mode.Set(VRN_DependedTimeLine::kTriggered);
  follower.master_identity.Set(master.identity);  // binds at once
  ASSERT_EQ(follower.master(), &master.timing);

  follower.Advance(9.9f);
  EXPECT_EQ(follower.GetState(), VRN_Timing::kOff);
  master.SetMaster(VRN_Timing::kOn, 1.0f);
  follower.Advance(10.0f);
  EXPECT_TRUE(follower.triggered);
  EXPECT_FLOAT_EQ(follower.fade_in_start, 10.0f);
  EXPECT_FLOAT_EQ(follower.on_start, 10.5f);
  EXPECT_FLOAT_EQ(follower.fade_out_start, 11.5f);
  EXPECT_FLOAT_EQ(follower.end, 12.0f);

  const struct {
    float t;
    int state;
    float level;
  } expected[] = {{10.25f, VRN_Timing::kFadingIn, 0.5f},
                  {11.0f, VRN_Timing::kOn, 1.0f},
                  {11.75f, VRN_Timing::kFadingOut, 0.5f},
                  {12.5f, VRN_Timing::kOff, 0.0f}};
  for (const auto& e : expected) {
    follower.Advance(e.t);
    EXPECT_EQ(follower.GetState(), e.state) << e.t;
    EXPECT_FLOAT_EQ(follower.GetLevel(), e.level) << e.t;
  }
  // The cycle is over; a master that stays on starts no new one.
  EXPECT_FALSE(follower.triggered);
  follower.Advance(13.0f);
  EXPECT_FALSE(follower.triggered);
  // Off and on again: a new cycle.
  master.SetMaster(VRN_Timing::kOff, 0.0f);
  follower.Advance(14.0f);
  master.SetMaster(VRN_Timing::kFadingIn, 0.1f);
  follower.Advance(15.0f);
  EXPECT_TRUE(follower.triggered);
  EXPECT_FLOAT_EQ(follower.end, 17.0f);
}

TEST(DependedTimeline, MirrorsTheMasterAndIsOffWithoutOne) {
  VRN_DependedTimeLine follower;
  follower.Bind();
  EXPECT_EQ(follower.master(), nullptr);
  EXPECT_EQ(follower.GetState(), VRN_Timing::kOff);
  EXPECT_EQ(follower.GetLevel(), 0.0f);
  {
    Playing master(2);
    master.SetMaster(VRN_Timing::kFadingOut, 0.25f);
    follower.master_identity.Set(master.identity);
    EXPECT_EQ(follower.GetState(), VRN_Timing::kFadingOut);
    EXPECT_FLOAT_EQ(follower.GetLevel(), 0.25f);
  }
  // Binding again after the master is gone finds nothing.
  follower.Bind();
  EXPECT_EQ(follower.master(), nullptr);
}

TEST(DependedTimeline, AChainThatComesBackRoundAnswersOff) {
  Playing a(3), b(4);
  a.timing.Set(VRN_SmartTiming::kDepended);
  b.timing.Set(VRN_SmartTiming::kDepended);
  auto& follows_b = dynamic_cast<VRN_DependedTimeLine&>(a.timing.current());
  auto& follows_a = dynamic_cast<VRN_DependedTimeLine&>(b.timing.current());
  follows_b.master_identity.Set(b.identity);
  follows_a.master_identity.Set(a.identity);
  EXPECT_EQ(follows_b.GetState(), VRN_Timing::kOff);
  EXPECT_EQ(follows_a.GetLevel(), 0.0f);

  Playing self(5);
  self.timing.Set(VRN_SmartTiming::kDepended);
  auto& follows_itself = dynamic_cast<VRN_DependedTimeLine&>(self.timing.current());
  follows_itself.master_identity.Set(self.identity);
  follows_itself.mode.Set(VRN_DependedTimeLine::kTriggered);
  follows_itself.Advance(1.0f);
  EXPECT_EQ(follows_itself.GetState(), VRN_Timing::kOff);
}

TEST(IdentityMap, LaterEntriesReplaceEarlierOnesAndRemovalIsByIdentity) {
  Playing first(6);
  {
    Playing second(6);
    EXPECT_EQ(FindIdentity(first.identity), &second);
  }
  // The later object's removal took the identity away altogether.
  EXPECT_EQ(FindIdentity(first.identity), nullptr);
}

}  // namespace
}  // namespace lumi
