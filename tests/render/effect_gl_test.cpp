#include <gtest/gtest.h>

#include "archive/file_io.h"

#include <fstream>

#include "programs/builtin_programs.h"
#include "render/effect.h"
#include "tests/render/gl_test_support.h"

namespace lumi {
namespace {

using test::MakeImage;
using test::PixelAt;

TEST(RenderEffectsOnGl, EveryBuiltInProgramCompiles) {
  LUMI_REQUIRE_GL(device, 16, 16);
  for (const BuiltinProgram& program : BuiltinPrograms()) {
    std::string message;
    EXPECT_TRUE(Effect::Create(*device, program.name, AsBytes(program.text), message)) << message;
  }
}

TEST(RenderEffectsOnGl, ACompilerErrorNamesProgramTechniqueAndLine) {
  LUMI_REQUIRE_GL(device, 16, 16);
  const std::string_view broken = R"(lumi-effect 1
param float Level
common
float Twice(float x) { return 2.0 * x; }
end
technique Good
pass
fragment
void main() { fragColor = vec4(Twice(Level)); }
end
technique Bad
pass
fragment
void main() {
  fragColor = vec4(Level) +;
}
end
)";
  std::string message;
  EXPECT_FALSE(Effect::Create(*device, "broken", AsBytes(broken), message));
  EXPECT_EQ(message.rfind("effect program \"broken\", technique \"Bad\": 0:15(", 0), 0u) << message;
  EXPECT_NE(message.find("error"), std::string::npos) << message;
}

class RenderTestProgram : public ::testing::Test {
 protected:
  void SetUp() override {
    device_ = test::MakeGlDevice(32, 32);
    if (!device_) GTEST_SKIP() << "no headless OpenGL on this machine";
    std::string message;
    effect_ = Effect::Create(*device_, "test", AsBytes(FindBuiltinProgram(9001)->text), message);
    ASSERT_TRUE(effect_) << message;
    ASSERT_TRUE(device_->BeginScene());
    device_->SetRenderState(RenderState::ZEnable, 0);
  }
  uint32_t Draw(uint32_t clear) {
    device_->Clear(kClearTarget, clear, 1, 0);
    EXPECT_TRUE(RunEffectPasses(*effect_, [&] { test::DrawScreenRect(*device_, 0, 0, 32, 32, 0xffffffff); }));
    return PixelAt(test::ReadBack(*device_), 16, 16);
  }
  std::unique_ptr<GraphicsDevice> device_;
  std::shared_ptr<Effect> effect_;
};

TEST_F(RenderTestProgram, ParametersReachTheProgramAndStatesBlend) {
  effect_->SetTexture("Texture0",
                      test::MakeTexture(*device_, MakeImage(2, 2, [](uint32_t, uint32_t) { return 0xffffffffu; })));
  const float colour[4] = {1, 0.5f, 0, 0.5f};
  ASSERT_TRUE(effect_->SetTechnique("Tint"));
  ASSERT_TRUE(effect_->SetFloatArray("BlendColor", colour, 4));
  EXPECT_TRUE(test::ColorNear(Draw(0xff0000ff), 0xbf804080u));  // half over blue, alpha blended too
  ASSERT_TRUE(effect_->SetFloat("Strength", 0));
  EXPECT_TRUE(test::ColorNear(Draw(0xff0000ff), 0xbf000080u));
  // The states went back after End.
  EXPECT_EQ(device_->GetRenderState(RenderState::AlphaBlendEnable), 0u);
  EXPECT_FALSE(device_->GetPixelProgram());
}

TEST_F(RenderTestProgram, PassesRunInOrderAndMatricesArriveRowByRow) {
  ASSERT_TRUE(effect_->SetTechnique("TwoPass"));
  EXPECT_EQ(Draw(0xff0000ff), 0xff408000u);
  // Red times the matrix: the first row of the matrix.
  Matrix m{};
  m.m[0][0] = 0;
  m.m[0][1] = 1;
  m.m[0][3] = 1;
  ASSERT_TRUE(effect_->SetTechnique("Matrix"));
  ASSERT_TRUE(effect_->SetMatrix("ColorMatrix", m));
  EXPECT_EQ(Draw(0xff000000), 0xff00ff00u);
}

TEST_F(RenderTestProgram, FixedFunctionPassesBindTheirTextures) {
  effect_->SetTexture("Texture0",
                      test::MakeTexture(*device_, MakeImage(2, 2, [](uint32_t, uint32_t) { return 0xff336699u; })));
  ASSERT_TRUE(effect_->SetTechnique("Fixed"));
  EXPECT_EQ(Draw(0xff000000), 0xff336699u);
  EXPECT_FALSE(device_->GetTexture(0));
}

}  // namespace
}  // namespace lumi

namespace lumi {
namespace {

// The example in render/README.md must stay a working program.
TEST(RenderEffectsOnGl, TheDocumentedExampleRuns) {
  LUMI_REQUIRE_GL(device, 8, 8);
  std::ifstream in(LUMI_SOURCE_DIR "/render/README.md");
  const std::string readme((std::istreambuf_iterator<char>(in)), {});
  const size_t start = readme.find("lumi-effect 1\nparam float4 BlendColor");
  ASSERT_NE(start, std::string::npos);
  const std::string example = readme.substr(start, readme.find("```", start) - start);
  std::string message;
  auto effect = Effect::Create(*device, "example", AsBytes(example), message);
  ASSERT_TRUE(effect) << message;
  effect->SetTexture("Texture0",
                     test::MakeTexture(*device, MakeImage(1, 1, [](uint32_t, uint32_t) { return 0x80ff0000u; })));
  ASSERT_TRUE(device->BeginScene());
  device->Clear(kClearTarget, 0xff0000ff, 1, 0);
  device->SetRenderState(RenderState::ZEnable, 0);
  EXPECT_TRUE(RunEffectPasses(*effect, [&] { test::DrawScreenRect(*device, 0, 0, 8, 8, 0xffffffff); }));
  device->EndScene();
  EXPECT_TRUE(test::ColorNear(PixelAt(test::ReadBack(*device), 4, 4), 0xbf80007f));
}

}  // namespace
}  // namespace lumi
