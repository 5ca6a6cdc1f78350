// What each system provides for platform/temp_files.cpp.
#pragma once

#include <cstdint>
#include <filesystem>
#include <span>
#include <string>

namespace lumi::os {

// $TMPDIR (or the system's temporary folder) when it is a directory.
std::filesystem::path TempBase();
uint32_t ProcessId();
bool ProcessAlive(uint32_t pid);
// Makes `path` as a directory only this user can enter; fails if it exists.
bool MakePrivateDirectory(const std::filesystem::path& path, std::string& error);
// Whether `path` is a directory that this user owns, not a link to one.
bool OwnDirectory(const std::filesystem::path& path);
// Creates `path` exclusively (never through a link) readable by this user
// only and writes `bytes`; false with `error` set, and `exists` when the
// name was taken.
bool WriteNewFile(const std::filesystem::path& path, std::span<const uint8_t> bytes, bool& exists,
                  std::string& error);
// From now on SIGTERM and SIGINT remove the directory's files and the
// directory before the process ends as it would have.
void RemoveOnTerminationSignal(const std::filesystem::path& directory);

}  // namespace lumi::os
