// Captions on the recording device: the tint faded by the timeline, the
// programs and textures each family draws with (a missing picture never
// showing another caption's texture), the shadow's shift, both scrolls,
// and the links' hit tests.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "particles/particle_system_obj.h"
#include "render/recording_device.h"
#include "scene/resource_access.h"
#include "sprites/effect_sprite_objs.h"
#include "tests/particles/builtin_program_access.h"
#include "tests/render/recorded_draws.h"
#include "tests/render/test_backdrop.h"
#include "tests/sprites/sprite_test_support.h"
#include "tests/text/caption_picture_id.h"
#include "text/caption_particles.h"
#include "text/caption_sprites.h"
#include "text/link_cursor.h"
#include "timing/manual_timeline.h"

namespace lumi {
namespace {


struct Stage;
Stage* current_stage = nullptr;

// The caption picture is 8 x 4 pixels, under test::kCaptionPictureId for the sprite
// family and the link "caption" for the particle family.
struct Stage {
  RecordingDevice device{128, 128};
  test::TestBackdrop backdrop{device, 128, 128};
  test::BuiltinProgramAccess programs{device};
  std::shared_ptr<Texture> picture = device.CreateTexture({8, 4});

  Stage() {
    current_stage = this;
    DocumentResourceAccess().mask = [](const GUID& id) {
      return id == test::kCaptionPictureId ? current_stage->picture : nullptr;
    };
    DocumentResourceAccess().frames = [](const ResourceKey& key) {
      return key.name == u"caption" ? PictureFrames{{current_stage->picture}, {}, 8, 4, 0.5f, 1, 1} : PictureFrames{};
    };
    DocumentResourceAccess().metrics = nullptr;
    backdrop.RestoreDevice();
  }
  ~Stage() { current_stage = nullptr; }

  void Draw(VRN_RenderObj& object) {
    device.ClearLog();
    ASSERT_TRUE(device.BeginScene());
    object.Render(backdrop);
    device.EndScene();
  }
};

template <typename Caption>
Caption SpriteCaption(bool with_picture = true) {
  auto caption = test::Population<Caption>(1);
  caption.flag = 1;
  caption.position.value = {64, 64, 0};
  caption.width.Set(32);
  caption.height.Set(16);
  caption.picture_id = with_picture ? test::kCaptionPictureId : GUID{};
  return caption;
}

std::unique_ptr<DS_FXObj> PlaySprite(const DS_StaticTextConstructor& caption) {
  auto made = caption.CreateRenderObject();
  auto* object = dynamic_cast<DS_FXObj*>(made.get());
  EXPECT_NE(object, nullptr);
  if (object != nullptr) made.release();
  return std::unique_ptr<DS_FXObj>(object);
}

uint32_t FirstVertexColour(const DS_SpriteArrayObj& object) {
  return reinterpret_cast<const VertexPCT*>(object.Batches().Batches().at(0).vertexBuffer->Data().data())->color;
}

TEST(SpriteCaptions, TintFadesWithTheTimelineAndThePictureIsFoundById) {
  Stage stage;
  const auto object = PlaySprite(SpriteCaption<DS_StaticTextConstructor>());
  ASSERT_TRUE(object);
  object->FrameMove(0);
  EXPECT_EQ(FirstVertexColour(*object), 0xFFFF0000u) << "red tint 0x0000FF at opacity 255 and level 1";
  object->data->timing.current().level = 0.5f;
  object->FrameMove(0.1f);
  EXPECT_EQ(FirstVertexColour(*object) >> 24, 127u);
  stage.Draw(*object);
  ASSERT_EQ(test::Techniques(stage.device), std::vector<std::string>{"CommonVretexColor"});
  EXPECT_TRUE(test::Binds(stage.device.Draws()[0], stage.picture));
}

TEST(SpriteCaptions, AMissingPictureDrawsTransparentNotTheLastCallersTexture) {
  Stage stage;
  const auto found = PlaySprite(SpriteCaption<DS_StaticTextConstructor>());
  const auto missing = PlaySprite(SpriteCaption<DS_TextLinkConstructor>(false));
  ASSERT_TRUE(found && missing);
  found->FrameMove(0);
  missing->FrameMove(0);
  stage.Draw(*found);
  stage.Draw(*missing);
  ASSERT_EQ(stage.device.Draws().size(), 1u);
  const RecordedDraw& draw = stage.device.Draws()[0];
  EXPECT_FALSE(test::Binds(draw, stage.picture));
  const auto texture = std::find_if(draw.state.textures.begin(), draw.state.textures.end(),
                                    [](const std::shared_ptr<Texture>& t) { return t != nullptr; });
  ASSERT_NE(texture, draw.state.textures.end());
  EXPECT_EQ((*texture)->Width(), 1u);
  EXPECT_EQ((*texture)->LevelData(0), std::vector<uint8_t>(4, 0));
}

// Four frames of one second of the motion clock over a period of 4 s.
std::vector<float> ShiftsOverAPeriod(int direction) {
  auto caption = SpriteCaption<DS_ScrollingTextConstructor>();
  caption.direction.Set(direction);
  caption.period.Set(4);
  caption.motion_step = 1;
  Sprite sprite;
  std::vector<float> shifts;
  for (int k = 0; k < 4; ++k) {
    caption.UpdateSprite(sprite);
    const std::array<float, 2> s = caption.Shift();
    EXPECT_EQ(direction < 2 ? s[1] : s[0], 0) << "only along the scroll axis";
    shifts.push_back(direction < 2 ? s[0] : s[1]);
  }
  return shifts;
}

void ExpectNear(const std::vector<float>& got, const std::vector<float>& expected) {
  ASSERT_EQ(got.size(), expected.size());
  for (size_t i = 0; i < got.size(); ++i) EXPECT_NEAR(got[i], expected[i], 1e-5f) << "frame " << i;
}

TEST(SpriteCaptions, ScrollShiftLeavesWrapsAndReturnsWithinItsPeriod) {
  // Vertical: from a third, where the caption sits in place, back to it.
  ExpectNear(ShiftsOverAPeriod(0), {0.75f, 1.5f, -0.75f, 0});
  ExpectNear(ShiftsOverAPeriod(1), {-0.75f, 0.5f, -0.25f, -1});
  // Horizontal: from 0, entering from one side.
  ExpectNear(ShiftsOverAPeriod(2), {-0.25f, 0.5f, 1.25f, 1});
  ExpectNear(ShiftsOverAPeriod(3), {0.25f, -0.5f, -1.25f, 1});

  auto caption = SpriteCaption<DS_ScrollingTextConstructor>();
  caption.period.Set(4);
  caption.motion_step = 1;
  Sprite sprite;
  caption.UpdateSprite(sprite);
  caption.timeline_state = VRN_Timing::kOff;
  caption.UpdateSprite(sprite);
  EXPECT_EQ(caption.Shift(), (std::array<float, 2>{0, 0})) << "off";
  EXPECT_EQ(caption.scroll_position, (std::array<float, 2>{0, 0}));
  caption.timeline_state = VRN_Timing::kOn;
  caption.period.Set(0);
  caption.UpdateSprite(sprite);
  EXPECT_EQ(caption.Shift(), (std::array<float, 2>{0, 0})) << "a period of 0 does not scroll";
  // No extents: the picture once; extents measure the sprite's size.
  EXPECT_EQ(sprite.vb, 1);
  EXPECT_EQ(sprite.ub, 1);
  caption.extent_a = 64;
  caption.extent_b = 8;
  caption.UpdateSprite(sprite);
  EXPECT_EQ(sprite.vb, 0.25f);
  EXPECT_EQ(sprite.ub, 4);
}

TEST(SpriteCaptions, ScrollingDrawsItsShiftAlongTheAxis) {
  Stage stage;
  auto caption = SpriteCaption<DS_ScrollingTextConstructor>();
  caption.direction.Set(2);
  caption.period.Set(4);
  const auto object = PlaySprite(caption);
  ASSERT_TRUE(object);
  object->FrameMove(0);
  object->FrameMove(0.1f);
  stage.Draw(*object);
  ASSERT_EQ(test::Techniques(stage.device), std::vector<std::string>{"ScrollText"});
  const std::vector<float> shift = stage.device.Draws()[0].Constant("Shift");
  ASSERT_EQ(shift.size(), 2u);
  EXPECT_NEAR(shift[0], 3 * 0.1f / 4 - 1, 1e-5f);
  EXPECT_EQ(shift[1], 0);
}

template <typename Caption>
Caption ParticleCaption() {
  Caption caption;
  caption.look.textures.value.images.resize(1);
  caption.look.textures.value.images[0].key = {u"caption", 0};
  caption.look.colour.Set(0x00FFFFFF);
  // A 64 x 32 quad from (32, 48): corners top left, bottom left, top
  // right, bottom right.
  const Vector3 corners[4] = {{32, 48, 0}, {32, 80, 0}, {96, 48, 0}, {96, 80, 0}};
  for (int i = 0; i < 4; ++i) caption.area.corners[i].value = corners[i];
  return caption;
}

std::unique_ptr<VRN_ParticleSystemMech> PlayParticle(const VRN_ParticleSystemCtrl& caption) {
  return std::unique_ptr<VRN_ParticleSystemMech>(
      static_cast<VRN_ParticleSystemMech*>(caption.CreateRenderObject().release()));
}

TEST(ParticleCaptions, ShadowDrawsFirstAtItsDistanceAndDirection) {
  Stage stage;
  auto caption = ParticleCaption<DS_StaticText>();
  {
    const auto object = PlayParticle(caption);
    object->FrameMove(0);
    stage.Draw(*object);
    EXPECT_EQ(test::Techniques(stage.device), std::vector<std::string>{"Main"});
    EXPECT_TRUE(test::Binds(stage.device.Draws()[0], stage.picture));
    EXPECT_EQ(stage.device.Draws()[0].Constant("Shift"), (std::vector<float>{0, 0}));
  }
  caption.shadow_on.Set(1);
  caption.shadow_distance.Set(2);
  caption.shadow_direction.Set(90);  // up the screen
  caption.shadow_colour.Set(0x00336699);
  {
    const auto object = PlayParticle(caption);
    object->FrameMove(0);
    stage.Draw(*object);
    ASSERT_EQ(test::Techniques(stage.device), (std::vector<std::string>{"Shadow", "Main"}));
    const RecordedDraw& shadow = stage.device.Draws()[0];
    const std::vector<float> shift = shadow.Constant("Shift");
    ASSERT_EQ(shift.size(), 2u);
    EXPECT_NEAR(shift[0], 0, 1e-6f);
    EXPECT_NEAR(shift[1], -0.5f, 1e-6f) << "2 pixels of a 4 pixel high texture, upwards";
    const std::vector<float> colour = shadow.Constant("Color");
    ASSERT_EQ(colour.size(), 4u);
    EXPECT_NEAR(colour[0], 0x99 / 255.0f, 1e-6f);
    EXPECT_NEAR(colour[2], 0x33 / 255.0f, 1e-6f);
    EXPECT_EQ(colour[3], 1);
    EXPECT_EQ(stage.device.Draws()[1].Constant("Shift"), (std::vector<float>{0, 0}));
  }
  caption.look.textures.value.images[0].key = {u"missing", 0};
  const auto missing = PlayParticle(caption);
  missing->FrameMove(0);
  stage.Draw(*missing);
  EXPECT_TRUE(stage.device.Draws().empty()) << "no picture, no caption and no shadow";
}

TEST(ParticleCaptions, ScrollOnePassPerCycleAndHeldWithoutCycles) {
  auto caption = ParticleCaption<DS_ScrollingTex>();
  caption.ResetPopulation();
  EXPECT_EQ(caption.scroll_position, 1) << "without a picture the extent is not scaled";
  caption.look.run.picture_width = 8;
  caption.look.run.picture_height = 4;
  // The quad is 8 times the picture's height and its width.
  const float starts[4] = {8, -1, 8, -1};
  for (int d = 0; d < 4; ++d) {
    caption.direction.Set(d);
    caption.ResetPopulation();
    EXPECT_EQ(caption.scroll_position, starts[d]) << "direction " << d;
    const std::array<float, 2> s = caption.Shift();
    EXPECT_EQ(d < 2 ? s[1] : s[0], starts[d]);
  }
  caption.direction.Set(0);
  caption.ResetPopulation();
  auto timeline = std::make_shared<VRN_ManualTimeLine>();
  timeline->interval_length = 1;
  caption.timing.SetTimeline(timeline);
  for (int k = 0; k <= 10; ++k) caption.Advance(static_cast<float>(k) * 0.1f);
  EXPECT_NEAR(caption.scroll_position, -1, 1e-4f) << "from below the quad to above it in one cycle";
  timeline->interval_length = 0;
  caption.Advance(1.1f);
  EXPECT_EQ(caption.scroll_position, 8) << "held at its start";
}

uint32_t shown_cursor = 0;

TEST(CaptionLinks, HitInsideShowsTheHandWhileOnAndClicksAnswerWhileOff) {
  SetCursorShower([](uint32_t id) { shown_cursor = id; });
  auto sprite = SpriteCaption<DS_TextLinkConstructor>();
  sprite.width.Set(64);
  sprite.height.Set(32);  // over 32 to 96 and 48 to 80, as the quad
  auto particle = ParticleCaption<DS_TextLink>();
  DS_ABObj_Constructor* links[2] = {&sprite, &particle};
  for (DS_ABObj_Constructor* link : links) {
    shown_cursor = 0;
    EXPECT_EQ(link->OnMouseMove(40, 60), 1);
    EXPECT_EQ(shown_cursor, kHandCursor);
    EXPECT_TRUE(link->OnClick(95, 79));
    shown_cursor = 0;
    EXPECT_EQ(link->OnMouseMove(20, 60), 0);
    EXPECT_FALSE(link->OnClick(64, 90));
    EXPECT_EQ(shown_cursor, 0u);
    link->timing.current().state = VRN_Timing::kOff;
    EXPECT_EQ(link->OnMouseMove(40, 60), 0) << "no hand while off";
    EXPECT_TRUE(link->OnClick(0, 0)) << "a click while off is answered";
  }
  SetCursorShower(nullptr);
}

}  // namespace
}  // namespace lumi
