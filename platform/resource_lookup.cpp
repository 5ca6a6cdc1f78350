#include "platform/resource_lookup.h"

#include <cstdio>
#include <fstream>
#include <map>
#include <memory>
#include <set>

#include "archive/input_error.h"
#include "archive/utf.h"
#include "platform/embedded_module.h"
#include "platform/resource_lookup_os.h"

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

// A file name that cannot climb out of the folder it is joined to.
bool IsPlainFileName(std::u16string_view name) { return !name.empty() && name != u"." && name != u".."; }

std::vector<const EmbeddedResourceTable*>& Tables() {
  static std::vector<const EmbeddedResourceTable*> tables;
  return tables;
}

ResourceMessageSink& Sink() {
  static ResourceMessageSink sink;
  return sink;
}

// Each message once per process: lookups are retried every frame.
void ReportOnce(const std::string& message) {
  static std::set<std::string> given;
  if (given.insert(message).second) ReportResourceMessage(message);
}

std::filesystem::path& DocumentDirectory() {
  static std::filesystem::path directory;
  return directory;
}

class PeFileModule : public ResourceModule {
 public:
  explicit PeFileModule(PeModule module, std::string path) : module_(std::move(module)), path_(std::move(path)) {}

  std::optional<std::span<const std::uint8_t>> Find(const PeResourceName& type, std::uint16_t id) const override {
    try {
      const std::optional<PeResource> resource = module_.FindResource(type, id);
      if (!resource) return std::nullopt;
      return resource->bytes;
    } catch (const InputError& error) {
      ReportOnce("resource module " + path_ + " is broken, taken as absent: " + error.what());
      return std::nullopt;
    }
  }

 private:
  PeModule module_;
  std::string path_;
};

// The first module file of that name in the search folders. A file that is
// there but cannot serve (not regular, too large, not a PE module) is
// reported once and counts as absent; the search goes on.
std::unique_ptr<ResourceModule> LoadModuleFile(std::u16string_view file_name) {
  for (const std::filesystem::path& directory : ModuleDirectories()) {
    const std::filesystem::path path = directory / std::filesystem::path(ToUtf8(file_name));
    std::error_code ec;
    if (!std::filesystem::exists(path, ec)) continue;
    std::string error;
    std::optional<std::vector<std::uint8_t>> bytes = ReadResourceFile(path, error);
    if (!bytes) {
      ReportOnce("resource module " + error + ", taken as absent");
      continue;
    }
    try {
      return std::make_unique<PeFileModule>(PeModule(std::move(*bytes), path.string()), path.string());
    } catch (const InputError& broken) {
      ReportOnce(std::string("resource module taken as absent: ") + broken.what());
    }
  }
  return nullptr;
}

}  // namespace

EmbeddedModule::EmbeddedModule(std::u16string folded_name) : folded_name_(std::move(folded_name)) {}

bool EmbeddedModule::Exists() const {
  for (const EmbeddedResourceTable* table : Tables()) {
    if (FoldCase(table->module_name) == folded_name_) return true;
  }
  return false;
}

std::optional<std::span<const std::uint8_t>> EmbeddedModule::Find(const PeResourceName& type, std::uint16_t id) const {
  for (const EmbeddedResourceTable* table : Tables()) {
    if (FoldCase(table->module_name) != folded_name_) continue;
    for (const EmbeddedResource& entry : std::span(table->entries, table->count)) {
      const PeResourceName entry_type =
          entry.type_name ? PeResourceName(std::u16string_view(entry.type_name)) : PeResourceName(entry.type_number);
      if (entry.id == id && entry_type.Matches(type)) return std::span(entry.bytes, entry.size);
    }
  }
  return std::nullopt;
}

void RegisterEmbeddedResources(const EmbeddedResourceTable& table) { Tables().push_back(&table); }

std::optional<std::vector<std::uint8_t>> ReadResourceFile(const std::filesystem::path& path, std::string& error) {
  std::error_code ec;
  const std::filesystem::file_status status = std::filesystem::status(path, ec);
  if (ec || !std::filesystem::exists(status)) {
    error = path.string() + ": no such file";
    return std::nullopt;
  }
  if (!std::filesystem::is_regular_file(status)) {
    error = path.string() + ": not a regular file";
    return std::nullopt;
  }
  const std::uintmax_t size = std::filesystem::file_size(path, ec);
  if (ec || size > kMaxResourceFileBytes) {
    error = path.string() + ": " + (ec ? "size unknown" : "larger than " + std::to_string(kMaxResourceFileBytes >> 20) + " MiB");
    return std::nullopt;
  }
  std::ifstream in(path, std::ios::binary);
  std::vector<std::uint8_t> bytes(static_cast<std::size_t>(size));
  // A file that shrank while it was read fails the read.
  if (in && size > 0) in.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(size));
  if (!in) {
    error = path.string() + ": cannot be read";
    return std::nullopt;
  }
  return bytes;
}

std::optional<std::vector<std::uint8_t>> ReadDocumentNamedFile(std::u16string_view path, std::string& error) {
  const std::filesystem::path file(ToUtf8(path));
  if (!file.is_absolute()) {
    error = ToUtf8(path) + ": not a full path";
    return std::nullopt;
  }
  return ReadResourceFile(file, error);
}

void SetResourceMessageSink(ResourceMessageSink sink) { Sink() = std::move(sink); }

void ReportResourceMessage(const std::string& message) {
  if (Sink()) {
    Sink()(message);
  } else {
    std::fprintf(stderr, "lumisave: %s\n", message.c_str());
  }
}

std::optional<std::uint16_t> ResourceIdOf(std::int64_t number) {
  if (number < 0 || number > 0xFFFF) return std::nullopt;
  return static_cast<std::uint16_t>(number);
}

void SetDocumentDirectory(const std::filesystem::path& directory) { DocumentDirectory() = directory; }

std::vector<std::filesystem::path> ModuleDirectories() {
  std::vector<std::filesystem::path> directories;
  if (!DocumentDirectory().empty()) directories.push_back(DocumentDirectory());
  if (std::filesystem::path executable = os::ExecutableDirectory(); !executable.empty()) directories.push_back(executable);
  if (std::filesystem::path data = os::UserDataDirectory(); !data.empty()) directories.push_back(data / "lumisave" / "modules");
  return directories;
}

std::u16string ModuleFileKey(std::u16string_view path) { return FoldCase(FileName(path)); }

const ResourceModule* FindModuleInstance(std::u16string_view path) {
  static std::map<std::u16string, std::unique_ptr<ResourceModule>> loaded;
  const std::u16string_view name = FileName(path);
  if (!IsPlainFileName(name)) return nullptr;
  const std::u16string key = ModuleFileKey(name);
  if (const auto found = loaded.find(key); found != loaded.end()) return found->second.get();
  std::unique_ptr<ResourceModule> module = LoadModuleFile(name);
  if (!module) return nullptr;
  return loaded.emplace(key, std::move(module)).first->second.get();
}

const ResourceModule* FindPackedModule(std::u16string_view path) {
  static std::map<std::u16string, std::unique_ptr<EmbeddedModule>> packed;
  const std::u16string key = ModuleFileKey(path);
  if (key.empty()) return nullptr;
  if (const auto found = packed.find(key); found != packed.end()) return found->second.get();
  auto module = std::make_unique<EmbeddedModule>(key);
  if (!module->Exists()) return nullptr;
  return packed.emplace(key, std::move(module)).first->second.get();
}

std::optional<std::span<const std::uint8_t>> FindModuleResource(const ResourceModule* module, const PeResourceName& type,
                                                                 std::uint16_t id) {
  return (module ? *module : ExecutableModule()).Find(type, id);
}

}  // namespace lumi
