// The catalogue's effects with settings and resources that would divide by
// zero, leave a value unset or black out the slide.
#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <limits>

#include "effects/catalogue_effects.h"
#include "scene/notices.h"
#include "tests/effects/effect_stage.h"

namespace lumi {
namespace {

using test::MakeEffect;
using test::OneEffect;

bool AllFinite(const RecordedDraw& draw) {
  for (const auto& [name, values] : draw.constants) {
    for (float v : values) {
      if (!std::isfinite(v)) return false;
    }
  }
  return true;
}

struct Maker {
  const char* name;
  std::function<std::unique_ptr<DS_FX_Constructor>(int uses_background)> make;
};

template <typename T>
Maker Make(const char* name, const std::function<void(T&)>& set_up = {}) {
  return {name, [set_up](int uses_background) -> std::unique_ptr<DS_FX_Constructor> {
            auto effect = MakeEffect<T>(uses_background);
            if (set_up) set_up(*effect);
            return effect;
          }};
}

// The effects whose parameters divide by the picture's size.
std::vector<Maker> PictureSizedEffects() {
  return {Make<DS_BackgroundCopy>("copy"),
          Make<DS_UnderwaterFX>("underwater"),
          Make<DS_ExpandFX>("expand"),
          Make<DS_RadialWaveFX>("radial wave"),
          Make<DS_RotationFX>("rotation"),
          Make<DS_BendFX>("bend"),
          Make<DS_PerspectiveFX>("perspective"),
          Make<DS_StretchFX>("stretch"),
          Make<DS_KestrinRadial>("radial bands"),
          Make<DS_KestrinVortical>("swirl"),
          Make<DS_HeatDistortion>("heat"),
          Make<DS_FireFX>("fire"),
          Make<DS_CloudFX>("clouds", [](DS_CloudFX& cloud) { cloud.cloud_image.key = test::kStagePicture; })};
}

TEST(CatalogueFaults, WithoutAPictureNothingIsDrawnAndNoValueIsNotANumber) {
  for (const Maker& maker : PictureSizedEffects()) {
    for (const int uses_background : {0, 1}) {
      OneEffect one(maker.make(uses_background), false);
      one.stage.Frame(0);
      for (const RecordedDraw& draw : one.stage.device.Draws()) EXPECT_TRUE(AllFinite(draw)) << maker.name;
      EXPECT_TRUE(one.stage.DrawsOf("Main").empty()) << maker.name;
      EXPECT_TRUE(one.stage.DrawsOf("MainFX").empty()) << maker.name;
    }
  }
}

TEST(CatalogueFaults, AChainPassWithNothingToLayDownCopiesThePicture) {
  // A pattern brush without its pattern, the chain's light with no program.
  OneEffect patternless(MakeEffect<DS_PatternBrush>(1));
  patternless.stage.Frame(0);
  EXPECT_TRUE(patternless.stage.DrawsOf("MainFX").empty());
  EXPECT_EQ(test::ChainCopies(patternless.stage), 1u);

  auto light = MakeEffect<DS_LightFX_II>();
  light->blend_mode.Set(2);
  light->program.key = CommonResource(4321);
  light->brush_id = GUID{};
  OneEffect unlit(std::move(light));
  unlit.stage.Frame(0);
  EXPECT_EQ(test::ChainCopies(unlit.stage), 1u);
}

TEST(CatalogueFaults, DivisorsAtRawZeroCountAsRawOne) {
  auto cloud = MakeEffect<DS_CloudFX>();
  cloud->cloud_image.key = test::kStagePicture;
  cloud->pattern_scale.Set(0);  // 0.008
  OneEffect clouds(std::move(cloud));
  const RecordedDraw draw = clouds.Draw(0);
  EXPECT_NEAR(draw.Constant("Scale").at(1), 1 / 0.008f, 1e-2f);
  EXPECT_TRUE(AllFinite(draw));
}

TEST(CatalogueFaults, ModesOutsideTheirRangeGiveNoAmplitude) {
  for (const int mode : {-1, 5, 100}) {
    auto stretch = MakeEffect<DS_StretchFX>();
    stretch->mode.Set(mode);
    stretch->a.Set(50);
    stretch->b.Set(50);
    OneEffect one(std::move(stretch));
    EXPECT_EQ(one.Draw(0).Constant("amplitude"), std::vector<float>{0}) << mode;
  }
  // Stretch: −B for mode 0, +A for mode 1.
  for (const int mode : {0, 1}) {
    auto stretch = MakeEffect<DS_StretchFX>();
    stretch->mode.Set(mode);
    stretch->a.Set(30);
    stretch->b.Set(50);
    OneEffect one(std::move(stretch));
    EXPECT_NEAR(one.Draw(0).Constant("amplitude").at(0), mode == 0 ? -0.5f : 0.3f, 1e-6f) << mode;
  }
}

TEST(CatalogueFaults, AStoredCentreOrCornerThatIsNoNumberCountsAsItsDefault) {
  const float nan = std::numeric_limits<float>::quiet_NaN();
  auto rotation = MakeEffect<DS_RotationFX>();
  rotation->centre.Set({nan, 4, 0});
  rotation->name = u"whirl";
  test::EffectStage stage;  // a 64 x 32 picture
  stage.Start();
  for (int i = 0; i < 2; ++i) {
    const std::unique_ptr<VRN_RenderObj> object = rotation->CreateRenderObject();
    const auto& played = dynamic_cast<DS_BrushObj&>(*object).ImageEffect();
    EXPECT_EQ(static_cast<const DS_RotationFX&>(played).centre.value, (Vector3{32, 16, 0}));
  }
  EXPECT_TRUE(std::isnan(rotation->centre.value.x)) << "the record keeps its bytes";
  size_t told = 0;
  for (const std::string& notice : Notices()) told += notice.find("\"whirl\"") != std::string::npos;
  EXPECT_EQ(told, 1u);

  // A corner that is no number empties the rectangle: nothing of it shows.
  auto bend = MakeEffect<DS_BendFX>();
  bend->rectangle.corners[3].value.y = std::numeric_limits<float>::infinity();
  OneEffect one(std::move(bend));
  one.stage.Frame(0);
  for (const auto& corner : one.stage.ImageEffect(0).rectangle.corners) {
    EXPECT_EQ(corner.value.x, 0);
    EXPECT_EQ(corner.value.y, 0);
  }
}

TEST(CatalogueFaults, EveryAnimatedEffectHandsItsProgramNewValuesEachFrame) {
  // Settings that make each effect move; the values a frame later differ.
  const std::vector<Maker> makers = {
      Make<DS_WavesFX>("waves"),
      Make<DS_LightFX>("light"),
      Make<DS_UnderwaterFX>("underwater"),
      Make<DS_MoveFX>("move", [](DS_MoveFX& e) { e.mode.Set(3); }),
      Make<DS_ExpandFX>("expand", [](DS_ExpandFX& e) { e.mode.Set(3); }),
      Make<DS_RadialWaveFX>("radial wave"),
      Make<DS_RotationFX>("rotation", [](DS_RotationFX& e) { e.speed.Set(200); }),
      Make<DS_BendFX>("bend", [](DS_BendFX& e) { e.mode.Set(3); e.a.Set(50); e.speed.Set(50); }),
      Make<DS_PerspectiveFX>("perspective", [](DS_PerspectiveFX& e) { e.mode.Set(3); e.amplitude_a.Set(50); e.speed.Set(50); }),
      Make<DS_StretchFX>("stretch", [](DS_StretchFX& e) { e.mode.Set(3); e.a.Set(50); e.speed.Set(50); }),
      Make<DS_KestrinLinear>("bands", [](DS_KestrinLinear& e) { e.speed.Set(50); }),
      Make<DS_KestrinRadial>("radial bands", [](DS_KestrinRadial& e) { e.speed.Set(50); }),
      Make<DS_KestrinVortical>("swirl", [](DS_KestrinVortical& e) { e.speed.Set(50); }),
      Make<DS_HeatDistortion>("heat", [](DS_HeatDistortion& e) { e.shimmer_speed.Set(100); }),
      Make<DS_PatternBrush>("pattern", [](DS_PatternBrush& e) { e.pattern_image.key = test::kStagePattern; }),
      Make<DS_LightFX_II>("light II", [](DS_LightFX_II& e) { e.oscillation_kind.Set(1); e.intensity.Set(50); e.speed.Set(50); }),
      Make<DS_CloudFX>("clouds", [](DS_CloudFX& e) { e.cloud_image.key = test::kStagePicture; e.speed.Set(1000); }),
  };
  for (const Maker& maker : makers) {
    OneEffect one(maker.make(0));
    const auto technique = std::string(maker.name) == "light II" ? "Blend_Normal" : "Main";
    const RecordedDraw first = one.Draw(0, technique);
    const RecordedDraw second = one.Draw(0.2f, technique);
    EXPECT_TRUE(AllFinite(first) && AllFinite(second)) << maker.name;
    bool changed = first.state.textures != second.state.textures;
    for (const auto& [name, values] : first.constants) changed = changed || values != second.Constant(name);
    EXPECT_TRUE(changed) << maker.name;
  }
}

}  // namespace
}  // namespace lumi
