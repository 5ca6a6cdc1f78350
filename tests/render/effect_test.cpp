#include "render/effect.h"

#include <gtest/gtest.h>

#include "archive/file_io.h"

#include <algorithm>

#include "programs/builtin_programs.h"
#include "render/recording_device.h"

namespace lumi {
namespace {

std::string ParseError(std::string_view text) {
  std::string error;
  EXPECT_FALSE(ParseEffectSource(text, error));
  return error;
}

constexpr std::string_view kSmall = R"(lumi-effect 1
param float Alpha 0.5
param float3 Tint 1 0.5 0.25
param float4x4 Transform
param texture Picture
sampler PictureSampler Picture min=linear mag=linear u=mirror v=clamp
technique Blend
pass
state AlphaBlendEnable true
state SrcBlend srcalpha
state DestBlend invsrcalpha
fragment
void main() { fragColor = texture(PictureSampler, vTexCoord) * vec4(Tint, Alpha); }
end
technique Plain
pass
state AlphaBlendEnable false
state CullMode none
texture 0 Picture
stage 0 ColorOp selectarg1
pass
state BlendOp max
)";

TEST(RenderEffectSource, ReadsParametersSamplersAndPasses) {
  std::string error;
  const auto source = ParseEffectSource(kSmall, error);
  ASSERT_TRUE(source) << error;
  ASSERT_EQ(source->parameters.size(), 4u);
  EXPECT_EQ(source->parameters[1].type, ParameterType::Float3);
  EXPECT_EQ(source->parameters[1].initial, (std::vector<float>{1, 0.5f, 0.25f}));
  EXPECT_EQ(source->parameters[2].initial.size(), 16u);
  ASSERT_EQ(source->samplers.size(), 1u);
  EXPECT_EQ(source->samplers[0].addressU, static_cast<uint32_t>(TextureAddress::Mirror));
  EXPECT_EQ(source->samplers[0].addressV, static_cast<uint32_t>(TextureAddress::Clamp));
  EXPECT_EQ(source->samplers[0].mipFilter, static_cast<uint32_t>(TextureFilter::None));
  ASSERT_EQ(source->techniques.size(), 2u);
  const EffectPass& blend = source->techniques[0].passes[0];
  EXPECT_EQ(blend.fragment.firstLine, 13);
  EXPECT_NE(blend.fragment.text.find("fragColor"), std::string::npos);
  ASSERT_EQ(blend.states.size(), 3u);
  EXPECT_EQ(blend.states[1], std::make_pair(RenderState::SrcBlend, static_cast<uint32_t>(Blend::SrcAlpha)));
  ASSERT_EQ(source->techniques[1].passes.size(), 2u);
  EXPECT_FALSE(source->techniques[1].passes[0].fragment.firstLine);
  EXPECT_EQ(source->techniques[1].passes[0].stageTextures[0].second, "Picture");
}

TEST(RenderEffectSource, AcceptsAByteOrderMark) {
  std::string error;
  EXPECT_TRUE(ParseEffectSource("\xEF\xBB\xBF" + std::string(kSmall), error)) << error;
}

TEST(RenderEffectSource, NamesTheLineOfEveryMistake) {
  EXPECT_EQ(ParseError("effect\n"), "line 1: expected \"lumi-effect 1\"");
  EXPECT_EQ(ParseError("lumi-effect 1\nparam float4 A 1 2\ntechnique T\npass\n"),
            "line 2: parameter \"A\" needs 4 values");
  EXPECT_EQ(ParseError("lumi-effect 1\nparam colour A\n"), "line 2: unknown parameter type \"colour\"");
  EXPECT_EQ(ParseError("lumi-effect 1\nparam float A\nsampler S A\n"), "line 3: \"A\" is not a texture parameter");
  EXPECT_EQ(ParseError("lumi-effect 1\nparam float 2x\n"), "line 2: \"2x\" is not a name");
  EXPECT_EQ(ParseError("lumi-effect 1\nparam texture T\nsampler a-b T\n"), "line 3: \"a-b\" is not a name");
  EXPECT_EQ(ParseError("lumi-effect 1\npass\n"), "line 2: \"pass\" outside a technique");
  EXPECT_EQ(ParseError("lumi-effect 1\ntechnique T\npass\nstate SrcBlend sideways\n"),
            "line 4: \"sideways\" is not a value of SrcBlend");
  EXPECT_EQ(ParseError("lumi-effect 1\ntechnique T\npass\nfragment\nvoid main() {}\n"),
            "line 4: fragment program without its \"end\" line");
  EXPECT_EQ(ParseError("lumi-effect 1\ntechnique T\n"), "technique \"T\" has no passes");
  EXPECT_EQ(ParseError("lumi-effect 1\n"), "the effect has no techniques");
  EXPECT_EQ(ParseError(std::string_view("lumi-effect 1\n\0\xff\x01", 17)), "line 2: unknown keyword \"???\"");
}

class RenderEffectOnRecordingDevice : public ::testing::Test {
 protected:
  std::shared_ptr<Effect> Make(std::string_view text) {
    std::string message;
    auto effect = Effect::Create(device, "small", AsBytes(text), message);
    EXPECT_TRUE(effect) << message;
    return effect;
  }
  RecordingDevice device{64, 64};
};

TEST_F(RenderEffectOnRecordingDevice, UnknownNamesFailWithoutEffect) {
  auto effect = Make(kSmall);
  ASSERT_TRUE(effect);
  EXPECT_EQ(effect->CurrentTechnique(), "Blend");
  EXPECT_TRUE(effect->SetTechnique("Plain"));
  EXPECT_FALSE(effect->SetTechnique("Missing"));
  EXPECT_EQ(effect->CurrentTechnique(), "Plain");
  EXPECT_FALSE(effect->SetFloat("Missing", 3));
  EXPECT_FALSE(effect->SetFloat("Picture", 3));  // a texture
  EXPECT_FALSE(effect->SetMatrix("Tint", Matrix{}));
  EXPECT_FALSE(effect->SetTexture("Alpha", nullptr));
  EXPECT_EQ(effect->Values("Alpha"), std::vector<float>{0.5f});
  const float tint[5] = {9, 8, 7, 6, 5};
  EXPECT_TRUE(effect->SetFloatArray("Tint", tint, 5));  // extra values are ignored
  EXPECT_EQ(effect->Values("Tint"), (std::vector<float>{9, 8, 7}));
  EXPECT_TRUE(effect->SetFloatArray("Tint", tint + 4, 1));
  EXPECT_EQ(effect->Values("Tint"), (std::vector<float>{5, 8, 7}));
  EXPECT_TRUE(effect->SetMatrix("Transform", MatrixTranslation(1, 2, 3)));
  EXPECT_EQ(effect->Values("Transform")[12], 1);
}

TEST_F(RenderEffectOnRecordingDevice, PassesSetTheirStatesAndEndPutsThemBack) {
  auto effect = Make(kSmall);
  ASSERT_TRUE(effect);
  auto picture = device.CreateTexture({4, 4, 1, TextureFormat::A8R8G8B8, kUsageNone, Pool::Managed});
  auto earlier = device.CreateTexture({4, 4, 1, TextureFormat::A8R8G8B8, kUsageNone, Pool::Managed});
  device.SetTexture(0, earlier);
  effect->SetTexture("Picture", picture);
  effect->SetFloat("Alpha", 0.25f);
  uint32_t passes = 0;
  ASSERT_TRUE(effect->Begin(&passes, kEffectSaveState));
  EXPECT_EQ(passes, 1u);
  EXPECT_FALSE(effect->Begin(&passes, kEffectSaveState));
  EXPECT_FALSE(effect->BeginPass(1));
  ASSERT_TRUE(effect->BeginPass(0));
  EXPECT_EQ(device.GetRenderState(RenderState::AlphaBlendEnable), 1u);
  EXPECT_EQ(device.GetRenderState(RenderState::DestBlend), static_cast<uint32_t>(Blend::InvSrcAlpha));
  EXPECT_EQ(device.GetTexture(0), picture);
  EXPECT_EQ(device.GetSamplerState(0, SamplerState::AddressU), static_cast<uint32_t>(TextureAddress::Mirror));
  const auto& program = device.GetPixelProgram();
  ASSERT_TRUE(program);
  EXPECT_EQ(program->Constant(0), std::vector<float>{0.25f});
  EXPECT_EQ(program->Constant(1), (std::vector<float>{1, 0.5f, 0.25f}));
  EXPECT_TRUE(effect->EndPass());
  EXPECT_TRUE(effect->End());
  EXPECT_EQ(device.GetRenderState(RenderState::AlphaBlendEnable), 0u);
  EXPECT_EQ(device.GetRenderState(RenderState::DestBlend), static_cast<uint32_t>(Blend::Zero));
  EXPECT_EQ(device.GetTexture(0), earlier);
  EXPECT_EQ(device.GetSamplerState(0, SamplerState::AddressU), static_cast<uint32_t>(TextureAddress::Wrap));
  EXPECT_FALSE(device.GetPixelProgram());

  ASSERT_TRUE(effect->SetTechnique("Plain"));
  int draws = 0;
  EXPECT_TRUE(RunEffectPasses(*effect, [&] {
    ++draws;
    if (draws == 1) {
      EXPECT_FALSE(device.GetPixelProgram());
      EXPECT_EQ(device.GetTexture(0), picture);
      EXPECT_EQ(device.GetTextureStageState(0, StageState::ColorOp), static_cast<uint32_t>(TextureOp::SelectArg1));
    } else {
      EXPECT_EQ(device.GetRenderState(RenderState::BlendOp), static_cast<uint32_t>(BlendOp::Max));
    }
  }));
  EXPECT_EQ(draws, 2);
  EXPECT_EQ(device.GetRenderState(RenderState::CullMode), static_cast<uint32_t>(Cull::CCW));
  EXPECT_EQ(device.GetRenderState(RenderState::BlendOp), static_cast<uint32_t>(BlendOp::Add));
  EXPECT_EQ(device.GetTextureStageState(0, StageState::ColorOp), static_cast<uint32_t>(TextureOp::Modulate));
}

TEST_F(RenderEffectOnRecordingDevice, SharedProgramsKeepParametersUntilSetAgain) {
  auto effect = Make(kSmall);
  ASSERT_TRUE(effect);
  std::shared_ptr<Effect> first = effect, second = effect;
  first->SetFloat("Alpha", 0.75f);
  second->SetTechnique("Plain");
  EXPECT_EQ(second->Values("Alpha"), std::vector<float>{0.75f});
  EXPECT_EQ(first->CurrentTechnique(), "Plain");
}

TEST_F(RenderEffectOnRecordingDevice, LostEffectsDoNotBeginUntilReset) {
  auto effect = Make(kSmall);
  ASSERT_TRUE(effect);
  effect->OnLostDevice();
  EXPECT_FALSE(effect->Begin(nullptr, 0));
  effect->OnResetDevice();
  EXPECT_TRUE(effect->Begin(nullptr, 0));
  EXPECT_TRUE(effect->End());
}

TEST_F(RenderEffectOnRecordingDevice, RefusesCompiledEffectsAndBrokenPrograms) {
  const uint8_t compiled[] = {0x01, 0x09, 0xFF, 0xFE, 0x10, 0, 0, 0};
  std::string message;
  EXPECT_FALSE(Effect::Create(device, "water", compiled, message));
  EXPECT_EQ(message, "effect program \"water\" is a compiled Direct3D effect, which this player cannot run");
  EXPECT_FALSE(Effect::Create(device, "empty", {}, message));
  EXPECT_EQ(message, "effect program \"empty\": line 1: expected \"lumi-effect 1\"");
  device.FailNextProgram("0:13(5): error: syntax error, unexpected IDENTIFIER");
  EXPECT_FALSE(Effect::Create(device, "small", AsBytes(kSmall), message));
  EXPECT_EQ(message,
            "effect program \"small\", technique \"Blend\": 0:13(5): error: syntax error, unexpected IDENTIFIER");
}

TEST(RenderBuiltinPrograms, AreKeyedByResourceNumberAndParse) {
  ASSERT_TRUE(FindBuiltinProgram(202));
  EXPECT_EQ(FindBuiltinProgram(202)->name, "particles");
  EXPECT_FALSE(FindBuiltinProgram(12345));
  for (const BuiltinProgram& program : BuiltinPrograms()) {
    std::string error;
    EXPECT_TRUE(ParseEffectSource(program.text, error)) << program.name << ": " << error;
  }
  RecordingDevice device(16, 16);
  std::string message;
  auto blur = Effect::Create(device, "blur", AsBytes(FindBuiltinProgram(202)->text), message);
  ASSERT_TRUE(blur) << message;
  for (const char* technique : {"GaussianBlurVFirst", "GaussianBlurV", "GaussianBlurH", "BlendNormal", "BlendSum",
                                "DrawGlowNormal", "DrawGlowScreen", "BlendMultiplay"}) {
    EXPECT_TRUE(blur->SetTechnique(technique)) << technique;
  }
  EXPECT_TRUE(blur->SetFloat("TexW", 10));
  EXPECT_TRUE(blur->SetFloat("TexH", 10));
  EXPECT_TRUE(blur->SetTexture("Texture", nullptr));
}

}  // namespace
}  // namespace lumi
