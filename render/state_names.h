// Names of the device's states and of their values, from the tables of
// render/state_tables.h: for the recording device's log and for effect
// programs, which set states by name.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string_view>

#include "render/device_types.h"

namespace lumi {

const char* RenderStateName(RenderState state);
const char* StageStateName(StageState state);
const char* SamplerStateName(SamplerState state);
const char* PrimitiveName(PrimitiveType type);

// The kinds of value a state takes. Byte: a number from 0 to 255; Unset:
// effect programs cannot set the state.
enum class StateValues {
  Boolean,
  Blend,
  BlendOp,
  Cull,
  Compare,
  TextureOp,
  TextureArg,
  TextureAddress,
  TextureFilter,
  Byte,
  Unset
};

StateValues ValuesOf(RenderState state);
StateValues ValuesOf(StageState state);
StateValues ValuesOf(SamplerState state);

struct NamedValue {
  std::string_view name;
  uint32_t value;
};
// The named values of a kind; empty for Byte and Unset.
std::span<const NamedValue> NamedValues(StateValues values);
std::optional<uint32_t> ValueByName(StateValues values, std::string_view name);

std::optional<RenderState> RenderStateByName(std::string_view name);
std::optional<StageState> StageStateByName(std::string_view name);

}  // namespace lumi
