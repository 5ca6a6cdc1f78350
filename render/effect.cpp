#include "render/effect.h"

#include <algorithm>
#include <cstring>

namespace lumi {

namespace {

std::optional<ConstantType> ConstantTypeOf(ParameterType type) {
  switch (type) {
    case ParameterType::Float:
      return ConstantType::Float;
    case ParameterType::Float2:
      return ConstantType::Float2;
    case ParameterType::Float3:
      return ConstantType::Float3;
    case ParameterType::Float4:
      return ConstantType::Float4;
    case ParameterType::Float2x2:
      return ConstantType::Float2x2;
    case ParameterType::Float4x4:
      return ConstantType::Float4x4;
    case ParameterType::Texture:
      return std::nullopt;
  }
  return std::nullopt;
}

// The compiler's first error line, or its whole log when none says "error".
std::string CompilerLine(const std::string& log) {
  size_t start = 0;
  while (start < log.size()) {
    size_t end = log.find('\n', start);
    if (end == std::string::npos) end = log.size();
    const std::string line = log.substr(start, end - start);
    if (line.find("error") != std::string::npos) return line;
    start = end + 1;
  }
  return log;
}

}  // namespace

struct Effect::Saved {
  std::vector<std::pair<RenderState, uint32_t>> states;
  std::vector<EffectPass::Stage> stageStates;
  std::vector<std::pair<uint32_t, std::shared_ptr<Texture>>> textures;
  std::vector<std::pair<uint32_t, std::array<uint32_t, static_cast<size_t>(SamplerState::Count)>>> samplers;
  std::shared_ptr<PixelProgram> program;
};

bool IsCompiledEffect(std::span<const uint8_t> bytes) {
  if (bytes.size() < 4) return false;
  uint32_t tag;
  std::memcpy(&tag, bytes.data(), 4);
  return tag == kCompiledEffectTag;
}

std::shared_ptr<Effect> Effect::Create(GraphicsDevice& device, std::string_view name, std::span<const uint8_t> bytes,
                                       std::string& message) {
  const std::string program(name);
  if (IsCompiledEffect(bytes)) {
    message = "effect program \"" + program + "\" is a compiled Direct3D effect, which this player cannot run";
    return nullptr;
  }
  std::string error;
  auto source = ParseEffectSource({reinterpret_cast<const char*>(bytes.data()), bytes.size()}, error);
  if (!source) {
    message = "effect program \"" + program + "\": " + error;
    return nullptr;
  }
  std::shared_ptr<Effect> effect(new Effect(device, program, std::move(*source)));
  // Every non-texture parameter is a constant of every pass's program and
  // every sampler a texture unit, in declaration order.
  PixelProgramSource base;
  for (size_t i = 0; i < effect->parameters_.size(); ++i) {
    const auto type = ConstantTypeOf(effect->parameters_[i].declared.type);
    if (!type) continue;
    base.constants.push_back({effect->parameters_[i].declared.name, *type});
    effect->constant_parameters_.push_back(i);
  }
  for (const EffectSampler& sampler : effect->source_.samplers) base.samplers.push_back(sampler.name);
  const ProgramText& common = effect->source_.common;
  for (const EffectTechnique& technique : effect->source_.techniques) {
    auto& passes = effect->compiled_.emplace_back();
    for (size_t p = 0; p < technique.passes.size(); ++p) {
      const EffectPass& pass = technique.passes[p];
      CompiledPass compiled;
      if (pass.fragment.firstLine) {
        PixelProgramSource source = base;
        source.name = program + "/" + technique.name + "/" + std::to_string(p);
        const auto withCommon = [&](const ProgramText& text) {
          std::string joined;
          if (common.firstLine) joined = "#line " + std::to_string(common.firstLine) + "\n" + common.text;
          return joined + "#line " + std::to_string(text.firstLine) + "\n" + text.text;
        };
        source.fragment = withCommon(pass.fragment);
        if (pass.vertex.firstLine) source.vertex = withCommon(pass.vertex);
        compiled.program = device.CreatePixelProgram(source);
        if (!compiled.program) {
          message = "effect program \"" + program + "\", technique \"" + technique.name +
                    "\": " + CompilerLine(device.LastError());
          return nullptr;
        }
      }
      passes.push_back(std::move(compiled));
    }
  }
  return effect;
}

Effect::Effect(GraphicsDevice& device, std::string name, EffectSource source)
    : device_(device), name_(std::move(name)), source_(std::move(source)) {
  for (const EffectParameter& declared : source_.parameters)
    parameters_.push_back({declared, declared.initial, nullptr});
}

Effect::Parameter* Effect::Find(std::string_view name) {
  for (Parameter& parameter : parameters_) {
    if (parameter.declared.name == name) return &parameter;
  }
  return nullptr;
}

const Effect::Parameter* Effect::FindTexture(const std::string& name) const {
  for (const Parameter& parameter : parameters_) {
    if (parameter.declared.name == name && parameter.declared.type == ParameterType::Texture) return &parameter;
  }
  return nullptr;
}

bool Effect::SetTechnique(std::string_view name) {
  for (size_t i = 0; i < source_.techniques.size(); ++i) {
    if (source_.techniques[i].name == name) {
      technique_ = i;
      return true;
    }
  }
  return false;
}

bool Effect::SetFloat(std::string_view name, float value) { return SetFloatArray(name, &value, 1); }

bool Effect::SetFloatArray(std::string_view name, const float* values, size_t count) {
  Parameter* parameter = Find(name);
  if (!parameter || parameter->declared.type == ParameterType::Texture || !values) return false;
  std::copy_n(values, std::min(count, parameter->values.size()), parameter->values.begin());
  return true;
}

bool Effect::SetMatrix(std::string_view name, const Matrix& matrix) {
  Parameter* parameter = Find(name);
  if (!parameter || parameter->declared.type != ParameterType::Float4x4) return false;
  std::copy_n(&matrix.m[0][0], 16, parameter->values.begin());
  return true;
}

bool Effect::SetTexture(std::string_view name, std::shared_ptr<Texture> texture) {
  Parameter* parameter = Find(name);
  if (!parameter || parameter->declared.type != ParameterType::Texture) return false;
  parameter->texture = std::move(texture);
  return true;
}

std::vector<float> Effect::Values(std::string_view name) const {
  for (const Parameter& parameter : parameters_) {
    if (parameter.declared.name == name) return parameter.values;
  }
  return {};
}

void Effect::SaveStates() {
  saved_ = std::make_shared<Saved>();
  for (const EffectPass& pass : source_.techniques[technique_].passes) {
    for (const auto& [state, value] : pass.states) saved_->states.emplace_back(state, device_.GetRenderState(state));
    for (const auto& s : pass.stageStates) {
      saved_->stageStates.push_back({s.stage, s.state, device_.GetTextureStageState(s.stage, s.state)});
    }
    for (const auto& [stage, texture] : pass.stageTextures)
      saved_->textures.emplace_back(stage, device_.GetTexture(stage));
  }
  for (uint32_t unit = 0; unit < source_.samplers.size(); ++unit) {
    saved_->textures.emplace_back(unit, device_.GetTexture(unit));
    saved_->samplers.emplace_back(unit, device_.State().sampler[unit]);
  }
  saved_->program = device_.GetPixelProgram();
}

void Effect::RestoreStates() {
  // Backwards, so a state set by several passes gets its first saved value.
  for (auto it = saved_->states.rbegin(); it != saved_->states.rend(); ++it)
    device_.SetRenderState(it->first, it->second);
  for (auto it = saved_->stageStates.rbegin(); it != saved_->stageStates.rend(); ++it) {
    device_.SetTextureStageState(it->stage, it->state, it->value);
  }
  for (auto it = saved_->textures.rbegin(); it != saved_->textures.rend(); ++it)
    device_.SetTexture(it->first, it->second);
  for (const auto& [unit, states] : saved_->samplers) {
    for (size_t s = 0; s < states.size(); ++s) device_.SetSamplerState(unit, static_cast<SamplerState>(s), states[s]);
  }
  device_.SetPixelProgram(saved_->program);
  saved_.reset();
}

bool Effect::Begin(uint32_t* passes, uint32_t flags) {
  if (begun_ || lost_) return false;
  begun_ = true;
  save_state_ = (flags & kEffectDoNotSaveState) == 0;
  if (save_state_) SaveStates();
  if (passes) *passes = static_cast<uint32_t>(source_.techniques[technique_].passes.size());
  return true;
}

bool Effect::BeginPass(uint32_t index) {
  const EffectTechnique& technique = source_.techniques[technique_];
  if (!begun_ || in_pass_ || index >= technique.passes.size()) return false;
  in_pass_ = true;
  const EffectPass& pass = technique.passes[index];
  for (const auto& [state, value] : pass.states) device_.SetRenderState(state, value);
  for (const auto& s : pass.stageStates) device_.SetTextureStageState(s.stage, s.state, s.value);
  for (const auto& [stage, name] : pass.stageTextures) {
    const Parameter* parameter = FindTexture(name);
    device_.SetTexture(stage, parameter ? parameter->texture : nullptr);
  }
  const auto& program = compiled_[technique_][index].program;
  if (program) {
    for (size_t i = 0; i < constant_parameters_.size(); ++i) {
      const auto& values = parameters_[constant_parameters_[i]].values;
      program->SetConstant(i, values.data(), values.size());
    }
    for (uint32_t unit = 0; unit < source_.samplers.size(); ++unit) {
      const EffectSampler& sampler = source_.samplers[unit];
      const Parameter* parameter = FindTexture(sampler.texture);
      device_.SetTexture(unit, parameter ? parameter->texture : nullptr);
      device_.SetSamplerState(unit, SamplerState::MinFilter, sampler.minFilter);
      device_.SetSamplerState(unit, SamplerState::MagFilter, sampler.magFilter);
      device_.SetSamplerState(unit, SamplerState::MipFilter, sampler.mipFilter);
      device_.SetSamplerState(unit, SamplerState::AddressU, sampler.addressU);
      device_.SetSamplerState(unit, SamplerState::AddressV, sampler.addressV);
    }
  }
  device_.SetPixelProgram(program);
  return true;
}

bool Effect::EndPass() {
  if (!in_pass_) return false;
  in_pass_ = false;
  return true;
}

bool Effect::End() {
  if (!begun_) return false;
  in_pass_ = false;
  begun_ = false;
  if (save_state_) {
    RestoreStates();
  } else {
    device_.SetPixelProgram(nullptr);
  }
  return true;
}

void Effect::OnLostDevice() {
  if (begun_) End();
  lost_ = true;
  // Texture parameters may hold default-pool targets, which must all be
  // let go before the device can be reset; callers set them again anyway.
  for (Parameter& parameter : parameters_) parameter.texture.reset();
}

void Effect::OnResetDevice() { lost_ = false; }

}  // namespace lumi

namespace lumi {

bool RunEffectPasses(Effect& effect, const std::function<void()>& draw) {
  uint32_t passes = 0;
  if (!effect.Begin(&passes, kEffectSaveState)) return false;
  for (uint32_t pass = 0; pass < passes; ++pass) {
    if (!effect.BeginPass(pass)) continue;
    draw();
    effect.EndPass();
  }
  return effect.End();
}

}  // namespace lumi
