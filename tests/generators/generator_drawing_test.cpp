// What the texture generators put on the recording device: the sprites into
// a private target, then the composite of each blend mode with its
// textures; the direct draw without an effect link; one array per picture
// for the air brushes.
#include <gtest/gtest.h>

#include "generators/catalogue.h"
#include "generators/particles_obj.h"
#include "generators/processes.h"
#include "render/recording_device.h"
#include "tests/particles/builtin_program_access.h"
#include "tests/render/recorded_draws.h"
#include "tests/render/test_backdrop.h"

namespace lumi {
namespace {

std::shared_ptr<Texture> picture_a, picture_b;

// Two pictures, "a" 8 × 4 and "b" 4 × 4.
PictureFrames TwoPictures(const ResourceKey& key) {
  if (key.name == u"a") return {{picture_a}, {}, 8, 4, 0.5f, 1, 1};
  if (key.name == u"b") return {{picture_b}, {}, 4, 4, 1, 1, 1};
  return {};
}

struct Stage {
  Stage() {
    picture_a = device.CreateTexture({8, 4});
    picture_b = device.CreateTexture({4, 4});
    saved_frames = DocumentResourceAccess().frames;
    DocumentResourceAccess().frames = TwoPictures;
  }
  ~Stage() {
    DocumentResourceAccess().frames = saved_frames;
    picture_a.reset();
    picture_b.reset();
  }
  std::unique_ptr<DS_ParticlesObj> Play(const DS_ParticleGenerator& generator) {
    auto object =
        std::unique_ptr<DS_ParticlesObj>(static_cast<DS_ParticlesObj*>(generator.CreateRenderObject().release()));
    object->FrameMove(0.05f);
    device.ClearLog();
    EXPECT_TRUE(device.BeginScene());
    object->Render(backdrop);
    device.EndScene();
    return object;
  }

  RecordingDevice device{128, 128};
  test::TestBackdrop backdrop{device, 128, 128};
  test::BuiltinProgramAccess programs{device};
  PictureFrames (*saved_frames)(const ResourceKey&) = nullptr;
};

DS_TwinklingStars Stars(std::initializer_list<const char16_t*> pictures, bool with_effect) {
  DS_TwinklingStars stars;
  for (const char16_t* name : pictures) stars.images.value.images.emplace_back().key = {name, 0};
  if (with_effect) stars.effect.key = {u"generator program", 0};
  for (float x : {20.0f, 40.0f, 60.0f}) stars.sprites.push_back(AirBrushSprite{{x, 30, 0}, 5, {}});
  stars.star_size.value = 10;
  return stars;
}

TEST(GeneratorDrawing, EachBlendModeComposesItsTargetThroughItsTechnique) {
  Stage stage;
  const char* composites[] = {"CommonTex", "Blend_ScreenTex", "Blend_ColorDodgeTex", "Blend_SumTex"};
  for (int mode = 0; mode < 4; ++mode) {
    DS_TwinklingStars stars = Stars({u"a"}, true);
    stars.blend_mode.value = mode;
    const auto object = stage.Play(stars);
    EXPECT_EQ(object->NeedsBackground(), mode == 1 || mode == 2);
    const std::vector<RecordedDraw>& draws = stage.device.Draws();
    ASSERT_EQ(draws.size(), 2u) << "mode " << mode;
    EXPECT_EQ(test::TechniqueOf(draws[0]), "JoinMask");
    EXPECT_EQ(draws[0].primitiveCount, 6u);  // three quads
    EXPECT_TRUE(test::Binds(draws[0], picture_a));
    ASSERT_TRUE(draws[0].renderTarget);
    EXPECT_NE(draws[0].renderTarget, draws[1].renderTarget) << "the sprites go into the private target";
    EXPECT_EQ(test::TechniqueOf(draws[1]), composites[mode]);
    EXPECT_TRUE(test::Binds(draws[1], draws[0].renderTarget)) << "the composite reads the target";
    // The quads: 10 px wide, as high as the 8 × 4 picture's aspect makes them.
    const GenSpriteArray& array = object->drawing.Arrays()[0];
    ASSERT_EQ(array.rects.size(), 3u);
    const float size = object->Generator().generated[1].values[kSize];  // twinkling above 1
    EXPECT_FLOAT_EQ(array.rects[1].width, 10 * size);
    EXPECT_FLOAT_EQ(array.rects[1].height, 5 * size);
    EXPECT_FLOAT_EQ(array.rects[1].x + array.rects[1].width / 2, 40);
  }
}

TEST(GeneratorDrawing, WithoutAnEffectLinkTheSpritesDrawDirectly) {
  Stage stage;
  stage.Play(Stars({u"a"}, false));
  const std::vector<RecordedDraw>& draws = stage.device.Draws();
  ASSERT_EQ(draws.size(), 1u);
  EXPECT_EQ(test::TechniqueOf(draws[0]), "");
  EXPECT_TRUE(test::Binds(draws[0], picture_a));
  EXPECT_EQ(draws[0].primitiveCount, 6u);
}

TEST(GeneratorDrawing, AirBrushesJoinOneArrayPerPicture) {
  Stage stage;
  // Three stars over two pictures ("c" is missing and left out): stars 0 and
  // 2 in the first array, star 1 in the second.
  stage.Play(Stars({u"a", u"c", u"b"}, true));
  const std::vector<RecordedDraw>& draws = stage.device.Draws();
  ASSERT_EQ(draws.size(), 3u);
  EXPECT_EQ(test::TechniqueOf(draws[0]), "JoinMask");
  EXPECT_TRUE(test::Binds(draws[0], picture_a));
  EXPECT_EQ(draws[0].primitiveCount, 4u);
  EXPECT_TRUE(test::Binds(draws[1], picture_b));
  EXPECT_EQ(draws[1].primitiveCount, 2u);
  EXPECT_EQ(test::TechniqueOf(draws[2]), "CommonTex");

  // Sparkles draw two layers over the same points, in both colours.
  DS_Bling bling;
  bling.images.value.images.emplace_back().key = {u"a", 0};
  bling.effect.key = {u"generator program", 0};
  bling.sprites.push_back(AirBrushSprite{{64, 64, 0}, 5, {}});
  bling.colour.value = 0x000000FF;
  bling.second_colour.value = 0x00FF0000;
  stage.Play(bling);
  ASSERT_EQ(stage.device.Draws().size(), 3u);
  EXPECT_EQ(stage.device.Draws()[0].primitiveCount, 2u);
  EXPECT_EQ(stage.device.Draws()[1].primitiveCount, 2u);
}

TEST(GeneratorDrawing, FireworksAndFallingStarsDrawTheirOwnArrays) {
  Stage stage;
  DS_FireworkSimple firework;
  firework.effect.key = {u"generator program", 0};
  for (int i = 0; i < 5; ++i) firework.generated.emplace_back(Vector3{64, 64, 0});
  stage.Play(firework);
  ASSERT_EQ(test::Techniques(stage.device), (std::vector<std::string>{"BlendMask", "CommonTex"}));
  EXPECT_EQ(stage.device.Draws()[0].primitiveCount, 10u);

  // Streak and head, glow and core: four arrays of the same stars, added.
  DS_FallingStars stars;
  stars.effect.key = {u"generator program", 0};
  for (int i = 0; i < 3; ++i) stars.generated.emplace_back(Vector3{64, 64, 0});
  stage.Play(stars);
  ASSERT_EQ(test::Techniques(stage.device),
            (std::vector<std::string>{"BlendMask_Max", "BlendMask_Max", "BlendMask_Max", "BlendMask_Max", "Main"}));
  for (size_t i = 0; i < 4; ++i) EXPECT_EQ(stage.device.Draws()[i].primitiveCount, 6u);
}

TEST(GeneratorDrawing, ASlideStartingAgainStartsItsGeneratorsAfresh) {
  Stage stage;
  DS_FireworkSimple firework;
  for (int i = 0; i < 5; ++i) firework.generated.emplace_back(Vector3{64, 64, 0});
  firework.AddSource({10, 10, 0})->point.Attach<PAgeConst>(100.0f);  // a rocket in flight
  firework.AddSource({20, 20, 0});                                    // one the document placed
  const auto fireworks = stage.Play(firework);
  fireworks->Restart();
  EXPECT_TRUE(fireworks->Generator().generated.empty());
  ASSERT_EQ(fireworks->Generator().sources.size(), 1u);
  EXPECT_EQ(fireworks->Generator().sources[0].point.position, (Vector3{20, 20, 0}));

  const auto stars = stage.Play(Stars({u"a"}, true));
  stars->Restart();
  EXPECT_EQ(stars->Generator().generated.size(), 3u) << "placed again";
}

}  // namespace
}  // namespace lumi
