// Whole-file reads and writes with errors that name the file.
#pragma once

#include <cstdint>
#include <filesystem>
#include <span>
#include <vector>

namespace lumi {

// Throws InputError when the file cannot be opened or read.
std::vector<uint8_t> ReadFileBytes(const std::filesystem::path& path);
// Throws InputError when the file cannot be written.
void WriteFileBytes(const std::filesystem::path& path, std::span<const uint8_t> bytes);

}  // namespace lumi
