// Whole-file reads and writes with errors that name the file.
#pragma once

#include <cstdint>
#include <filesystem>
#include <span>
#include <string_view>
#include <vector>

namespace lumi {

// The bytes of a text, for writing it or hashing it.
inline std::span<const uint8_t> AsBytes(std::string_view text) {
  return {reinterpret_cast<const uint8_t*>(text.data()), text.size()};
}

// Throws InputError when the file cannot be opened or read, or when it holds
// more than `limit` bytes (then nothing is read).
std::vector<uint8_t> ReadFileBytes(const std::filesystem::path& path, uint64_t limit = UINT64_MAX);
// At most the first `count` bytes; fewer when the file is shorter.
std::vector<uint8_t> ReadFileStart(const std::filesystem::path& path, size_t count);
// Throws InputError when the file cannot be written.
void WriteFileBytes(const std::filesystem::path& path, std::span<const uint8_t> bytes);

}  // namespace lumi
