// What sprite populations put on the target, on the recording device: quad
// corners and texture coordinates, sheet frames, batches, the texture of a
// missing picture, kept quads under a fading timeline, the backdrop's
// sprite blend states and a device loss.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "render/recording_device.h"
#include "scene/resource_access.h"
#include "tests/render/test_backdrop.h"
#include "tests/sprites/sprite_test_support.h"

namespace lumi {
namespace {

using test::Play;
using test::Population;
using test::TestBackdrop;

struct Stage {
  RecordingDevice device{128, 128};
  TestBackdrop backdrop{device, 128, 128};

  void Draw(DS_SpriteArrayObj& object) {
    ASSERT_TRUE(device.BeginScene());
    object.Render(backdrop);
    device.EndScene();
  }
};

const VertexPCT* Vertices(const DS_SpriteArrayObj& object, size_t batch = 0) {
  return reinterpret_cast<const VertexPCT*>(object.Batches().Batches().at(batch).vertexBuffer->Data().data());
}

DS_StatObjConstructor StillSprite(uint32_t size) {
  auto still = Population<DS_StatObjConstructor>(1, size);
  still.flag = 1;
  still.centre.x.value = 10;
  still.centre.y.value = 10;
  return still;
}

TEST(SpriteQuads, CornersAndTextureCoordinatesOfARealConstructor) {
  Stage stage;
  auto still = StillSprite(4);
  const auto object = Play(still);
  object->FrameMove(0);
  const VertexPCT* v = Vertices(*object);
  const float expected[4][4] = {{8, 12, 0, 1}, {8, 8, 0, 0}, {12, 12, 1, 1}, {12, 8, 1, 0}};
  for (int i = 0; i < 4; ++i) {
    EXPECT_FLOAT_EQ(v[i].x, expected[i][0]);
    EXPECT_FLOAT_EQ(v[i].y, expected[i][1]);
    EXPECT_EQ(v[i].u, expected[i][2]);
    EXPECT_EQ(v[i].v, expected[i][3]);
    EXPECT_EQ(v[i].color, 0xFFFFFFFFu);
  }

  still.flip_u.value = still.flip_v.value = 1;
  const auto flipped = Play(still);
  flipped->FrameMove(0);
  const VertexPCT* f = Vertices(*flipped);
  const float both[4][2] = {{1, 0}, {1, 1}, {0, 0}, {0, 1}};
  for (int i = 0; i < 4; ++i) {
    EXPECT_EQ(f[i].u, both[i][0]);
    EXPECT_EQ(f[i].v, both[i][1]);
  }

  // A rotation of 90 turns the axes by −90°: U points up the screen and V
  // to the right, so o = (8, 12), o + 2hV = (12, 12) and o + 2wU = (8, 8).
  still.flip_u.value = still.flip_v.value = 0;
  still.rotation.value = 90;
  const auto turned = Play(still);
  turned->FrameMove(0);
  const VertexPCT* t = Vertices(*turned);
  EXPECT_NEAR(t[0].x, 12, 1e-4);
  EXPECT_NEAR(t[0].y, 12, 1e-4);
  EXPECT_NEAR(t[3].x, 8, 1e-4);
  EXPECT_NEAR(t[3].y, 8, 1e-4);
}

TEST(SpriteQuads, BoundsAndHitTestsCoverTheTurnedQuad) {
  auto still = StillSprite(20);
  still.rotation.value = 45;
  const auto object = Play(still);
  std::vector<PlacedRect> bounds;
  object->CollectBounds(bounds);
  ASSERT_EQ(bounds.size(), 1u);
  // A 20-pixel square turned by 45° spans 10√2 each way from its centre.
  EXPECT_NEAR(bounds[0].x, 10 - 10 * std::sqrt(2.0f), 1e-3);
  EXPECT_NEAR(bounds[0].width, 20 * std::sqrt(2.0f), 1e-3);
  EXPECT_TRUE(object->TestPoint(10, 10));
  EXPECT_TRUE(object->TestPoint(10, -3));
  EXPECT_FALSE(object->TestPoint(10, 30));
}

TEST(SpriteQuads, SheetFramesStepOneAtATime) {
  Stage stage;
  auto still = StillSprite(8);
  still.sheet_flag = 1;
  still.frame_count.value = 4;
  still.columns_value = 10;  // frames a second
  const auto object = Play(still);
  uint32_t previous = 0;
  int changes = 0;
  for (float t : {0.0f, 0.05f, 0.11f, 0.15f, 0.22f, 5.0f, 5.01f, 5.2f, 5.4f}) {
    object->FrameMove(t);
    const uint32_t frame = object->SheetFrame();
    EXPECT_TRUE(frame == previous || frame == (previous + 1) % 4) << "at " << t;
    changes += frame != previous;
    previous = frame;
    const VertexPCT* v = Vertices(*object);
    EXPECT_FLOAT_EQ(v[0].u, static_cast<float>(frame) / 4);
    EXPECT_FLOAT_EQ(v[2].u, static_cast<float>(frame + 1) / 4);
  }
  EXPECT_EQ(changes, 5);
  // A sheet of four frames is four times as wide as one: square frames.
  EXPECT_FLOAT_EQ(object->Sprites()[0].aspect, 4);
}

TEST(SpriteQuads, TwentyThousandSpritesAllDrawnInBatches) {
  Stage stage;
  const auto object = Play(Population<DS_SparkleConstructor>(20000, 2));
  object->FrameMove(0);
  stage.device.ClearLog();
  stage.Draw(*object);
  ASSERT_EQ(stage.device.Draws().size(), 2u);
  EXPECT_EQ(stage.device.Draws()[0].primitiveCount, 2u * 16384);
  EXPECT_EQ(stage.device.Draws()[1].primitiveCount, 2u * (20000 - 16384));
  // The last sprite's quad is where the sprite is.
  const Sprite& last = object->Sprites().back();
  const VertexPCT* v = Vertices(*object, 1) + 4 * (20000 - 16384 - 1);
  EXPECT_NEAR((v[0].x + v[3].x) / 2, last.position.x, 1e-3);
  EXPECT_NEAR((v[0].y + v[3].y) / 2, last.position.y, 1e-3);
}

TEST(SpriteDrawing, AMissingPictureDrawsATransparentTexture) {
  Stage stage;
  auto first = StillSprite(8);
  const auto textured = Play(first);
  textured->FrameMove(0);
  stage.Draw(*textured);

  auto missing = StillSprite(8);
  missing.picture.key = {u"C:\\nowhere\\missing.png", 42};
  const auto object = Play(missing);
  object->FrameMove(0);
  stage.device.ClearLog();
  stage.Draw(*object);
  ASSERT_EQ(stage.device.Draws().size(), 1u);
  const std::shared_ptr<Texture>& drawn = stage.device.Draws()[0].state.textures[0];
  ASSERT_NE(drawn, nullptr);
  EXPECT_NE(drawn, textured->CurrentTexture());
  EXPECT_EQ(drawn->Width(), 1u);
  EXPECT_EQ(drawn->LevelData(0), std::vector<uint8_t>(4, 0));
}

TEST(SpriteDrawing, KeptQuadsFadeWithTheTimeline) {
  Stage stage;
  const auto object = Play(StillSprite(8));
  object->FrameMove(0);
  EXPECT_EQ(Vertices(*object)[0].color >> 24, 255u);
  object->data->timing.current().level = 0.5f;
  object->FrameMove(0.1f);
  EXPECT_EQ(Vertices(*object)[0].color >> 24, 127u);
}

TEST(SpriteDrawing, GlowSpritesBlendAsTheirModeSaysWhateverWasLeftBefore) {
  Stage stage;
  const auto object = Play(Population<DS_SparkleConstructor>(3, 4));
  object->FrameMove(0);
  const ParticleGeomArray& batch = object->Batches().Batches().at(0);
  const std::shared_ptr<Texture> glow = stage.device.CreateTexture({4, 4});
  for (int mode : {0, 1}) {
    stage.device.SetRenderState(RenderState::SrcBlend, static_cast<uint32_t>(Blend::One));
    stage.device.ClearLog();
    ASSERT_TRUE(stage.device.BeginScene());
    stage.backdrop.DrawGlowSprites(batch, glow, mode);
    stage.backdrop.DrawGlowSprites(batch, nullptr, mode);
    stage.device.EndScene();
    const auto& draws = stage.device.Draws();
    ASSERT_EQ(draws.size(), 3u);
    const auto blend = [&](size_t i, RenderState state) {
      return static_cast<Blend>(draws[i].state.render[static_cast<size_t>(state)]);
    };
    EXPECT_EQ(blend(0, RenderState::SrcBlend), Blend::SrcAlpha);
    EXPECT_EQ(blend(0, RenderState::DestBlend), Blend::InvSrcAlpha) << "the sprites themselves, mode " << mode;
    EXPECT_EQ(draws[1].state.textures[0], glow);
    EXPECT_EQ(blend(1, RenderState::DestBlend), mode == 1 ? Blend::One : Blend::InvSrcAlpha);
    EXPECT_EQ(blend(2, RenderState::DestBlend), mode == 1 ? Blend::One : Blend::InvSrcAlpha) << "no glow picture";
  }
}

TEST(SpriteDrawing, TheSameFrameAfterADeviceLoss) {
  Stage stage;
  const auto object = Play(Population<DS_FishConstructor>(5, 6));
  object->FrameMove(0.5f);
  stage.Draw(*object);
  const std::vector<uint8_t> before = object->Batches().Batches().at(0).vertexBuffer->Data();
  stage.device.ClearLog();  // the log's snapshots hold the back buffer
  stage.backdrop.LoseDevice();
  stage.device.LoseDevice();
  ASSERT_TRUE(stage.device.Reset()) << stage.device.LastError();
  stage.backdrop.RestoreDevice();
  object->FrameMove(0.5f);
  stage.Draw(*object);
  EXPECT_EQ(object->Batches().Batches().at(0).vertexBuffer->Data(), before);
  ASSERT_EQ(stage.device.Draws().size(), 1u);
  EXPECT_EQ(stage.device.Draws()[0].primitiveCount, 10u);
}

// Three frames of 0.12, 0.22 and 0.32 s for every link, each frame a 4 x 4
// texture whose picture uses its left half and top quarter.
std::vector<std::shared_ptr<Texture>> sequence_frames;

PictureFrames ThreeFrames(const ResourceKey&) {
  return {sequence_frames, {0.12f, 0.22f, 0.32f}, 2, 1, 0.5f, 0.5f, 0.25f};
}

TEST(SpriteDrawing, ImageSequencesStepWithTheirDelays) {
  Stage stage;
  for (int i = 0; i < 3; ++i) sequence_frames.push_back(stage.device.CreateTexture({4, 4}));
  ResourceAccess& access = DocumentResourceAccess();
  const auto saved = access.frames;
  access.frames = ThreeFrames;
  auto still = StillSprite(8);
  still.picture.key = {u"C:\\frames.gif", 1};
  const auto object = Play(still);
  std::vector<size_t> shown;
  for (int k = 0; k <= 25; ++k) {
    object->FrameMove(0.05f * static_cast<float>(k));
    const auto found = std::find(sequence_frames.begin(), sequence_frames.end(), object->CurrentTexture());
    ASSERT_NE(found, sequence_frames.end());
    shown.push_back(static_cast<size_t>(found - sequence_frames.begin()));
  }
  access.frames = saved;
  // The used part of the frame texture, and a wide picture's aspect.
  const VertexPCT* v = Vertices(*object);
  EXPECT_EQ(v[2].u, 0.5f);
  EXPECT_EQ(v[0].v, 0.25f);
  EXPECT_FLOAT_EQ(object->Sprites()[0].height * 2, object->Sprites()[0].width);
  sequence_frames.clear();
  // Every 0.05 s, a frame moves on at the first look after its delay.
  const std::vector<size_t> expected = {0, 0, 0, 1, 1, 1, 1, 1, 2, 2, 2, 2, 2, 2, 2, 0, 0, 0, 1, 1, 1, 1, 1, 2, 2, 2};
  EXPECT_EQ(shown, expected);
}

}  // namespace
}  // namespace lumi
