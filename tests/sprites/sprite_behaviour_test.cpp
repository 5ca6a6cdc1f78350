// How sprite populations are born and move: births against the generator's
// recurrence, fish at the edges, flows and their bounds, pulses, lightning
// pauses, clocks and views, and the settings that would break them.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "render/current_context.h"
#include "render/recording_device.h"
#include "scene/notices.h"
#include "tests/sprites/sprite_test_support.h"

namespace lumi {
namespace {

using test::ExpectedRandom;
using test::Play;
using test::Population;
using test::PlayFrames;

TEST(SpriteBirths, FishAndBirdsDrawTheirSettingsInOrder) {
  auto fish = Population<DS_FishConstructor>(3);
  fish.left = 0.1f;
  fish.right = 0.9f;
  fish.top = 0.2f;
  fish.bottom = 0.8f;
  fish.scale_min.value = 1;
  fish.scale_max.value = 2;
  fish.glow_rate.value = 0.5f;
  fish.max_speed_x.value = 30;
  fish.max_speed_y.value = 20;
  const auto object = Play(fish, 7);
  ExpectedRandom r(7);
  ASSERT_EQ(object->Sprites().size(), 3u);
  for (const Sprite& s : object->Sprites()) {
    const float scale = r.Uniform(1, 2);
    const float pulse = r.Next() % 2 ? -0.5f : 0.5f;
    const float vx = r.Uniform(-30, 30), vy = r.Uniform(-20, 20);
    // The view's pixel edges on the 640 x 400 default unit: 64, 576, 80, 320.
    const float x = r.Uniform(64, 576), y = r.Uniform(80, 320);
    EXPECT_FLOAT_EQ(s.scale, scale);
    EXPECT_EQ(s.pulse_rate, pulse);
    EXPECT_FLOAT_EQ(s.velocity.x, vx);
    EXPECT_FLOAT_EQ(s.velocity.y, vy);
    EXPECT_FLOAT_EQ(s.position.x, x);
    EXPECT_FLOAT_EQ(s.position.y, y);
    // No picture: square, mirrored when swimming left.
    EXPECT_FLOAT_EQ(std::fabs(s.width), 8 * scale);
    EXPECT_EQ(s.width < 0, vx < 0);
  }

  // Birds keep their speeds high and their vertical direction.
  auto birds = Population<DS_BirdConstructor>(40);
  birds.max_speed_x.value = 100;
  birds.max_speed_y.value = 100;
  const auto flock = Play(birds, 11);
  ExpectedRandom b(11);
  int slow_draws = 0;
  for (const Sprite& s : flock->Sprites()) {
    b.Uniform(1, 1);
    b.Next();
    float vx = b.Uniform(-100, 100);
    float vy = b.Uniform(-100, 100);
    if (std::fabs(vy) < 70) {
      vy = std::copysign(0.3f / 0.7f * std::fabs(vy) + 70, vy);
      ++slow_draws;
    }
    if (std::fabs(vx) < 70) vx = std::copysign(b.Uniform(70, 100), vx);
    b.Uniform(0, 640);
    b.Uniform(0, 400);
    EXPECT_FLOAT_EQ(s.velocity.y, vy);
    EXPECT_FLOAT_EQ(s.velocity.x, vx);
    EXPECT_GE(std::fabs(s.velocity.y), 70);
  }
  EXPECT_GT(slow_draws, 0);
}

TEST(SpriteBirths, FlowsSparklesFogAndRaysDrawInTheirOrder) {
  auto flow = Population<DS_FlowConstructor>(2);
  const auto flowing = Play(flow, 3);
  ExpectedRandom r(3);
  for (const Sprite& s : flowing->Sprites()) {
    r.Uniform(1, 1);
    r.Next();
    EXPECT_FLOAT_EQ(s.velocity.z, r.Uniform(-1, 1));
    EXPECT_FLOAT_EQ(s.position.x, r.Uniform(0, 640));
    EXPECT_FLOAT_EQ(s.position.y, r.Uniform(0, 400));
  }

  auto sparkle = Population<DS_SparkleConstructor>(2);
  const auto sparkling = Play(sparkle, 5);
  r = ExpectedRandom(5);
  for (const Sprite& s : sparkling->Sprites()) {
    r.Uniform(1, 1);
    r.Next();
    EXPECT_FLOAT_EQ(s.velocity.x, r.Uniform(-25, 25));
    EXPECT_FLOAT_EQ(s.velocity.y, r.Uniform(-25, 25));
    EXPECT_FLOAT_EQ(s.position.x, r.Uniform(0, 640));
    EXPECT_FLOAT_EQ(s.position.y, r.Uniform(0, 400));
    EXPECT_FLOAT_EQ(s.glow, r.Uniform(0, 1));
  }

  auto fog = Population<DS_FogConstructor>(2);
  const auto foggy = Play(fog, 9);
  r = ExpectedRandom(9);
  for (const Sprite& s : foggy->Sprites()) {
    r.Uniform(1, 1);
    r.Next();
    EXPECT_FLOAT_EQ(s.position.x, r.Uniform(0, 640));
    EXPECT_FLOAT_EQ(s.position.y, r.Uniform(0, 400));
    EXPECT_FLOAT_EQ(s.velocity.x, r.Uniform(-40, 40));
    EXPECT_FLOAT_EQ(s.velocity.y, r.Uniform(-40, 40));
    EXPECT_FLOAT_EQ(s.glow, r.Uniform(0, 1));
    EXPECT_FLOAT_EQ(s.turn, r.Uniform(-0.004f, 0.004f));
  }

  // Rays stand in the middle of their view, slanted; lying flat (0 or 180)
  // they would reach millions of pixels sideways.
  for (unsigned int angle : {80u, 0u, 180u, 360u}) {
    auto rays = Population<DS_GodRayConstructor>(2, 20);
    rays.top = 0.5f;
    rays.ray_angle.value = angle;
    const auto rayed = Play(rays, 13);
    r = ExpectedRandom(13);
    for (const Sprite& s : rayed->Sprites()) {
      r.Uniform(1, 1);
      r.Next();
      EXPECT_FLOAT_EQ(s.position.x, r.Uniform(0, 640));
      EXPECT_FLOAT_EQ(s.velocity.x, r.Uniform(-10, 10));
      EXPECT_FLOAT_EQ(s.glow, r.Uniform(0, 1));
      EXPECT_FLOAT_EQ(s.position.y, 300);  // (0.5 + 1) × 400 / 2
      EXPECT_FLOAT_EQ(s.height, 200);
      EXPECT_FLOAT_EQ(s.width, 10);
      EXPECT_LT(std::fabs(s.axis_v.x), 58) << angle;
    }
  }
}

TEST(FishMotion, TurnsAtTheEdgesAndKeepsItsDirectionThroughChanges) {
  // A fish just beyond the left edge, swimming left, turns right and is no
  // longer mirrored.
  auto fish = Population<DS_FishConstructor>(0);
  fish.left = 0.25f;
  fish.right = 0.75f;
  fish.max_speed_x.value = 50;
  fish.FollowUnit(640, 400);
  fish.motion_step = 0.02f;
  Sprite s;
  s.width = -10;
  s.height = 5;
  s.position = {160 - 10 - 1, 200, 0};
  s.velocity = {-20, 0, 0};
  fish.UpdateSprite(s);
  EXPECT_EQ(s.velocity.x, 20);
  EXPECT_EQ(s.width, 10);
  EXPECT_TRUE(fish.changed);

  // A school over 60 s stays within its view and a step of the edges, and
  // changes direction only where it turns.
  auto school = Population<DS_FishConstructor>(30);
  school.left = 0.2f;
  school.right = 0.8f;
  school.top = 0.3f;
  school.bottom = 0.7f;
  school.max_speed_x.value = 120;
  school.max_speed_y.value = 40;
  const auto object = Play(school, 21);
  std::vector<Sprite> before = object->Sprites();
  const float step = 120.0f / 60;
  PlayFrames(*object, 0, 60, 60, [&](const DS_SpriteArrayObj& o) {
    for (size_t i = 0; i < o.Sprites().size(); ++i) {
      const Sprite& s = o.Sprites()[i];
      const float w = std::fabs(s.width);
      ASSERT_GE(s.position.x, 128 - w - step);
      ASSERT_LE(s.position.x, 512 + w + step);
      ASSERT_EQ(s.width < 0, s.velocity.x < 0);
      if ((s.velocity.x < 0) != (before[i].velocity.x < 0)) {
        const float x = before[i].position.x + before[i].velocity.x / 60;
        EXPECT_TRUE(x + w < 128 || x - w > 512) << "turned at " << x;
      }
    }
    before = o.Sprites();
  });
}

// One sprite of `flow` (whole-screen view), moved by hand.
struct FlowStage {
  FlowStage(DS_FlowConstructor& made, Vector3 position) : flow(made) {
    flow.PrepareRun();
    sprite.flow_sign = {1, 1, 0};
    sprite.width = sprite.height = 10;
    sprite.position = position;
  }
  void Frames(int count, float dt = 0.01f) {
    for (int i = 0; i < count; ++i) {
      flow.motion_step = dt;
      flow.motion_clock += dt;
      flow.UpdateSprite(sprite);
    }
  }
  DS_FlowConstructor& flow;
  Sprite sprite;
};

TEST(FishMotion, GhostsFollowTheLevelAndStartAnewWhenTheTimelineComesBack) {
  auto ghosts = Population<DS_GhostConstructor>(3);
  ghosts.max_speed_x.value = 40;
  const auto object = Play(ghosts);
  VRN_Timing& timeline = object->data->timing.current();
  timeline.level = 0.25f;
  object->FrameMove(0.1f);
  EXPECT_EQ(object->Sprites()[0].glow, 0.25f);
  EXPECT_EQ(object->Sprites()[0].colour >> 24, 63u);
  timeline.state = VRN_Timing::kOff;
  object->FrameMove(0.2f);
  const std::vector<Sprite> before = object->Sprites();
  timeline.state = VRN_Timing::kFadingIn;
  object->FrameMove(0.3f);
  for (size_t i = 0; i < before.size(); ++i) {
    EXPECT_NE(object->Sprites()[i].position.x, before[i].position.x + before[i].velocity.x * 0.1f) << "born again";
  }
  const std::vector<Sprite> reborn = object->Sprites();
  object->FrameMove(0.4f);
  EXPECT_NEAR(object->Sprites()[0].position.x, reborn[0].position.x + reborn[0].velocity.x * 0.1f, 1e-3);
}

TEST(FlowBounds, WrapFadesOutReentersAndFadesIn) {
  auto flow = Population<DS_FlowConstructor>(0);
  flow.flow_speed.value = 100;
  flow.wobble_rate.Set(0);
  DS_BoundControl& right = flow.bounds[DS_BoundControl::kRight];
  right.fade_out_ms.value = 200;
  right.fade_in_ms.value = 100;
  FlowStage stage(flow, {655, 200, 0});
  stage.Frames(1);  // x 656: outside (x − w > 640)
  EXPECT_EQ(stage.sprite.active_bound, DS_BoundControl::kRight);
  stage.Frames(10);
  EXPECT_NEAR(stage.sprite.glow, 0.5f, 1e-4);
  stage.Frames(10);
  EXPECT_EQ(stage.sprite.glow, 0);
  EXPECT_TRUE(stage.sprite.stopped);
  stage.Frames(1);  // re-enters at the left edge
  EXPECT_EQ(stage.sprite.position.x, -9);
  EXPECT_TRUE(stage.sprite.fading_in);
  stage.Frames(5);
  EXPECT_NEAR(stage.sprite.glow, 0.5f, 1e-4);  // no pause: it fades in at once
  stage.Frames(6);
  EXPECT_EQ(stage.sprite.glow, 1);
  EXPECT_EQ(stage.sprite.active_bound, -1);
  EXPECT_FALSE(stage.sprite.stopped);
  EXPECT_GT(stage.sprite.position.x, -9);
}

TEST(FlowBounds, BounceAndLeaveAndReturn) {
  auto bouncing = Population<DS_FlowConstructor>(0);
  bouncing.flow_speed.value = 100;
  bouncing.wobble_rate.Set(0);
  bouncing.bounds[DS_BoundControl::kRight].bound_mode.value = DS_BoundControl::kBounce;
  FlowStage bounce(bouncing, {625, 200, 0});
  bounce.Frames(10);
  EXPECT_EQ(bounce.sprite.flow_sign.x, -1);
  EXPECT_LT(bounce.sprite.position.x, 630);
  bounce.Frames(50);
  EXPECT_LT(bounce.sprite.position.x, 600);
  EXPECT_EQ(bounce.sprite.active_bound, -1);

  auto leaving = Population<DS_FlowConstructor>(0);
  leaving.flow_speed.value = 100;
  leaving.wobble_rate.Set(0);
  DS_BoundControl& right = leaving.bounds[DS_BoundControl::kRight];
  right.bound_mode.value = DS_BoundControl::kLeaveAndReturn;
  right.pause_min_ms.value = right.pause_max_ms.value = 500;
  FlowStage leave(leaving, {655, 200, 0});
  leave.Frames(1);
  EXPECT_TRUE(leave.sprite.stopped);
  EXPECT_EQ(leave.sprite.flow_sign.x, -1);
  leave.Frames(49);
  EXPECT_TRUE(leave.sprite.stopped) << "paused 0.49 s";
  leave.Frames(3);
  EXPECT_FALSE(leave.sprite.stopped);
  leave.Frames(30);
  EXPECT_LT(leave.sprite.position.x, 640);
  EXPECT_EQ(leave.sprite.active_bound, -1);
}

TEST(FlowFacing, AxesFollowTheFlow) {
  auto flow = Population<DS_FlowConstructor>(1);
  flow.flow_angle.value = 90;  // straight up
  flow.flow_speed.value = 50;
  flow.facing.value = 1;
  auto turned = Play(flow);
  EXPECT_NEAR(turned->Sprites()[0].axis_u.y, -1, 1e-6);
  EXPECT_NEAR(turned->Sprites()[0].axis_v.x, 1, 1e-6);

  flow.flow_angle.value = 180;  // to the left
  flow.facing.value = 2;
  auto mirrored = Play(flow);
  mirrored->FrameMove(0.1f);
  EXPECT_EQ(mirrored->Sprites()[0].axis_u.x, -1);

  flow.flow_angle.value = 90;
  flow.facing.value = 3;
  auto upward = Play(flow);
  upward->FrameMove(0.1f);
  EXPECT_EQ(upward->Sprites()[0].axis_v.y, -1);

  flow.facing.value = 0;
  auto plain = Play(flow);
  plain->FrameMove(0.1f);
  EXPECT_EQ(plain->Sprites()[0].axis_u, (Vector3{1, 0, 0}));
}

TEST(FlowBounds, RainKeepsFallingAfterAMinute) {
  auto rain = Population<DS_RainConstructor>(200, 4);
  rain.flow_angle.value = 270;  // down
  rain.flow_speed.value = 300;
  rain.glow_rate.value = 0.5f;
  rain.glow_min.value = 0.3f;
  for (DS_BoundControl& bound : rain.bounds) bound.fade_out_ms.value = 300;
  const auto object = Play(rain, 4);
  PlayFrames(*object, 0, 60, 30, [](const DS_SpriteArrayObj&) {});
  const auto inside = std::count_if(object->Sprites().begin(), object->Sprites().end(), [](const Sprite& s) {
    return s.position.y > 0 && s.position.y < 400 && s.fade > 0;
  });
  EXPECT_GT(inside, 150);
}

TEST(GlowPulse, ReBornAtTheMinimumAndAlphaClamped) {
  auto sparkle = Population<DS_SparkleConstructor>(0);
  sparkle.glow_min.value = 0.1f;
  sparkle.motion_step = 0.05f;
  Sprite s;
  s.glow = 0.11f;
  s.pulse_rate = -1;
  s.position = {-500, -500, 0};
  sparkle.UpdateSprite(s);
  EXPECT_EQ(s.glow, 0.1f);
  EXPECT_EQ(s.pulse_rate, 1);
  EXPECT_GE(s.position.x, 0) << "born again in the view";

  // A glow maximum of 2 doubles the opacity: it stays at 255.
  auto bright = Population<DS_SparkleConstructor>(0);
  Sprite lit;
  lit.glow = 2;
  bright.ColourSprite(lit);
  EXPECT_EQ(lit.colour >> 24, 255u);
  bright.sprite_colour.value = 0x00332211;  // blue 33, green 22, red 11
  lit.glow = 0.5f;
  bright.ColourSprite(lit);
  EXPECT_EQ(lit.colour, 0x7F112233u);
}

TEST(Lightning, StaysDarkWithinItsPauseBounds) {
  auto lightning = Population<DS_LightingConstructor>(5);
  lightning.pause_min.value = 50;
  lightning.pause_max.value = 150;
  const auto object = Play(lightning, 17);
  std::vector<float> dark_since(5, -1);
  int pauses = 0;
  float time = 0;
  PlayFrames(*object, 0, 60, 100, [&](const DS_SpriteArrayObj& o) {
    time += 0.01f;
    for (size_t i = 0; i < 5; ++i) {
      const Sprite& s = o.Sprites()[i];
      if (s.glow <= 0 && dark_since[i] < 0) dark_since[i] = time;
      if (s.glow > 0 && dark_since[i] >= 0) {
        const float dark = time - dark_since[i];
        EXPECT_GE(dark, 0.5f - 0.02f);
        EXPECT_LE(dark, 1.5f + 0.02f);
        dark_since[i] = -1;
        ++pauses;
      }
    }
  });
  EXPECT_GT(pauses, 20);
}

TEST(MotionClock, RunsAtRealSpeedAtFiftyAndFreezesAtZero) {
  auto fish = Population<DS_FishConstructor>(4);
  fish.max_speed_x.value = 10;
  const auto swimming = Play(fish);
  PlayFrames(*swimming, 0, 2, 30, [](const DS_SpriteArrayObj&) {});
  EXPECT_NEAR(swimming->Population().motion_clock, 2, 1e-4);

  fish.motion_speed.Set(0);
  const auto frozen = Play(fish);
  const std::vector<Sprite> born = frozen->Sprites();
  PlayFrames(*frozen, 0, 2, 30, [](const DS_SpriteArrayObj&) {});
  for (size_t i = 0; i < born.size(); ++i) EXPECT_EQ(frozen->Sprites()[i].position, born[i].position);

  // A restart brings the clock back and births the population again.
  swimming->Restart();
  EXPECT_EQ(swimming->Population().motion_clock, 0);
}

TEST(SpriteView, FractionsKeepTheirPlaceOnAnotherScreen) {
  auto fog = Population<DS_FogConstructor>(6);
  fog.left = 0.5f;
  const auto small = Play(fog, 23);
  RecordingDevice device(1280, 720);
  ScopedRenderContext context(&device, nullptr);
  const auto large = Play(fog, 23);
  for (size_t i = 0; i < 6; ++i) {
    EXPECT_NEAR(large->Sprites()[i].position.x / 1280, small->Sprites()[i].position.x / 640, 1e-5);
    EXPECT_NEAR(large->Sprites()[i].position.y / 720, small->Sprites()[i].position.y / 400, 1e-5);
    EXPECT_GE(large->Sprites()[i].position.x, 640);
  }
}

TEST(SpriteSettings, HostileCountsAndNonNumbersAreTamed) {
  auto many = Population<DS_SparkleConstructor>(0xFFFFFFFFu, 2);
  many.name = u"swarm";
  const auto swarm = Play(many);
  EXPECT_EQ(swarm->Sprites().size(), 65536u);
  const auto& notices = Notices();
  EXPECT_NE(std::find_if(notices.begin(), notices.end(),
                         [](const std::string& n) { return n.find("\"swarm\" asks for 4294967295") != n.npos; }),
            notices.end());

  auto broken = Population<DS_FishConstructor>(3);
  broken.name = u"broken";
  broken.scale_max.value = NAN;
  broken.max_speed_x.value = INFINITY;
  broken.left = NAN;
  const auto fixed = Play(broken);
  for (const Sprite& s : fixed->Sprites()) {
    EXPECT_TRUE(std::isfinite(s.width) && std::isfinite(s.velocity.x) && std::isfinite(s.position.x));
  }
  EXPECT_NE(std::find_if(notices.begin(), notices.end(),
                         [](const std::string& n) { return n.find("\"broken\" has settings") != n.npos; }),
            notices.end());

  // A sheet of no frames counts as one frame; no picture keeps sprites square.
  auto sheet = Population<DS_SparkleConstructor>(1);
  sheet.sheet_flag = 1;
  sheet.frame_count.value = 0;
  sheet.columns_value = 10;
  const auto sheeted = Play(sheet);
  PlayFrames(*sheeted, 0, 1, 30, [](const DS_SpriteArrayObj& o) { EXPECT_EQ(o.SheetFrame(), 0u); });
  EXPECT_FLOAT_EQ(sheeted->Sprites()[0].aspect, 1);
}

TEST(StaticSprites, DischargeAlwaysChangesFrameAndNeverLoopsOnOne) {
  DS_DischargeConstructor discharge;
  discharge.sheet_flag = 1;
  discharge.frame_count.value = 4;
  SeedRand(5);
  uint32_t frame = 0;
  for (int i = 0; i < 200; ++i) {
    const uint32_t next = discharge.NextSheetFrame(frame);
    ASSERT_NE(next, frame);
    ASSERT_LT(next, 4u);
    frame = next;
  }
  discharge.frame_count.value = 1;
  EXPECT_EQ(discharge.NextSheetFrame(0), 0u);

  // An unplaced static object starts at the screen's centre.
  DS_StatObjConstructor still;
  still.population.value = 7;
  const auto object = Play(still);
  ASSERT_EQ(object->Sprites().size(), 1u);
  EXPECT_EQ(object->Sprites()[0].position, (Vector3{320, 200, 0}));
}

TEST(SwayingSprites, FlowersAndGrassKeepTheirFeet) {
  auto flower = Population<DS_FlowerConstructor>(1, 40);
  flower.flag = 1;
  flower.centre.x.value = 100;
  flower.centre.y.value = 100;
  flower.sway_amplitude.value = 20;
  const auto object = Play(flower);
  const Vector3 foot{100, 120, 0};
  float widest = 0;
  PlayFrames(*object, 0, 4, 30, [&](const DS_SpriteArrayObj& o) {
    const Sprite& s = o.Sprites()[0];
    const Vector3 bottom = s.position + s.axis_v * s.height;
    EXPECT_NEAR(bottom.x, foot.x, 1e-3);
    EXPECT_NEAR(bottom.y, foot.y, 1e-3);
    widest = std::max(widest, std::fabs(s.axis_v.x));
  });
  EXPECT_GT(widest, 0.2f) << "the flower sways";

  auto grass = Population<DS_GrassConstructor>(3, 30);
  grass.sway_amplitude.value = 10;
  const auto blades = Play(grass);
  PlayFrames(*blades, 0, 1, 30, [](const DS_SpriteArrayObj& o) {
    for (const Sprite& s : o.Sprites()) {
      EXPECT_NEAR((s.position + s.axis_v * s.height).y, s.anchor.y, 1e-3);
      EXPECT_LE(std::fabs(s.axis_v.x), std::sin(10 * kPi / 180) + 1e-5);
    }
  });
}

}  // namespace
}  // namespace lumi
