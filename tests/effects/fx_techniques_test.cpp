#include <gtest/gtest.h>

#include "effects/catalogue_effects.h"
#include "tests/effects/effect_stage.h"

namespace lumi {
namespace {

using test::EffectStage;

// An effect drawn the way the catalogue's effects draw: the common
// parameters, then the technique for its flag, with the water program.
class TechniqueProbe : public DS_FX_Constructor {
  LUMI_STORED_CLASS(TechniqueProbe, 1)
  LUMI_CONSTRUCTOR_CLONE(TechniqueProbe)

 public:
  TechniqueProbe() {
    program.key = CommonResource(90);
    brush_id = test::kPaintedBrush;
    const Vector3 corners[4] = {{0, 0, 0}, {0, 16, 0}, {32, 0, 0}, {32, 16, 0}};
    for (size_t i = 0; i < 4; ++i) rectangle.corners[i].value = corners[i];
  }
  void Describe(Archive& ar) override { BaseRecordOf<DS_FX_Constructor>(ar, this); }
  void LoadEffect(std::shared_ptr<Texture> mask) override {
    DS_FX_Constructor::LoadEffect(std::move(mask));
    MakeRectMesh();
  }
  void Draw(DS_ABRender& backdrop) override {
    if (!ReadyToDraw(backdrop)) return;
    SetCommonParameters(backdrop);
    DrawTechnique(backdrop);
  }
};

TEST(FxTechniques, APlainEffectTouchesOnlyItsRectangleAChainPassTheWholePicture) {
  for (const int uses_background : {0, 1}) {
    auto probe = std::make_unique<TechniqueProbe>();
    probe->uses_background.Set(uses_background);
    probe->pattern_scale.Set(25);  // 0.5
    EffectStage stage;
    stage.Add(std::move(probe));
    stage.Start();
    stage.Frame(0);
    const auto draws = stage.DrawsOf(uses_background ? "MainFX" : "Main");
    ASSERT_EQ(draws.size(), 1u) << uses_background;
    // The rectangle is an indexed 2 x 2 grid, the picture quad a strip.
    EXPECT_EQ(draws[0]->indexed, uses_background == 0);
    EXPECT_EQ(draws[0]->primitiveCount, uses_background ? 2u : 8u);
    EXPECT_EQ(draws[0]->Constant("Scale"), (std::vector<float>{2 / 0.5f, 1 / 0.5f}));
    EXPECT_EQ(stage.Object(0).GetKind(), DS_BrushObj::kKind);
  }
}

TEST(FxTechniques, LineEffectsHaveTheirLinesInNormalisedPictureCoordinates) {
  EffectStage stage;  // a 64 x 32 picture
  stage.Start();
  DS_StretchFX stretch;
  stretch.centre.Set({32, 8, 0});
  stretch.line_direction.Set(0);
  stretch.LoadEffect(nullptr);
  const DS_LineBased::Lines& lines = stretch.lines;
  EXPECT_EQ(lines.centre, (std::array<float, 2>{0.5f, 0.25f}));
  // Along the x axis: y = 0.25; across it: x = 0.5.
  EXPECT_NEAR(lines.first[0], 0, 1e-6);
  EXPECT_NEAR(lines.first[1], 1, 1e-6);
  EXPECT_NEAR(lines.first[2], -0.25f, 1e-6);
  EXPECT_NEAR(lines.second[0], -1, 1e-6);
  EXPECT_NEAR(lines.second[1], 0, 1e-6);
  EXPECT_NEAR(lines.second[2], 0.5f, 1e-6);
  // The centre read from the record stands.
  EXPECT_EQ(stretch.centre.value.x, 32);
}

TEST(FxTechniques, EveryEffectPlaysThroughABrushObject) {
  EXPECT_NE(dynamic_cast<DS_BrushObj*>(DS_WavesFX().CreateRenderObject().get()), nullptr);
  EXPECT_NE(dynamic_cast<DS_BrushObj*>(DS_FireFX().CreateRenderObject().get()), nullptr);
}

}  // namespace
}  // namespace lumi
