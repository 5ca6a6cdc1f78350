// pack: build a document from the JSON that inspect prints.
#include <algorithm>
#include <filesystem>

#include "archive/file_io.h"
#include "archive/input_error.h"
#include "backdrop/lake_bump.h"
#include "backdrop/variants.h"
#include "scene/document.h"
#include "tools/caption_pictures.h"
#include "tools/command.h"

namespace lumi::tool::pack_command {
namespace {

constexpr char kUsageText[] =
    "Usage: lumisave-tool pack SCENE.json -o FILE\n"
    "Build a document from SCENE.json (as 'inspect --extract' writes it). Blob files\n"
    "are read from the paths the JSON names: a relative name is looked for beside\n"
    "SCENE.json, then in the working directory. Every record is written in its\n"
    "current version. A text object's \"caption\" entry (text, face, size, colour)\n"
    "is rendered to its picture with the font file it names (see the README).\n\n"
    "  --lake-bumps   give every lake backdrop whose bump texture the document\n"
    "                 does not carry one made from its flattening and normal\n"
    "                 amplitude, stored under its bump identifier\n";

// Lakes without a stored bump texture would mirror without ripples.
void AddLakeBumps(Document& document) {
  std::vector<MaskRecord>& masks = document.resources->masks;
  for (const auto& slide : document.show->slides) {
    const auto* lake = dynamic_cast<const FakeLake2D*>(slide->backdrop.get());
    if (lake == nullptr) continue;
    if (std::ranges::any_of(masks, [&](const MaskRecord& mask) { return mask.guid == lake->bump_id; })) continue;
    masks.push_back({lake->bump_id, lake->bump_label, true, {u"lake_bump.dds", LakeBumpRecipe(*lake)}});
  }
}

int Run(const std::vector<std::string>& raw) {
  Arguments args(raw);
  const auto output = args.Option("-o", "--output");
  const bool lake_bumps = args.Flag("--lake-bumps");
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
    CaptionResources captions = RenderCaptions(json, base);
    document = DocumentFromJson(json, base);
    AddCaptionResources(document, std::move(captions));
  } catch (const InputError& e) {
    throw InputError(files[0] + ": " + e.what());
  }
  if (lake_bumps) AddLakeBumps(document);
  WriteFileBytes(*output, SaveDocument(document));
  return kSuccess;
}

const RegisterCommand kRegister({"pack", "build a document from JSON", kUsageText, Run});

}  // namespace
}  // namespace lumi::tool::pack_command
