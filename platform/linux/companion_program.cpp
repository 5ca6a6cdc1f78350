#include "platform/linux/companion_program.h"

#include <unistd.h>

namespace lumi {

std::optional<std::filesystem::path> FindCompanionProgram(const std::filesystem::path& installed_from_here) {
  std::error_code error;
  const std::filesystem::path folder = std::filesystem::read_symlink("/proc/self/exe", error).parent_path();
  if (error) return std::nullopt;
  for (const std::filesystem::path& candidate :
       {folder / installed_from_here.filename(), (folder / installed_from_here).lexically_normal()}) {
    if (std::filesystem::is_regular_file(candidate, error) && access(candidate.c_str(), X_OK) == 0) return candidate;
  }
  return std::nullopt;
}

}  // namespace lumi
