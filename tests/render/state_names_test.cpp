#include "render/state_names.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

#include "render/effect_source.h"

namespace lumi {
namespace {

constexpr StateValues kNamedKinds[] = {StateValues::Boolean,        StateValues::Blend,     StateValues::BlendOp,
                                       StateValues::Cull,           StateValues::Compare,   StateValues::TextureOp,
                                       StateValues::TextureArg,     StateValues::TextureAddress,
                                       StateValues::TextureFilter};

TEST(StateNames, EveryStateHasItsOwnNameAndSettableOnesAreFoundByIt) {
  std::set<std::string> names;
  for (size_t i = 0; i < static_cast<size_t>(RenderState::Count); ++i) {
    const auto state = static_cast<RenderState>(i);
    EXPECT_TRUE(names.insert(RenderStateName(state)).second) << RenderStateName(state);
    const auto found = RenderStateByName(RenderStateName(state));
    if (ValuesOf(state) == StateValues::Unset) {
      EXPECT_FALSE(found) << RenderStateName(state);
    } else {
      EXPECT_EQ(found, state) << RenderStateName(state);
    }
  }
  EXPECT_STREQ(RenderStateName(RenderState::ZFunc), "ZFunc");
  EXPECT_EQ(ValuesOf(RenderState::ZFunc), StateValues::Compare);
  EXPECT_EQ(ValuesOf(RenderState::AlphaRef), StateValues::Byte);
  EXPECT_EQ(StageStateByName("AlphaArg2"), StageState::AlphaArg2);
  EXPECT_FALSE(StageStateByName("BumpEnvMat00"));
  EXPECT_STREQ(SamplerStateName(SamplerState::MipFilter), "MipFilter");
  EXPECT_STREQ(PrimitiveName(PrimitiveType::TriangleFan), "TriangleFan");
}

TEST(StateNames, ValueNamesAreUniquePerKindAndGiveTheEnumValues) {
  for (const StateValues kind : kNamedKinds) {
    std::set<std::string_view> seen;
    EXPECT_FALSE(NamedValues(kind).empty());
    for (const NamedValue& named : NamedValues(kind)) {
      EXPECT_TRUE(seen.insert(named.name).second) << named.name;
      EXPECT_EQ(ValueByName(kind, named.name), named.value);
    }
  }
  EXPECT_EQ(ValueByName(StateValues::Blend, "invsrcalpha"), static_cast<uint32_t>(Blend::InvSrcAlpha));
  EXPECT_EQ(ValueByName(StateValues::TextureOp, "bumpenvmap"), static_cast<uint32_t>(TextureOp::BumpEnvMap));
  EXPECT_EQ(ValueByName(StateValues::TextureFilter, "none"), static_cast<uint32_t>(TextureFilter::None));
  EXPECT_FALSE(ValueByName(StateValues::Blend, "InvSrcAlpha"));  // names are lower case
  EXPECT_TRUE(NamedValues(StateValues::Byte).empty());
}

std::string ParseFailure(const std::string& pass) {
  std::string error;
  EXPECT_FALSE(ParseEffectSource("lumi-effect 1\ntechnique T\npass\n" + pass, error));
  return error;
}

TEST(StateNames, EffectProgramsSetStatesThroughTheTables) {
  std::string error;
  const auto source = ParseEffectSource(
      "lumi-effect 1\nparam texture Tex\nsampler S Tex min=linear u=mirror\ntechnique T\npass\n"
      "state CullMode ccw\nstate ZFunc greaterequal\nstate AlphaRef 128\nstage 1 ColorOp bumpenvmap\n",
      error);
  ASSERT_TRUE(source) << error;
  const EffectPass& pass = source->techniques[0].passes[0];
  ASSERT_EQ(pass.states.size(), 3u);
  EXPECT_EQ(pass.states[0], std::make_pair(RenderState::CullMode, static_cast<uint32_t>(Cull::CCW)));
  EXPECT_EQ(pass.states[1], std::make_pair(RenderState::ZFunc, static_cast<uint32_t>(CompareFunc::GreaterEqual)));
  EXPECT_EQ(pass.states[2].second, 128u);
  EXPECT_EQ(pass.stageStates[0].value, static_cast<uint32_t>(TextureOp::BumpEnvMap));
  EXPECT_EQ(source->samplers[0].minFilter, static_cast<uint32_t>(TextureFilter::Linear));
  EXPECT_EQ(source->samplers[0].addressU, static_cast<uint32_t>(TextureAddress::Mirror));

  EXPECT_EQ(ParseFailure("state Lighting true\n"), "line 4: unknown state \"Lighting\"");
  EXPECT_EQ(ParseFailure("state SrcBlend add\n"), "line 4: \"add\" is not a value of SrcBlend");
  EXPECT_EQ(ParseFailure("stage 0 ColorArg1 modulate\n"), "line 4: \"modulate\" is not a value of ColorArg1");
  EXPECT_EQ(ParseFailure("stage 0 BumpEnvMat00 1\n"), "line 4: unknown stage state \"BumpEnvMat00\"");
  EXPECT_EQ(ParseFailure("state AlphaRef 256\n"), "line 4: AlphaRef takes a number from 0 to 255");
}

}  // namespace
}  // namespace lumi
