#include "programs/builtin_programs.h"

namespace lumi {

// Generated from programs/*.lfx at build time.
extern const BuiltinProgram kBuiltinProgramTable[];
extern const size_t kBuiltinProgramCount;

std::span<const BuiltinProgram> BuiltinPrograms() { return {kBuiltinProgramTable, kBuiltinProgramCount}; }

const BuiltinProgram* FindBuiltinProgram(int resourceNumber) {
  if (resourceNumber < 0) return nullptr;
  for (const BuiltinProgram& program : BuiltinPrograms()) {
    if (program.resourceNumber == resourceNumber) return &program;
  }
  return nullptr;
}

const BuiltinProgram* FindClassProgram(std::string_view className) {
  if (className.empty()) return nullptr;
  for (const BuiltinProgram& program : BuiltinPrograms()) {
    if (program.className == className) return &program;
  }
  return nullptr;
}

}  // namespace lumi
