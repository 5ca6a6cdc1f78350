// Files the process writes so that a decoder can read them (sound tracks
// carried in the document). They live in one directory of the process's own
// (mode 0700, in $TMPDIR or the system's temporary folder), each created new
// under a random name: a stored name from a document never becomes a path.
// The directory and its files go at exit, on SIGTERM and SIGINT; at its
// creation, directories left by processes that are gone are removed.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace lumi {

// Writes `bytes` to a new file named at random with `extension` (".mp3",
// or empty). Nothing with `error` set when no file could be made.
std::optional<std::filesystem::path> WritePrivateTempFile(std::span<const uint8_t> bytes, std::string_view extension,
                                                          std::string& error);
// Removes a file WritePrivateTempFile made.
void RemovePrivateTempFile(const std::filesystem::path& path);
// The directory, made on first need; empty when it could not be made.
std::filesystem::path PrivateTempDirectory();

// The name every such directory starts with, before "<process id>-".
inline constexpr std::string_view kTempDirectoryPrefix = "lumisave-";

}  // namespace lumi
