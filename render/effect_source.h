// The effect container: a text format holding an effect's parameters,
// samplers and techniques of passes with their states and GLSL programs.
// render/README.md describes it.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "render/device_types.h"
#include "render/resources.h"

namespace lumi {

enum class ParameterType { Float, Float2, Float3, Float4, Float2x2, Float4x4, Texture };

struct EffectParameter {
  std::string name;
  ParameterType type = ParameterType::Float;
  std::vector<float> initial;  // as many values as the type has
};

struct EffectSampler {
  std::string name;
  std::string texture;  // the texture parameter it reads
  uint32_t minFilter = static_cast<uint32_t>(TextureFilter::Point);
  uint32_t magFilter = static_cast<uint32_t>(TextureFilter::Point);
  uint32_t mipFilter = static_cast<uint32_t>(TextureFilter::None);
  uint32_t addressU = static_cast<uint32_t>(TextureAddress::Wrap);
  uint32_t addressV = static_cast<uint32_t>(TextureAddress::Wrap);
};

struct ProgramText {
  std::string text;
  int firstLine = 0;  // 0 when there is none
};

struct EffectPass {
  std::vector<std::pair<RenderState, uint32_t>> states;
  struct Stage {
    uint32_t stage;
    StageState state;
    uint32_t value;
  };
  std::vector<Stage> stageStates;
  std::vector<std::pair<uint32_t, std::string>> stageTextures;  // fixed-function passes
  ProgramText fragment, vertex;
};

struct EffectTechnique {
  std::string name;
  std::vector<EffectPass> passes;
};

struct EffectSource {
  std::vector<EffectParameter> parameters;
  std::vector<EffectSampler> samplers;
  ProgramText common;  // GLSL put before every pass's programs
  std::vector<EffectTechnique> techniques;
};

uint32_t ValueCount(ParameterType type);

// Parses the container; on failure error names the line and what is wrong.
std::optional<EffectSource> ParseEffectSource(std::string_view text, std::string& error);

}  // namespace lumi
