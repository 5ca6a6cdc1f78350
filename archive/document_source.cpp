#include "archive/document_source.h"

#include <algorithm>
#include <iterator>

#include "archive/file_io.h"
#include "archive/input_error.h"
#include "archive/pe_module.h"

namespace lumi {
namespace {

constexpr std::uint8_t kStringMarker[] = {0xFF, 0xFE, 0xFF};
// Markers, a one-byte length and the longest signature that length allows.
constexpr std::size_t kLongestSignatureBytes = 4 + 2 * 254;

}  // namespace

bool StartsWithDocumentSignature(std::span<const std::uint8_t> bytes) {
  if (bytes.size() < 4 || !std::equal(std::begin(kStringMarker), std::end(kStringMarker), bytes.begin())) return false;
  const std::size_t length = bytes[3];
  if (length == 0 || length == 0xFF || bytes.size() < 4 + 2 * length) return false;
  for (std::size_t i = 0; i < length; ++i) {
    const std::uint8_t low = bytes[4 + 2 * i], high = bytes[5 + 2 * i];
    if (high != 0 || low < 0x20 || low > 0x7E) return false;
  }
  return true;
}

std::vector<std::uint8_t> ReadDocumentFile(const std::filesystem::path& path) {
  const std::vector<std::uint8_t> start = ReadFileStart(path, kLongestSignatureBytes);
  if (start.empty()) throw InputError(path.string() + ": the file is empty");
  const bool executable = start.size() >= 2 && start[0] == 'M' && start[1] == 'Z';
  if (!executable && !StartsWithDocumentSignature(start)) throw InputError(path.string() + ": " + kNotADocument);

  std::vector<std::uint8_t> bytes = ReadFileBytes(path, kMaxDocumentFileBytes);
  if (!executable) return bytes;
  const PeModule module(std::move(bytes), path.string());
  const PeResourceName type{std::u16string_view(kDocumentResourceType)};
  const auto resource = module.FindResource(type, kDocumentResourceId);
  if (!resource) {
    throw InputError(path.string() + ": Windows executable without a scene document (no resource \"DDS\" 107)");
  }
  if (resource->bytes.empty()) {
    throw InputError(path.string() + ": the scene document (resource \"DDS\" 107) is empty");
  }
  if (!StartsWithDocumentSignature(resource->bytes)) {
    throw InputError(path.string() + ": the resource \"DDS\" 107 is " + kNotADocument);
  }
  return {resource->bytes.begin(), resource->bytes.end()};
}

}  // namespace lumi
