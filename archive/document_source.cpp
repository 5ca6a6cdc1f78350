#include "archive/document_source.h"

#include "archive/file_io.h"
#include "archive/input_error.h"
#include "archive/pe_module.h"

namespace lumi {

std::vector<std::uint8_t> ReadDocumentFile(const std::filesystem::path& path) {
  std::vector<std::uint8_t> bytes = ReadFileBytes(path);
  if (bytes.empty()) throw InputError(path.string() + ": the file is empty");
  if (bytes.size() < 2 || bytes[0] != 'M' || bytes[1] != 'Z') return bytes;

  const PeModule module(std::move(bytes), path.string());
  const PeResourceName type{std::u16string_view(kDocumentResourceType)};
  const auto resource = module.FindResource(type, kDocumentResourceId);
  if (!resource) {
    throw InputError(path.string() + ": Windows executable without a scene document (no resource \"DDS\" 107)");
  }
  if (resource->bytes.empty()) {
    throw InputError(path.string() + ": the scene document (resource \"DDS\" 107) is empty");
  }
  return {resource->bytes.begin(), resource->bytes.end()};
}

}  // namespace lumi
