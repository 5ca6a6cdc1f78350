// How the 3D objects move: node trees, the clock's hands and placement,
// the butterflies' twelve steps and random decisions, the count following,
// and the leaf drift with its wrap-around.
#include <gtest/gtest.h>

#include <cmath>

#include "render/current_context.h"
#include "render/recording_device.h"
#include "scene/notices.h"
#include "scene/resource_access.h"
#include "sprites/clock_time.h"
#include "sprites/leaf_drift.h"
#include "sprites/object_animations.h"
#include "sprites/object_array_3d.h"
#include "tests/sprites/sprite_test_support.h"

namespace lumi {
namespace {

template <typename Object, typename Constructor>
std::unique_ptr<Object> Make(const Constructor& constructor, uint32_t seed = 1) {
  SeedRand(seed);
  return std::unique_ptr<Object>(static_cast<Object*>(constructor.CreateRenderObject().release()));
}

void ExpectMatrixNear(const Matrix& a, const Matrix& b) {
  for (int r = 0; r < 4; ++r) {
    for (int c = 0; c < 4; ++c) EXPECT_NEAR(a.m[r][c], b.m[r][c], 1e-4) << r << "," << c;
  }
}

class Fixed : public DS_AnimationBase {
 public:
  explicit Fixed(Matrix m) : m_(m) {}
  void Animate(SceneNode& node) override { node.world = m_ * node.local; }

 private:
  Matrix m_;
};

TEST(SceneNodes, UpdateComposesAnimationLocalAndParentInRowVectorOrder) {
  const Matrix t = MatrixTranslation(10, 0, 0), s = MatrixScaling(2, 2, 2), r = MatrixRotationZ(kPi / 2);
  SceneNode root(s, std::make_unique<Fixed>(r));
  SceneNode& child = root.AddChild(std::make_unique<SceneNode>(t));
  root.Update(nullptr);
  // The root: its animation's rotation first, then its own scale.
  ExpectMatrixNear(root.world, r * s);
  // The child: its local, then the root's world: (1, 0, 0) → (11, 0, 0) →
  // turned to (0, 11, 0) → scaled to (0, 22, 0).
  const Vector3 p = Vec3TransformCoord({1, 0, 0}, child.world);
  EXPECT_NEAR(p.x, 0, 1e-4);
  EXPECT_NEAR(p.y, 22, 1e-4);
  const Matrix parent = MatrixTranslation(0, 0, 5);
  root.Update(&parent);
  EXPECT_NEAR(Vec3TransformCoord({1, 0, 0}, child.world).z, 5, 1e-4);
}

// The direction a hand points from the clock's centre, in degrees
// clockwise from twelve o'clock on the screen.
float HandAngle(const SceneNode& hand, float cx, float cy, float* length = nullptr) {
  const Vector3 tip = Vec3TransformCoord({0, 0, 50}, hand.world);
  const Vector3 base = Vec3TransformCoord({0, 0, -50}, hand.world);
  const Vector3 along = tip - base;
  if (length) *length = std::hypot(tip.x - cx, tip.y - cy);
  return std::fmod(std::atan2(along.x, -along.y) * 180 / kPi + 360, 360);
}

class ClockTest : public ::testing::Test {
 protected:
  ClockTest() {
    clock_.placement.x.value = 200;
    clock_.placement.y.value = 150;
    clock_.scale.value = 100;
    SetClockTimeSource([] { return ParseClockTime("10:30:30"); });
  }
  ~ClockTest() override { SetClockTimeSource({}); }
  DS_ClockConstructor clock_;
};

TEST_F(ClockTest, HandsTellTheLocalTimeAndKeepTheirTurnWithoutOne) {
  auto object = Make<DS_3DObjArray>(clock_);
  ASSERT_EQ(object->Instances().size(), 1u);
  object->FrameMove(0);
  const SceneNode& root = *object->Instances()[0];
  const SceneNode& hour = *root.children[0];
  const SceneNode& minute = *root.children[1];
  float hour_length = 0;
  EXPECT_NEAR(HandAngle(minute, 200, 150), 183, 0.01);
  EXPECT_NEAR(HandAngle(hour, 200, 150, &hour_length), 315, 0.01);
  // The face spans `scale` pixels around the centre.
  const Vector3 rim = Vec3TransformCoord({50, 0, 0}, root.world);
  EXPECT_NEAR(rim.x, 250, 1e-3);
  EXPECT_NEAR(rim.y, 150, 1e-3);
  // Entry 0 draws the face, entry 1 both hands.
  EXPECT_EQ(object->Entries()[0].nodes.size(), 1u);
  EXPECT_EQ(object->Entries()[1].nodes.size(), 2u);

  // No local time: the hands keep their turn while the clock grows.
  SetClockTimeSource([] { return std::optional<ClockTime>(); });
  object->Objects().scale.Set(200);
  object->FrameMove(0.1f);
  object->FrameMove(0.2f);
  float grown = 0;
  EXPECT_NEAR(HandAngle(minute, 200, 150), 183, 0.01);
  EXPECT_NEAR(HandAngle(hour, 200, 150, &grown), 315, 0.01);
  EXPECT_NEAR(grown, 2 * hour_length, 1e-2);
}

TEST_F(ClockTest, PlacementEdgesFollowTheCentreAndScaleAndHitTestReadsThem) {
  auto object = Make<DS_3DObjArray>(clock_);
  const DS_ClockConstructor& copy = static_cast<const DS_ClockConstructor&>(object->Objects());
  EXPECT_EQ(copy.placement.left.value, 150);
  EXPECT_EQ(copy.placement.right.value, 250);
  EXPECT_EQ(copy.placement.top.value, 100);
  EXPECT_EQ(copy.placement.bottom.value, 200);
  EXPECT_TRUE(object->TestPoint(200, 150));
  EXPECT_TRUE(object->TestPoint(250, 200));
  EXPECT_FALSE(object->TestPoint(251, 150));
  EXPECT_FALSE(object->TestPoint(200, 99));
  object->Objects().scale.Set(41);  // halved to 20
  EXPECT_EQ(copy.placement.left.value, 180);
  EXPECT_EQ(copy.placement.bottom.value, 170);
  EXPECT_FALSE(object->TestPoint(240, 150));
}

TEST_F(ClockTest, ANewFaceTextureReachesTheRunningClock) {
  RecordingDevice device(64, 64);
  static std::shared_ptr<Texture> face;
  face = device.CreateTexture({4, 4});
  ResourceAccess& access = DocumentResourceAccess();
  const auto saved = access.picture;
  access.picture = [](const ResourceKey& key) { return key.name == u"new face.png" ? SlidePicture{face} : SlidePicture{}; };
  auto object = Make<DS_3DObjArray>(clock_);
  EXPECT_EQ(object->Entries()[0].texture, nullptr);
  auto& copy = static_cast<DS_ClockConstructor&>(object->Objects());
  copy.texture.key = {u"new face.png", 1};
  copy.texture.Notify(nullptr);
  EXPECT_EQ(object->Entries()[0].texture, face);
  EXPECT_EQ(object->Entries()[1].texture, nullptr) << "the hands keep theirs";
  access.picture = saved;
  face.reset();
}

// A butterfly over the whole 640 x 400 unit, at real speed.
DS_ButterflyConstructor Flock(uint32_t count) {
  DS_ButterflyConstructor flock;
  flock.left = flock.top = 0;
  flock.right = flock.bottom = 1;
  flock.count.value = count;
  return flock;
}

AC_Butterfly& ButterflyOf(const DS_3DObjArray& object, size_t i = 0) {
  return *static_cast<AC_Butterfly*>(object.Instances()[i]->animation.get());
}

// Puts the butterfly mid-screen flying straight and level, with nothing
// due to be decided.
void Steady(AC_Butterfly& b) {
  b.x = 320;
  b.y = 200;
  b.heading = {0, 0, 0};
  b.last_decision = 1e6f;
}

TEST(Butterflies, BankTowardsATurnAndLevelOutOnceTheBankIsReached) {
  auto object = Make<DS_3DObjArray>(Flock(1));
  AC_Butterfly& b = ButterflyOf(*object);
  Steady(b);
  b.heading.target = 10;  // heading 10° below its target, not turning
  float t = 0;
  object->FrameMove(t);
  EXPECT_EQ(b.bank.target, 25);
  EXPECT_EQ(b.bank.rate, 50);
  while (b.bank.value != 25 && t < 2) object->FrameMove(t += 0.1f);
  ASSERT_EQ(b.bank.value, 25);
  object->FrameMove(t += 0.1f);
  EXPECT_EQ(b.bank.target, 0);
  EXPECT_EQ(b.bank.rate, -50);
  EXPECT_LT(b.bank.value, 25);
}

TEST(Butterflies, AboveTheTopItSinksAndGlidesBelowTheBottomItRises) {
  auto object = Make<DS_3DObjArray>(Flock(1));
  AC_Butterfly& b = ButterflyOf(*object);
  Steady(b);
  b.y = -10;
  b.flap = -20;
  b.flap_speed = -160;
  object->FrameMove(0);
  object->FrameMove(0.005f);  // flap −25.6: not yet below half the lower limit
  EXPECT_EQ(b.mode, 1);
  EXPECT_EQ(b.altitude.target, 100);
  EXPECT_EQ(b.altitude.rate, 250);
  EXPECT_EQ(b.upper_limit, 0);
  EXPECT_EQ(b.applied_mode, 0);
  object->FrameMove(0.01f);  // −31.2
  EXPECT_EQ(b.applied_mode, 1);
  EXPECT_FLOAT_EQ(b.flap_speed, -1.6f);

  b.y = 410;
  const float speed = b.speed.value;
  object->FrameMove(0.02f);
  EXPECT_EQ(b.mode, 0);
  EXPECT_EQ(b.applied_mode, 0);
  EXPECT_EQ(b.altitude.target, -190);
  EXPECT_EQ(b.altitude.rate, -250);
  EXPECT_EQ(b.upper_limit, 55);
  EXPECT_GE(b.flap_speed, -160);
  EXPECT_LE(b.flap_speed, speed / 3 - 50);
}

TEST(Butterflies, WingsFaceTheScreenByTheSignOfTheFlap) {
  auto object = Make<DS_3DObjArray>(Flock(1));
  AC_Butterfly& b = ButterflyOf(*object);
  Steady(b);
  const SceneNode& root = *object->Instances()[0];
  for (const float flap : {10.0f, -10.0f}) {
    b.flap = flap;
    b.flap_speed = 0;
    object->FrameMove(0);
    EXPECT_EQ(root.children[0]->frontSide, flap > 0);
    EXPECT_EQ(root.children[1]->frontSide, flap < 0);
  }
  // The second wing is the first mirrored in x.
  const Vector3 first = Vec3TransformCoord({50, 0, 0}, root.children[0]->world * MatrixInverse(root.world).value());
  const Vector3 second = Vec3TransformCoord({50, 0, 0}, root.children[1]->world * MatrixInverse(root.world).value());
  EXPECT_NEAR(first.x, -second.x, 1e-3);
  EXPECT_NEAR(first.y, second.y, 1e-3);
}

TEST(Butterflies, RandomDecisionsAreDrawnInTheirOrder) {
  bool seen[4] = {};
  for (uint32_t seed = 1; seed < 60; ++seed) {
    auto object = Make<DS_3DObjArray>(Flock(1));
    AC_Butterfly& b = ButterflyOf(*object);
    Steady(b);
    b.last_decision = -1;
    SeedRand(seed);
    object->FrameMove(0);
    test::ExpectedRandom expected(seed);
    const int r = expected.Next() % 5;
    seen[std::min(r, 3)] = true;
    if (r == 0) {
      EXPECT_EQ(b.mode, 0);
      EXPECT_FLOAT_EQ(b.altitude.target, expected.Uniform(-190, 0));
    } else if (r == 1) {
      EXPECT_EQ(b.mode, 1);
      EXPECT_FLOAT_EQ(b.altitude.target, expected.Uniform(100, 150));
    } else if (r == 2) {
      EXPECT_FLOAT_EQ(b.speed.target, expected.Uniform(-25, 300));
      EXPECT_EQ(b.speed.rate, b.speed.target > b.speed.value ? 350 : -350);
    } else {
      const bool back = expected.Next() % 2 == 0;
      const float rate = expected.Uniform(50, 350);
      const float target = back ? expected.Uniform(155, 205) : expected.Uniform(-25, 25);
      EXPECT_FLOAT_EQ(b.heading.target, target) << seed;
      EXPECT_FLOAT_EQ(std::fabs(b.heading.rate), rate);
    }
    EXPECT_EQ(b.last_decision, object->Objects().motion_clock);
  }
  for (bool s : seen) EXPECT_TRUE(s);
}

TEST(Butterflies, TheArrayFollowsItsCountNewestKeptAndCapped) {
  auto object = Make<DS_3DObjArray>(Flock(3));
  ASSERT_EQ(object->Instances().size(), 3u);
  const SceneNode* newest = object->Instances()[2].get();
  object->Objects().count.Set(1);
  ASSERT_EQ(object->Instances().size(), 1u);
  EXPECT_EQ(object->Instances()[0].get(), newest);
  EXPECT_EQ(object->Entries()[0].nodes.size(), 1u);
  EXPECT_EQ(object->Entries()[1].nodes.size(), 2u);
  object->Objects().count.Set(2);
  EXPECT_EQ(object->Instances()[0].get(), newest);
  object->Objects().name = u"Swarm";
  object->Objects().count.Set(0xFFFFFFFFu);
  EXPECT_EQ(object->Instances().size(), kMaxObjectInstances);
  const auto& notices = Notices();
  EXPECT_NE(std::find_if(notices.begin(), notices.end(),
                         [](const std::string& n) { return n.find("\"Swarm\" asks for 4294967295") != std::string::npos; }),
            notices.end());
}

DS_3D_in_2D_array_Constructor Leaves(uint32_t count, uint32_t angle, uint32_t size = 40) {
  DS_3D_in_2D_array_Constructor leaves;
  leaves.count.value = count;
  leaves.drift_angle.value = angle;
  leaves.size.value = size;
  return leaves;
}

DS_LeafFallAnim& LeafOf(const DS_3D_in_2D_array& array, size_t i = 0) {
  return *static_cast<DS_LeafFallAnim*>(array.Entry().root.children[i]->animation.get());
}

TEST(LeafDrift, StreamsAlongItsAngleAndComesBackAtTheOppositeEdge) {
  RecordingDevice screen(1024, 768);
  ScopedRenderContext context(&screen, nullptr);
  auto right = Make<DS_3D_in_2D_array>(Leaves(1, 0));
  DS_LeafFallAnim& leaf = LeafOf(*right);
  const float y0 = leaf.y;
  const auto swings = leaf.swinging;
  float t = 0;
  float previous = leaf.x;
  bool wrapped = false;
  while (!wrapped && t < 60) {
    right->FrameMove(t += 0.1f);
    if (leaf.x < previous) {
      // It left past 1024 + 20 and came back at −20, at a random height.
      EXPECT_GT(previous, 1044);
      EXPECT_EQ(leaf.x, -20);
      wrapped = true;
    } else {
      EXPECT_EQ(leaf.y, y0);  // no wind: no sideways drift
      // v × speed factor × step × 50 each frame.
      EXPECT_NEAR(leaf.x - previous, 50 * leaf.speed_factor * 0.1f * 50, 1e-2);
    }
    previous = leaf.x;
  }
  EXPECT_TRUE(wrapped);
  for (size_t i = 0; i < 2; ++i) EXPECT_EQ(leaf.swinging[i].angle, swings[i].angle) << "no wind, no swing";

  auto falling = Make<DS_3D_in_2D_array>(Leaves(1, 270));
  DS_LeafFallAnim& down = LeafOf(*falling);
  const float x0 = down.x, start = down.y;
  falling->FrameMove(0.1f);
  EXPECT_NEAR(down.x, x0, 1e-3);
  EXPECT_GT(down.y, start);
}

TEST(LeafDrift, ADriftChangeRateOf0NeverChangesTheDrift) {
  auto leaves = Leaves(3, 0);
  leaves.wind.value = 50;
  leaves.change_rate.value = 0;
  auto never = Make<DS_3D_in_2D_array>(leaves);
  const float factor = LeafOf(*never).drift_factor;
  for (float t = 0; t < 120; t += 0.2f) never->FrameMove(t);
  EXPECT_EQ(LeafOf(*never).drift_factor, factor);

  leaves.change_rate.value = 100;
  auto often = Make<DS_3D_in_2D_array>(leaves);
  const float first = LeafOf(*often).drift_factor;
  bool changed = false;
  for (float t = 0; t < 20 && !changed; t += 0.2f) {
    often->FrameMove(t);
    changed = LeafOf(*often).drift_factor != first;
  }
  EXPECT_TRUE(changed);
}

TEST(LeafDrift, CountIsReadOnceAndCapped) {
  auto array = Make<DS_3D_in_2D_array>(Leaves(5, 0));
  array->Drift().count.Set(9);
  EXPECT_EQ(array->Entry().root.children.size(), 5u);
  auto hostile = Make<DS_3D_in_2D_array>(Leaves(0xFFFFFFFFu, 0));
  EXPECT_EQ(hostile->Entry().root.children.size(), kMaxObjectInstances);
  EXPECT_EQ(hostile->Drift().array, hostile.get());
}

}  // namespace
}  // namespace lumi
