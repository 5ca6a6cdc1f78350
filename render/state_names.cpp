#include "render/state_names.h"

#include <algorithm>
#include <type_traits>

namespace lumi {

namespace {

#define LUMI_NAME_CASE(e, values) \
  case decltype(state)::e:        \
    return #e;
#define LUMI_VALUES_CASE(e, values) \
  case decltype(state)::e:          \
    return StateValues::values;
#define LUMI_NAMED_VALUE(e, name, value, gl) {name, value},

constexpr NamedValue kBooleans[] = {LUMI_BOOLEAN_TABLE(LUMI_NAMED_VALUE)};
constexpr NamedValue kBlends[] = {LUMI_BLEND_TABLE(LUMI_NAMED_VALUE)};
constexpr NamedValue kBlendOps[] = {LUMI_BLEND_OP_TABLE(LUMI_NAMED_VALUE)};
constexpr NamedValue kCulls[] = {LUMI_CULL_TABLE(LUMI_NAMED_VALUE)};
constexpr NamedValue kCompares[] = {LUMI_COMPARE_TABLE(LUMI_NAMED_VALUE)};
constexpr NamedValue kTextureOps[] = {LUMI_TEXTURE_OP_TABLE(LUMI_NAMED_VALUE)};
constexpr NamedValue kTextureArgs[] = {LUMI_TEXTURE_ARG_TABLE(LUMI_NAMED_VALUE)};
constexpr NamedValue kAddresses[] = {LUMI_TEXTURE_ADDRESS_TABLE(LUMI_NAMED_VALUE)};
constexpr NamedValue kFilters[] = {LUMI_TEXTURE_FILTER_TABLE(LUMI_NAMED_VALUE)};
constexpr NamedValue kPrimitives[] = {LUMI_PRIMITIVE_TABLE(LUMI_NAMED_VALUE)};

// Settable states only: the others are unknown names to effect programs.
template <typename State>
std::optional<State> StateByName(std::string_view name) {
  for (size_t i = 0; i < static_cast<size_t>(State::Count); ++i) {
    const auto state = static_cast<State>(i);
    if (ValuesOf(state) == StateValues::Unset) continue;
    if constexpr (std::is_same_v<State, RenderState>) {
      if (name == RenderStateName(state)) return state;
    } else {
      if (name == StageStateName(state)) return state;
    }
  }
  return std::nullopt;
}

}  // namespace

const char* RenderStateName(RenderState state) {
  switch (state) {
    LUMI_RENDER_STATE_TABLE(LUMI_NAME_CASE)
    case RenderState::Count:
      break;
  }
  return "?";
}

const char* StageStateName(StageState state) {
  switch (state) {
    LUMI_STAGE_STATE_TABLE(LUMI_NAME_CASE)
    case StageState::Count:
      break;
  }
  return "?";
}

const char* SamplerStateName(SamplerState state) {
  switch (state) {
    LUMI_SAMPLER_STATE_TABLE(LUMI_NAME_CASE)
    case SamplerState::Count:
      break;
  }
  return "?";
}

const char* PrimitiveName(PrimitiveType type) {
  for (const NamedValue& named : kPrimitives) {
    if (named.value == static_cast<uint32_t>(type)) return named.name.data();
  }
  return "?";
}

StateValues ValuesOf(RenderState state) {
  switch (state) {
    LUMI_RENDER_STATE_TABLE(LUMI_VALUES_CASE)
    case RenderState::Count:
      break;
  }
  return StateValues::Unset;
}

StateValues ValuesOf(StageState state) {
  switch (state) {
    LUMI_STAGE_STATE_TABLE(LUMI_VALUES_CASE)
    case StageState::Count:
      break;
  }
  return StateValues::Unset;
}

StateValues ValuesOf(SamplerState state) {
  switch (state) {
    LUMI_SAMPLER_STATE_TABLE(LUMI_VALUES_CASE)
    case SamplerState::Count:
      break;
  }
  return StateValues::Unset;
}

std::span<const NamedValue> NamedValues(StateValues values) {
  switch (values) {
    case StateValues::Boolean:
      return kBooleans;
    case StateValues::Blend:
      return kBlends;
    case StateValues::BlendOp:
      return kBlendOps;
    case StateValues::Cull:
      return kCulls;
    case StateValues::Compare:
      return kCompares;
    case StateValues::TextureOp:
      return kTextureOps;
    case StateValues::TextureArg:
      return kTextureArgs;
    case StateValues::TextureAddress:
      return kAddresses;
    case StateValues::TextureFilter:
      return kFilters;
    case StateValues::Byte:
    case StateValues::Unset:
      break;
  }
  return {};
}

std::optional<uint32_t> ValueByName(StateValues values, std::string_view name) {
  const auto names = NamedValues(values);
  const auto found = std::find_if(names.begin(), names.end(), [&](const NamedValue& v) { return v.name == name; });
  if (found == names.end()) return std::nullopt;
  return found->value;
}

std::optional<RenderState> RenderStateByName(std::string_view name) { return StateByName<RenderState>(name); }
std::optional<StageState> StageStateByName(std::string_view name) { return StateByName<StageState>(name); }

}  // namespace lumi
