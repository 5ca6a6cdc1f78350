// Conversions between the UTF-16 strings of documents and the Windows
// command line, and the UTF-8 of JSON, terminals and file names.
#pragma once

#include <string>
#include <string_view>

namespace lumi {

// Unpaired surrogates become U+FFFD; the result is always valid UTF-8.
std::string ToUtf8(std::u16string_view text);

// Malformed UTF-8 sequences become U+FFFD.
std::u16string FromUtf8(std::string_view text);

}  // namespace lumi
