// programs: list the built-in effect programs, and check that each one
// compiles on the headless device.
#include <iostream>
#include <memory>
#include <optional>
#include <span>
#include <string>

#include "archive/input_error.h"
#include "platform/gl/gl_context.h"
#include "programs/builtin_programs.h"
#include "render/effect.h"
#include "render/effect_source.h"
#include "render/gl/gl_device.h"
#include "tools/command.h"

namespace lumi::tool::programs_command {
namespace {

constexpr char kUsageText[] =
    "Usage: lumisave-tool programs [--check]\n"
    "List every effect program built into the player: its resource number (or\n"
    "the class whose own program it is) and name, its techniques, and its\n"
    "parameters with their kinds.\n\n"
    "  --check  also compile every pass of every program on the headless OpenGL\n"
    "           device; exit 1 naming the program, technique and line of each\n"
    "           one that does not compile\n";

const char* KindName(ParameterType type) {
  switch (type) {
    case ParameterType::Float:
      return "float";
    case ParameterType::Float2:
      return "float2";
    case ParameterType::Float3:
      return "float3";
    case ParameterType::Float4:
      return "float4";
    case ParameterType::Float2x2:
      return "float2x2";
    case ParameterType::Float4x4:
      return "float4x4";
    case ParameterType::Texture:
      return "texture";
  }
  return "?";
}

std::string Label(const BuiltinProgram& program) {
  return program.className.empty() ? std::to_string(program.resourceNumber) + " " + std::string(program.name)
                                   : "class " + std::string(program.className);
}

// The program's techniques and parameters; false when it does not parse.
bool List(const BuiltinProgram& program) {
  std::cout << Label(program) << "\n";
  std::string error;
  const std::optional<EffectSource> source = ParseEffectSource(program.text, error);
  if (!source) {
    std::cout << "  does not parse: " << error << "\n";
    return false;
  }
  std::cout << "  techniques:";
  for (const EffectTechnique& technique : source->techniques) std::cout << " " << technique.name;
  std::cout << "\n  parameters:";
  for (const EffectParameter& parameter : source->parameters) {
    std::cout << " " << parameter.name << " (" << KindName(parameter.type) << ")";
  }
  std::cout << "\n";
  return true;
}

int Run(const std::vector<std::string>& raw) {
  Arguments args(raw);
  const bool check = args.Flag("--check");
  if (!args.Positional().empty()) throw UsageError{"programs takes no file"};
  std::unique_ptr<GlContext> context;
  std::unique_ptr<GraphicsDevice> device;
  if (check) {
    std::string error;
    context = CreateHeadlessGlContext(error);
    if (!context) throw InputError("cannot compile without OpenGL: " + error);
    device = CreateGlDevice(*context, 16, 16, error);
    if (!device) throw InputError("cannot create the graphics device: " + error);
  }
  int failures = 0;
  for (const BuiltinProgram& program : BuiltinPrograms()) {
    bool good = List(program);
    if (good && device) {
      std::string message;
      const auto bytes = std::span(reinterpret_cast<const uint8_t*>(program.text.data()), program.text.size());
      good = Effect::Create(*device, Label(program), bytes, message) != nullptr;
      if (!good) std::cerr << message << "\n";
    }
    failures += good ? 0 : 1;
  }
  if (check) std::cout << (failures == 0 ? "every program compiles\n" : std::to_string(failures) + " programs fail\n");
  return failures == 0 ? kSuccess : kBadInput;
}

const RegisterCommand kRegister({"programs", "list the built-in effect programs and check that they compile",
                                 kUsageText, Run});

}  // namespace
}  // namespace lumi::tool::programs_command
