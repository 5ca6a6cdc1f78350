// The saver and its settings program start each other. Each finds the
// other beside itself (the build folder), else where the installation put
// it relative to itself, so an installed tree works wherever its prefix
// is; never through PATH or the working folder.
#pragma once

#include <filesystem>
#include <optional>

namespace lumi {

// `installed_from_here` is the other program's installed path relative to
// this program's folder, such as "../../bin/lumisave-settings"; the
// program beside this one has the same file name. Nullopt when neither
// exists.
std::optional<std::filesystem::path> FindCompanionProgram(const std::filesystem::path& installed_from_here);

}  // namespace lumi
