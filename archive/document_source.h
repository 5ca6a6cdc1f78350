// Where a scene document comes from when it is named on the command line:
// a bare document file, or a Windows screen saver (.scr) that carries one;
// and what tells a document from any other file.
#pragma once

#include <cstdint>
#include <filesystem>
#include <span>
#include <vector>

namespace lumi {

// The resource under which a Windows screen saver carries its document.
inline constexpr char16_t kDocumentResourceType[] = u"DDS";
inline constexpr std::uint16_t kDocumentResourceId = 107;

// Files beyond this size are refused before anything is read: a document is
// held in memory whole while it loads.
inline constexpr std::uint64_t kMaxDocumentFileBytes = 512ull << 20;

// Whether `bytes` begin as a document does: the string marker bytes, then a
// string of 1 to 254 printable ASCII characters that names the format
// ("KSV v 4.0.0"). Any other file is no document, and nothing more of it is
// read.
bool StartsWithDocumentSignature(std::span<const std::uint8_t> bytes);
// The text of the error for such a file.
inline constexpr char kNotADocument[] = "not a lumisave document (it does not begin with a document signature)";

// The document's bytes. A file that starts with "MZ" is read as a Windows
// executable and its resource "DDS" 107 is the document; anything else must
// begin with a document signature. Throws InputError for a missing,
// unreadable, empty or too large file, a file that is no document, a broken
// executable, or an executable without (or with an empty) document resource.
std::vector<std::uint8_t> ReadDocumentFile(const std::filesystem::path& path);

}  // namespace lumi
