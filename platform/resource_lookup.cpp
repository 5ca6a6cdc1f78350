#include "platform/resource_lookup.h"

#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "archive/input_error.h"
#include "archive/utf.h"

namespace lumi {
namespace {

std::u16string FoldCase(std::u16string_view name) {
  std::u16string folded(name);
  for (char16_t& c : folded) {
    if (c >= u'A' && c <= u'Z') c = static_cast<char16_t>(c + 32);
  }
  return folded;
}

// Module paths come from documents written on Windows, so either slash ends
// a directory.
std::u16string_view FileName(std::u16string_view path) {
  const std::size_t slash = path.find_last_of(u"/\\");
  return slash == std::u16string_view::npos ? path : path.substr(slash + 1);
}

std::vector<const EmbeddedResourceTable*>& Tables() {
  static std::vector<const EmbeddedResourceTable*> tables;
  return tables;
}

class EmbeddedModule : public ResourceModule {
 public:
  explicit EmbeddedModule(std::u16string foldedName) : foldedName_(std::move(foldedName)) {}

  bool Exists() const {
    for (const EmbeddedResourceTable* table : Tables()) {
      if (FoldCase(table->moduleName) == foldedName_) return true;
    }
    return false;
  }

  std::optional<std::span<const std::uint8_t>> Find(const PeResourceName& type, std::uint16_t id) const override {
    for (const EmbeddedResourceTable* table : Tables()) {
      if (FoldCase(table->moduleName) != foldedName_) continue;
      for (const EmbeddedResource& entry : std::span(table->entries, table->count)) {
        const PeResourceName entryType = entry.typeName ? PeResourceName(std::u16string_view(entry.typeName))
                                                     : PeResourceName(entry.typeNumber);
        if (entry.id == id && entryType.Matches(type)) return std::span(entry.bytes, entry.size);
      }
    }
    return std::nullopt;
  }

 private:
  std::u16string foldedName_;
};

class PeFileModule : public ResourceModule {
 public:
  explicit PeFileModule(PeModule module) : module_(std::move(module)) {}

  std::optional<std::span<const std::uint8_t>> Find(const PeResourceName& type, std::uint16_t id) const override {
    const std::optional<PeResource> resource = module_.FindResource(type, id);
    if (!resource) return std::nullopt;
    return resource->bytes;
  }

 private:
  PeModule module_;
};

std::unique_ptr<ResourceModule> LoadPeFile(const std::filesystem::path& path) {
  std::ifstream file(path, std::ios::binary);
  if (!file) return nullptr;
  std::vector<std::uint8_t> bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
  try {
    return std::make_unique<PeFileModule>(PeModule(std::move(bytes), path.string()));
  } catch (const InputError&) {
    return nullptr;
  }
}

}  // namespace

void RegisterEmbeddedResources(const EmbeddedResourceTable& table) { Tables().push_back(&table); }

const ResourceModule& ExecutableModule() {
  static const EmbeddedModule executable{std::u16string()};
  return executable;
}

const ResourceModule* FindModuleInstance(std::u16string_view path) {
  static std::map<std::u16string, std::unique_ptr<ResourceModule>> loaded;
  const std::u16string key = FoldCase(FileName(path));
  if (key.empty()) return nullptr;
  if (const auto found = loaded.find(key); found != loaded.end()) return found->second.get();

  std::unique_ptr<ResourceModule> module = LoadPeFile(std::filesystem::path(ToUtf8(path)));
  if (!module) {
    auto embedded = std::make_unique<EmbeddedModule>(key);
    if (embedded->Exists()) module = std::move(embedded);
  }
  if (!module) return nullptr;
  return loaded.emplace(key, std::move(module)).first->second.get();
}

std::optional<std::span<const std::uint8_t>> FindModuleResource(const ResourceModule* module, const PeResourceName& type,
                                                                 std::uint16_t id) {
  return (module ? *module : ExecutableModule()).Find(type, id);
}

}  // namespace lumi
