// Starting other programs without a shell: arguments travel as a vector,
// so blanks, quotes and $(...) in them arrive literally.
#pragma once

#include <chrono>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace lumi {

// Runs `program` (a path, never looked up on PATH) with `arguments` and
// returns its standard output once it ends with status 0. A program that
// has not ended within `limit` is killed; either way no child is left
// behind. Nullopt with the reason in error otherwise.
std::optional<std::string> RunForOutput(const std::filesystem::path& program, const std::vector<std::string>& arguments,
                                        std::chrono::milliseconds limit, std::string& error);

// Starts `program`, found on PATH, with `arguments` and does not wait for
// it; it is reaped when it ends. False when it could not be started.
bool StartFromPath(const std::string& program, const std::vector<std::string>& arguments);

}  // namespace lumi
