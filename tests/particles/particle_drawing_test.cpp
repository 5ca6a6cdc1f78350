// What particle systems put on the recording device: the techniques in
// order with a glow and its blur passes, the built-in white texture right
// after another object's texture, and batches covering 20,000 quads; and
// where systems their author left unplaced go on its screen.
#include <gtest/gtest.h>

#include <algorithm>

#include "particles/burst_systems.h"
#include "particles/rain_on_glass.h"
#include "particles/ray_of_light.h"
#include "particles/splash_systems.h"
#include "particles/stream_systems.h"
#include "particles/through_space.h"
#include "particles/vortex_system.h"
#include "particles/particle_system_obj.h"
#include "render/losable.h"
#include "render/recording_device.h"
#include "tests/particles/builtin_program_access.h"
#include "tests/render/test_backdrop.h"

namespace lumi {
namespace {

struct Stage {
  Stage() { EXPECT_TRUE(test::BuiltinProgramAccess::ProgramOf(kProgram)) << test::BuiltinProgramAccess::Error(); }
  void Draw(VRN_ParticleSystemMech& object) {
    ASSERT_TRUE(device.BeginScene());
    object.Render(backdrop);
    device.EndScene();
  }
  Effect& Program() { return *test::BuiltinProgramAccess::ProgramOf(kProgram); }
  const ResourceKey kProgram{u"common_res.dll", 202};

  RecordingDevice device{128, 128};
  test::TestBackdrop backdrop{device, 128, 128};
  test::BuiltinProgramAccess programs{device};
};

std::unique_ptr<VRN_ParticleSystemMech> Play(const VRN_ParticleSystemCtrl& system) {
  return std::unique_ptr<VRN_ParticleSystemMech>(
      static_cast<VRN_ParticleSystemMech*>(system.CreateRenderObject().release()));
}

VRN_BurstPtclSys DrawnBurst(unsigned int count) {
  VRN_BurstPtclSys burst;
  burst.count.Set(count);
  burst.range.Set(1000);
  burst.launch_speed.Set(5);
  burst.launch.spread.Set(360);
  burst.emitter.point.value = {64, 64, 0};
  burst.look.size.Set(8);
  return burst;
}

Blend BlendOf(const RecordedDraw& draw, RenderState state) {
  return static_cast<Blend>(draw.state.render[static_cast<size_t>(state)]);
}

TEST(ParticleDrawing, GlowBlursThenAddsThenTheQuadsBlend) {
  Stage stage;
  VRN_BurstPtclSys burst = DrawnBurst(10);
  burst.look.glow_mode.Set(1);
  burst.look.glow_blur.Set(0x7FFFFFFF);  // asks for billions of passes: 8 at most
  burst.look.blend_mode.Set(1);
  const auto object = Play(burst);
  object->FrameMove(0.1f);
  stage.device.ClearLog();
  stage.Draw(*object);
  const std::vector<RecordedDraw>& draws = stage.device.Draws();
  // The quads into the surface, 2 + 2 × 8 blur passes, the glow, the quads.
  ASSERT_EQ(draws.size(), 1u + 18u + 1u + 1u);
  EXPECT_EQ(BlendOf(draws[0], RenderState::DestBlend), Blend::One) << "the look's own technique";
  EXPECT_EQ(draws[0].primitiveCount, 20u);
  for (size_t i = 1; i <= 18; ++i) EXPECT_FALSE(draws[i].Constant("TexW").empty()) << "blur pass " << i;
  EXPECT_FALSE(draws[19].Constant("GlowColor").empty());
  EXPECT_EQ(draws[19].Constant("GlowColor"), (std::vector<float>{1, 1, 0}));
  EXPECT_EQ(draws[19].Constant("GlowBrightness"), (std::vector<float>{2}));
  EXPECT_EQ(BlendOf(draws[20], RenderState::DestBlend), Blend::One);
  EXPECT_EQ(draws[20].primitiveCount, 20u);
  EXPECT_EQ(draws[20].renderTarget, draws[19].renderTarget) << "back on the scene's target";
  EXPECT_NE(draws[0].renderTarget, draws[20].renderTarget);
}

TEST(ParticleDrawing, AnotherCallersTechniqueIsNeverUsedForTheGlow) {
  Stage stage;
  VRN_BurstPtclSys burst = DrawnBurst(3);
  burst.look.glow_mode.Set(1);
  const auto object = Play(burst);
  object->FrameMove(0.1f);
  stage.Program().SetTechnique("BlendSum");  // left by another object
  stage.device.ClearLog();
  stage.Draw(*object);
  EXPECT_EQ(BlendOf(stage.device.Draws().front(), RenderState::DestBlend), Blend::InvSrcAlpha);
}

TEST(ParticleDrawing, GlowModesAboveTwoAreTheChainPass) {
  Stage stage;
  VRN_BurstPtclSys burst = DrawnBurst(3);
  burst.look.glow_mode.Set(7);
  const auto object = Play(burst);
  EXPECT_TRUE(object->NeedsBackground());
  object->FrameMove(0.1f);
  stage.device.ClearLog();
  stage.Draw(*object);
  const std::vector<RecordedDraw>& draws = stage.device.Draws();
  ASSERT_GE(draws.size(), 3u);
  const RecordedDraw& glow = draws[draws.size() - 2];
  EXPECT_EQ(glow.state.render[static_cast<size_t>(RenderState::AlphaBlendEnable)], 0u) << "opaque screen glow";
  EXPECT_FALSE(glow.Constant("GlowColor").empty());
}

TEST(ParticleDrawing, NoTextureBindsWhiteNotTheLastObjectsTexture) {
  Stage stage;
  const std::shared_ptr<Texture> other = stage.device.CreateTexture({4, 4});
  stage.Program().SetTexture("Texture0", other);
  const auto object = Play(DrawnBurst(2));
  object->FrameMove(0.1f);
  stage.device.ClearLog();
  stage.Draw(*object);
  ASSERT_EQ(stage.device.Draws().size(), 1u);
  const auto& bound = stage.device.Draws()[0].state.textures;
  EXPECT_EQ(std::count(bound.begin(), bound.end(), other), 0);
  const std::shared_ptr<Texture>& white = object->Drawing().CurrentTexture();
  ASSERT_TRUE(white);
  EXPECT_EQ(white->Width(), 1u);
  EXPECT_EQ(std::count(bound.begin(), bound.end(), white), 1);
}

TEST(ParticleDrawing, TwentyThousandQuadsDrawInBatches) {
  Stage stage;
  const auto object = Play(DrawnBurst(20000));
  object->FrameMove(0.1f);
  EXPECT_EQ(object->Drawing().QuadCount(), 20000u);
  stage.device.ClearLog();
  stage.Draw(*object);
  const std::vector<RecordedDraw>& draws = stage.device.Draws();
  ASSERT_EQ(draws.size(), 2u);
  EXPECT_EQ(draws[0].primitiveCount, 2u * 16384u);
  EXPECT_EQ(draws[1].primitiveCount, 2u * (20000u - 16384u));
  EXPECT_NE(draws[0].state.stream, draws[1].state.stream);
  // Fewer particles later reuse the buffers, drawing only what lives.
  VRN_ParticleSystemCtrl& system = object->System();
  system.particles.resize(100);
  object->FrameMove(0.2f);
  stage.device.ClearLog();
  stage.Draw(*object);
  ASSERT_EQ(stage.device.Draws().size(), 1u);
  EXPECT_EQ(stage.device.Draws()[0].primitiveCount, 200u);
}

TEST(ParticleDrawing, TheGlowAndThePopulationSurviveADeviceLoss) {
  // The document's registry of objects that hold default-pool resources.
  LosableTable losable;
  SetCurrentLosableRegistry(&losable);
  Stage stage;
  VRN_BurstPtclSys burst = DrawnBurst(6);
  burst.look.glow_mode.Set(1);
  const auto object = Play(burst);
  object->FrameMove(0.1f);
  stage.Draw(*object);
  const size_t draws = stage.device.Draws().size();
  stage.device.ClearLog();
  stage.backdrop.LoseDevice();
  losable.LoseAll();
  stage.device.LoseDevice();
  const bool reset = stage.device.Reset();
  SetCurrentLosableRegistry(nullptr);
  ASSERT_TRUE(reset) << stage.device.LastError();
  losable.RestoreAll();
  stage.backdrop.RestoreDevice();
  object->FrameMove(0.1f);
  EXPECT_EQ(object->System().particles.size(), 6u);
  stage.Draw(*object);
  ASSERT_EQ(stage.device.Draws().size(), draws);
  EXPECT_EQ(stage.device.Draws().back().primitiveCount, 12u);
  EXPECT_TRUE(stage.device.Draws().front().renderTarget) << "the glow surface was made again";
}

template <class System>
System Attached(bool fixed) {
  System system;
  system.fixed_layout = fixed;
  system.Attach();
  return system;
}

// Corners 0 to 3: top left, bottom left, top right, bottom right.
void ExpectCorners(const MediaQuad& area, float left_top, float right_top, float left, float right, float top,
                   float bottom) {
  const float expected[4][2] = {{left_top, top}, {left, bottom}, {right_top, top}, {right, bottom}};
  for (size_t i = 0; i < 4; ++i) {
    EXPECT_NEAR(area.corners[i].value.x, expected[i][0], 1e-3) << "corner " << i;
    EXPECT_NEAR(area.corners[i].value.y, expected[i][1], 1e-3) << "corner " << i;
  }
}

TEST(ParticlePlay, UnplacedSystemsFitTheScreenPlacedOnesStay) {
  Stage stage;  // a 128 × 128 screen
  EXPECT_EQ(Attached<VRN_FontainPtclSys>(false).emitter.point.value, (Vector3{64, 64, 0}));
  EXPECT_EQ(Attached<DS_PtclFire>(true).emitter.point.value, (Vector3{}));
  // 0.8 of the screen, running down; the smoke rises.
  ExpectCorners(Attached<DS_StreamPtclSys>(false).area, 12.8f, 115.2f, 12.8f, 115.2f, 12.8f, 115.2f);
  ExpectCorners(Attached<DS_PtclSmoke2>(false).area, 12.8f, 115.2f, 12.8f, 115.2f, 115.2f, 12.8f);
  ExpectCorners(Attached<DS_PtclSmoke2>(true).area, 0, 0, 0, 0, 0, 0);
  // Rays from a top edge 0.6 of the screen wide.
  ExpectCorners(Attached<DS_RayOfLight>(false).area, 25.6f, 102.4f, 12.8f, 115.2f, 12.8f, 115.2f);
  ExpectCorners(Attached<DS_RainOnGlass>(false).area, 0, 128, 0, 128, 0, 128);
  const auto stars = Attached<VRN_ThroughSpaceCtrl>(false);
  ExpectCorners(stars.emitter.area, 0, 128, 0, 128, 0, 128);
  EXPECT_EQ(stars.vanishing_point, (Vector3{64, 64, 0}));
}

TEST(ParticlePlay, EveryBuiltFamilyPlays) {
  EXPECT_NE(dynamic_cast<VRN_ParticleSystemMech*>(VRN_FontainPtclSys().CreateRenderObject().get()), nullptr);
  EXPECT_NE(dynamic_cast<VRN_ParticleSystemMech*>(DS_WaterJet().CreateRenderObject().get()), nullptr);
  EXPECT_NE(dynamic_cast<VRN_ParticleSystemMech*>(DS_LightBeams().CreateRenderObject().get()), nullptr);
  EXPECT_NE(dynamic_cast<VRN_ParticleSystemMech*>(DS_PtclFireStream().CreateRenderObject().get()), nullptr);
  EXPECT_NE(dynamic_cast<VRN_ParticleSystemMech*>(DS_PtclFire().CreateRenderObject().get()), nullptr);
  EXPECT_NE(dynamic_cast<VRN_ParticleSystemMech*>(DS_PtclSmoke().CreateRenderObject().get()), nullptr);
  EXPECT_NE(dynamic_cast<VRN_ParticleSystemMech*>(DS_PtclFog().CreateRenderObject().get()), nullptr);
  EXPECT_NE(dynamic_cast<VRN_ParticleSystemMech*>(DS_PtclSmoke2().CreateRenderObject().get()), nullptr);
  EXPECT_NE(dynamic_cast<VRN_ParticleSystemMech*>(VRN_VortexPtclSys().CreateRenderObject().get()), nullptr);
  EXPECT_NE(dynamic_cast<VRN_ParticleSystemMech*>(DS_RainOnGlass().CreateRenderObject().get()), nullptr);
  EXPECT_NE(dynamic_cast<VRN_ParticleSystemMech*>(DS_RayOfLight().CreateRenderObject().get()), nullptr);
}

}  // namespace
}  // namespace lumi
