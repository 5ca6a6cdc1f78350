// Effect programs built into the player: numbered ones keyed by the resource
// number under which the scene's links name them in the shared resource
// module, and the programs classes fall back to when no source holds the
// program their link names.
#pragma once

#include <span>
#include <string_view>

namespace lumi {

struct BuiltinProgram {
  int resourceNumber;  // -1 for a class's program
  std::string_view name;
  std::string_view text;  // in the effect container format
  std::string_view className;  // empty for a numbered program
};

std::span<const BuiltinProgram> BuiltinPrograms();
// Null when no program of that number is built in.
const BuiltinProgram* FindBuiltinProgram(int resourceNumber);
// The program of class `className`; null when the class has none.
const BuiltinProgram* FindClassProgram(std::string_view className);

}  // namespace lumi
