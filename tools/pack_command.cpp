// pack: build a document from the JSON that inspect prints.
#include <filesystem>

#include "archive/file_io.h"
#include "archive/input_error.h"
#include "scene/document.h"
#include "tools/command.h"

namespace lumi::tool::pack_command {
namespace {

constexpr char kUsageText[] =
    "Usage: lumisave-tool pack SCENE.json -o FILE\n"
    "Build a document from SCENE.json (as 'inspect --extract' writes it). Blob files\n"
    "are read from the paths the JSON names: a relative name is looked for beside\n"
    "SCENE.json, then in the working directory. Every record is written in its\n"
    "current version.\n";

int Run(const std::vector<std::string>& raw) {
  Arguments args(raw);
  const auto output = args.Option("-o", "--output");
  const auto files = args.Positional();
  if (files.size() != 1) throw UsageError{"expected one SCENE.json"};
  if (!output) throw UsageError{"-o FILE is required"};

  const std::vector<uint8_t> text = ReadFileBytes(files[0]);
  nlohmann::ordered_json json;
  try {
    json = nlohmann::ordered_json::parse(text.begin(), text.end());
  } catch (const nlohmann::json::parse_error& e) {
    throw InputError(files[0] + ": not valid JSON: " + e.what());
  }
  const std::filesystem::path base = std::filesystem::absolute(files[0]).parent_path();
  Document document;
  try {
    document = DocumentFromJson(json, base);
  } catch (const InputError& e) {
    throw InputError(files[0] + ": " + e.what());
  }
  WriteFileBytes(*output, SaveDocument(document));
  return kSuccess;
}

const RegisterCommand kRegister({"pack", "build a document from JSON", kUsageText, Run});

}  // namespace
}  // namespace lumi::tool::pack_command
