// Effect-drawn sprites on the recording device: the glowing object's three
// steps over a sprite drawn before it (techniques, textures, targets, the
// glow colour), its chain pass, the same frame after a device loss; the
// explosion's parameters through its timeline's phases and its noise
// sequence; the still effect sprite's placement and size.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "render/effect.h"
#include "render/losable.h"
#include "render/recording_device.h"
#include "scene/resource_access.h"
#include "sprites/effect_sprite_objs.h"
#include "tests/particles/builtin_program_access.h"
#include "tests/render/recorded_draws.h"
#include "tests/render/test_backdrop.h"
#include "tests/sprites/sprite_test_support.h"

namespace lumi {
namespace {

using test::Population;

struct EffectStage;
EffectStage* current_stage = nullptr;

// A chain-drawing slide on the recording device: links named "sprite" and
// "glow" have 4 x 4 pictures, every other link none.
struct EffectStage {
  RecordingDevice device{128, 128};
  test::TestBackdrop backdrop{device, 128, 128};
  test::BuiltinProgramAccess programs{device};
  LosableTable losable;
  std::shared_ptr<Texture> sprite_picture = device.CreateTexture({4, 4});
  std::shared_ptr<Texture> glow_picture = device.CreateTexture({4, 4});

  EffectStage() {
    current_stage = this;
    SetCurrentLosableRegistry(&losable);
    DocumentResourceAccess().frames = FramesOf;
    backdrop.RestoreDevice();
  }
  ~EffectStage() {
    SetCurrentLosableRegistry(nullptr);
    current_stage = nullptr;
  }

  static PictureFrames FramesOf(const ResourceKey& key) {
    if (key.name == u"sprite") return {{current_stage->sprite_picture}, {}, 4, 4, 1, 1, 1};
    if (key.name == u"glow") return {{current_stage->glow_picture}, {}, 4, 4, 1, 1, 1};
    return {};
  }

  // One frame as the slide show draws it: the chain when an object reads
  // the picture, the picture, then the objects from the last to the first.
  void Frame(const RenderList& objects) {
    device.ClearLog();
    int passes = 0;
    for (const auto& object : objects) passes += object->BackgroundPasses();
    ASSERT_TRUE(device.BeginScene());
    if (passes > 0) {
      ASSERT_TRUE(backdrop.BeginOffscreen());
    }
    backdrop.DrawPicture(false);
    backdrop.RenderObjects(objects, passes);
    device.EndScene();
  }
};

DS_StatObjConstructor EarlierSprite() {
  auto still = Population<DS_StatObjConstructor>(1, 20);
  still.flag = 1;
  still.centre.x.value = still.centre.y.value = 40;
  still.picture.key = {u"sprite", 0};
  return still;
}

DS_DischargeFXConstructor GlowingSprite(int glow_mode) {
  auto glowing = Population<DS_DischargeFXConstructor>(1, 20);
  glowing.flag = 1;
  glowing.centre.x.value = glowing.centre.y.value = 50;
  glowing.picture.key = {u"sprite", 0};
  glowing.second_picture.key = {u"glow", 0};
  glowing.sprite_colour.value = 0x000000FF;  // red
  glowing.glow_mode.value = glow_mode;
  glowing.glow_brightness.value = 150;
  return glowing;
}

template <typename Object>
std::shared_ptr<Object> Made(const DS_ABObj_Constructor& constructor) {
  auto made = constructor.CreateRenderObject();
  auto* object = dynamic_cast<Object*>(made.get());
  EXPECT_NE(object, nullptr) << "plays as the wrong render object";
  if (object == nullptr) return nullptr;
  made.release();
  return std::shared_ptr<Object>(object);
}

TEST(GlowingSprites, TheLayerIsComposedOverTheSpriteDrawnBeforeIt) {
  EffectStage stage;
  const auto earlier = Made<DS_SpriteArrayObj>(EarlierSprite());
  const auto glowing = Made<DS_GlowingObj>(GlowingSprite(1));
  ASSERT_TRUE(earlier && glowing);
  earlier->FrameMove(0);
  glowing->FrameMove(0);
  EXPECT_TRUE(glowing->NeedsBackground());
  stage.Frame({glowing, earlier});

  const auto& draws = stage.device.Draws();
  ASSERT_EQ(test::Techniques(stage.device), (std::vector<std::string>{"", "", "Blend_Max", "Blend_Screen", "Common"}));
  const RecordedDraw &sprite = draws[1], &max = draws[2], &screen = draws[3], &common = draws[4];
  // The glow picture into the private layer.
  ASSERT_NE(glowing->GlowLayer(), nullptr);
  EXPECT_EQ(max.renderTarget, glowing->GlowLayer()->Target());
  EXPECT_EQ(max.renderTarget->Width(), DS_GlowingObj::kGlowLayerSize);
  EXPECT_EQ(max.renderTarget->Height(), DS_GlowingObj::kGlowLayerSize);
  EXPECT_TRUE(test::Binds(max, stage.glow_picture));
  // The layer over what the earlier sprite was drawn into, onto the screen.
  EXPECT_TRUE(test::Binds(screen, glowing->GlowLayer()->Target()));
  EXPECT_TRUE(test::Binds(screen, sprite.renderTarget)) << "composes over all drawn before it, not the bare picture";
  EXPECT_NE(sprite.renderTarget, stage.device.GetRenderTarget());
  EXPECT_EQ(screen.renderTarget, stage.device.GetRenderTarget());
  EXPECT_EQ(screen.Constant("BlendColor"), (std::vector<float>{1, 0, 0, 1.5f}));
  // The sprites themselves, with their own picture, over the result.
  EXPECT_TRUE(test::Binds(common, stage.sprite_picture));
  EXPECT_FALSE(test::Binds(common, stage.glow_picture));
  EXPECT_EQ(common.renderTarget, stage.device.GetRenderTarget());
}

TEST(GlowingSprites, ModeLevelAndAMissingGlowPicture) {
  EffectStage stage;
  const auto normal = Made<DS_GlowingObj>(GlowingSprite(0));
  ASSERT_TRUE(normal);
  normal->data->timing.current().level = 0.5f;
  normal->FrameMove(0);
  stage.Frame({normal});
  EXPECT_EQ(test::Techniques(stage.device), (std::vector<std::string>{"", "Blend_Max", "Blend_Normal", "Common"}));
  EXPECT_EQ(stage.device.Draws()[2].Constant("BlendColor"), (std::vector<float>{1, 0, 0, 0.75f}));

  // Hidden, it reads no picture and draws no layer.
  normal->data->timing.current().level = 0;
  normal->FrameMove(0.1f);
  EXPECT_FALSE(normal->NeedsBackground());
  stage.Frame({normal});
  EXPECT_EQ(test::Techniques(stage.device), (std::vector<std::string>{"", "Common"}));

  // Without its glow picture the chain pass still hands the picture on.
  auto plain = GlowingSprite(1);
  plain.second_picture.key = {};
  const auto unlit = Made<DS_GlowingObj>(plain);
  ASSERT_TRUE(unlit);
  unlit->FrameMove(0);
  stage.Frame({unlit});
  EXPECT_EQ(test::Techniques(stage.device), (std::vector<std::string>{"", "", "Common"}));
  EXPECT_EQ(stage.device.Draws()[1].renderTarget, stage.device.GetRenderTarget());
}

TEST(GlowingSprites, TheSameFrameAfterADeviceLoss) {
  EffectStage stage;
  const auto earlier = Made<DS_SpriteArrayObj>(EarlierSprite());
  const auto glowing = Made<DS_GlowingObj>(GlowingSprite(1));
  ASSERT_TRUE(earlier && glowing);
  const RenderList objects{glowing, earlier};
  earlier->FrameMove(0.5f);
  glowing->FrameMove(0.5f);
  stage.Frame(objects);
  const std::vector<std::string> before = test::Techniques(stage.device);
  const std::vector<float> colour = stage.device.Draws().at(3).Constant("BlendColor");

  stage.device.ClearLog();  // the log's snapshots hold the targets
  stage.backdrop.LoseDevice();
  stage.losable.LoseAll();
  glowing->Program()->OnLostDevice();  // as the document's table tells its programs
  EXPECT_EQ(glowing->GlowLayer()->Target(), nullptr) << "the layer lives in the default pool";
  stage.device.LoseDevice();
  ASSERT_TRUE(stage.device.Reset()) << stage.device.LastError();
  stage.backdrop.RestoreDevice();
  stage.losable.RestoreAll();
  glowing->Program()->OnResetDevice();

  earlier->FrameMove(0.5f);
  glowing->FrameMove(0.5f);
  stage.Frame(objects);
  EXPECT_EQ(test::Techniques(stage.device), before);
  const auto& draws = stage.device.Draws();
  ASSERT_EQ(draws.size(), 5u);
  ASSERT_NE(glowing->GlowLayer()->Target(), nullptr);
  EXPECT_EQ(draws[2].renderTarget, glowing->GlowLayer()->Target());
  EXPECT_EQ(glowing->GlowLayer()->Target()->Width(), DS_GlowingObj::kGlowLayerSize);
  EXPECT_TRUE(test::Binds(draws[3], glowing->GlowLayer()->Target()));
  EXPECT_EQ(draws[3].Constant("BlendColor"), colour);
}

DS_ExplosionConstructor Explosion() {
  auto explosion = Population<DS_ExplosionConstructor>(1, 0);
  explosion.flag = 1;
  explosion.position.value = {30, 40, 0};
  explosion.width.value = 40;
  explosion.height.value = 20;
  explosion.picture.key = {u"sprite", 0};
  explosion.second_picture.key = {u"glow", 0};
  explosion.noise[0].value = 300;
  explosion.noise[1].value = 50;
  explosion.noise[2].value = 25;
  explosion.noise_seed.value = 7;
  return explosion;
}

TEST(ExplosionSprites, PhasesTexturesAndNoiseOfTheMainTechnique) {
  EffectStage stage;
  const auto object = Made<DS_FXObj>(Explosion());
  ASSERT_TRUE(object);
  const auto draw = [&](int state, float level, float t) {
    object->data->timing.current().state = state;
    object->data->timing.current().level = level;
    object->FrameMove(t);
    stage.Frame({object});
    EXPECT_EQ(test::Techniques(stage.device), (std::vector<std::string>{"", "Main"}));
    return stage.device.Draws().back();
  };
  const RecordedDraw on = draw(0, 1, 0);
  EXPECT_TRUE(test::Binds(on, stage.sprite_picture) && test::Binds(on, stage.glow_picture));
  EXPECT_EQ(on.Constant("phase_1st"), std::vector<float>{0});
  EXPECT_EQ(on.Constant("phase_3rd"), (std::vector<float>{0, 1}));
  const std::vector<float> noise = on.Constant("noise_params");
  ASSERT_EQ(noise.size(), 3u);
  EXPECT_NEAR(noise[0], 3, 1e-6);  // raws × 0.01
  EXPECT_NEAR(noise[1], 0.5f, 1e-6);
  EXPECT_NEAR(noise[2], 0.25f, 1e-6);
  EXPECT_EQ(draw(2, 0.25f, 0.1f).Constant("phase_1st"), std::vector<float>{1.5f}) << "growing";
  EXPECT_EQ(draw(3, 0.25f, 0.2f).Constant("phase_3rd"), (std::vector<float>{0.75f, 0.25f})) << "dissolving";
  EXPECT_EQ(draw(1, 0, 0.3f).Constant("phase_3rd"), (std::vector<float>{0, 1}));

  // Each whole second of the clock moves the noise on along the sequence
  // seeded from the setting: the first move keeps the offsets.
  test::ExpectedRandom sequence(7);
  const float first[2] = {sequence.Uniform(0, 1), sequence.Uniform(0, 1)};
  const float second[2] = {sequence.Uniform(0, 1), sequence.Uniform(0, 1)};
  auto& explosion = static_cast<DS_ExplosionConstructor&>(object->Population());
  for (float t = 0.4f; t < 1.5f; t += 0.1f) object->FrameMove(t);
  EXPECT_EQ(explosion.noise_moves, 1u);
  EXPECT_EQ(explosion.new_offset, (std::array<float, 2>{0, 0}));
  for (float t = 1.5f; t < 2.5f; t += 0.1f) object->FrameMove(t);
  EXPECT_EQ(explosion.new_offset, (std::array<float, 2>{first[0], first[1]}));
  for (float t = 2.5f; t < 3.45f; t += 0.1f) object->FrameMove(t);
  EXPECT_EQ(explosion.old_offset, (std::array<float, 2>{first[0], first[1]}));
  EXPECT_EQ(explosion.new_offset, (std::array<float, 2>{second[0], second[1]}));
  // Both pairs drift against the direction with the clock.
  const RecordedDraw later = draw(0, 1, 3.45f);
  const float clock = explosion.motion_clock;
  const std::vector<float> shift = later.Constant("noise_shift");
  ASSERT_EQ(shift.size(), 4u);
  EXPECT_NEAR(shift[0], first[0] - explosion.drift.direction()[0] * clock, 1e-4);
  EXPECT_NEAR(shift[3], second[1] - explosion.drift.direction()[1] * clock, 1e-4);
  const std::vector<float> time = later.Constant("time");
  EXPECT_NEAR(time.at(0), clock - 3, 1e-5);
  EXPECT_NEAR(time.at(0) + time.at(1), 1, 1e-6);
}

TEST(ExplosionSprites, OneSpriteCentredWhenUnplacedAndHitInsideItsQuad) {
  EffectStage stage;
  const auto placed = Made<DS_FXObj>(Explosion());
  ASSERT_TRUE(placed);
  ASSERT_EQ(placed->Sprites().size(), 1u);
  EXPECT_EQ(placed->Sprites()[0].position, (Vector3{30, 40, 0}));
  EXPECT_EQ(placed->Sprites()[0].width, 20);
  EXPECT_EQ(placed->Sprites()[0].height, 10);
  EXPECT_TRUE(placed->TestPoint(49, 49));
  EXPECT_FALSE(placed->TestPoint(51, 40));
  EXPECT_FALSE(placed->TestPoint(30, 51));

  auto unplaced = Explosion();
  unplaced.flag = 0;
  const auto centred = Made<DS_FXObj>(unplaced);
  ASSERT_TRUE(centred);
  EXPECT_EQ(centred->Sprites()[0].position, (Vector3{64, 64, 0})) << "the centre of the 128 x 128 unit";
  EXPECT_EQ(centred->Population().flag, 1);
}

}  // namespace
}  // namespace lumi
