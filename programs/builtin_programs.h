// Effect programs built into the player, keyed by the resource number under
// which the scene's links name them in the shared resource module.
#pragma once

#include <span>
#include <string_view>

namespace lumi {

struct BuiltinProgram {
  int resourceNumber;
  std::string_view name;
  std::string_view text;  // in the effect container format
};

std::span<const BuiltinProgram> BuiltinPrograms();
// Null when no program of that number is built in.
const BuiltinProgram* FindBuiltinProgram(int resourceNumber);

}  // namespace lumi
