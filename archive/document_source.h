// Where a scene document comes from when it is named on the command line:
// a bare document file, or a Windows screen saver (.scr) that carries one.
#pragma once

#include <cstdint>
#include <filesystem>
#include <vector>

namespace lumi {

// The resource under which a Windows screen saver carries its document.
inline constexpr char16_t kDocumentResourceType[] = u"DDS";
inline constexpr std::uint16_t kDocumentResourceId = 107;

// The document's bytes. A file that starts with "MZ" is read as a Windows
// executable and its resource "DDS" 107 is the document; anything else is
// taken as a bare document. Throws InputError for a missing or unreadable
// file, an empty one, a broken executable, or an executable without (or with
// an empty) document resource.
std::vector<std::uint8_t> ReadDocumentFile(const std::filesystem::path& path);

}  // namespace lumi
