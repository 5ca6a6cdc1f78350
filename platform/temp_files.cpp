#include "platform/temp_files.h"

#include <cstdlib>
#include <mutex>
#include <random>

#include "platform/temp_files_os.h"

namespace lumi {
namespace {

std::string RandomHex(size_t digits) {
  static std::mt19937_64 generator{std::random_device{}()};
  std::string text;
  while (text.size() < digits) text += "0123456789abcdef"[generator() & 15];
  return text;
}

// A directory "lumisave-<pid>-<random>" whose process is gone.
bool IsStale(const std::filesystem::path& entry) {
  const std::string name = entry.filename().string();
  if (!name.starts_with(kTempDirectoryPrefix)) return false;
  const std::string rest = name.substr(kTempDirectoryPrefix.size());
  const size_t dash = rest.find('-');
  if (dash == 0 || dash == std::string::npos || rest.find_first_not_of("0123456789") != dash) return false;
  const unsigned long pid = std::strtoul(rest.substr(0, dash).c_str(), nullptr, 10);
  return pid != os::ProcessId() && !os::ProcessAlive(static_cast<uint32_t>(pid)) && os::OwnDirectory(entry);
}

void RemoveStaleDirectories(const std::filesystem::path& base) {
  std::error_code ec;
  for (const auto& entry : std::filesystem::directory_iterator(base, ec)) {
    std::error_code ignored;
    // remove_all never follows a link out of the directory.
    if (IsStale(entry.path())) std::filesystem::remove_all(entry.path(), ignored);
  }
}

std::mutex directory_mutex;
std::filesystem::path directory;
// A forked child inherits the directory but must neither use nor remove it.
uint32_t directory_owner = 0;

void RemoveDirectoryAtExit() {
  std::error_code ignored;
  if (!directory.empty() && directory_owner == os::ProcessId()) std::filesystem::remove_all(directory, ignored);
}

}  // namespace

std::filesystem::path PrivateTempDirectory() {
  const std::lock_guard lock(directory_mutex);
  if (!directory.empty() && directory_owner == os::ProcessId()) return directory;
  const std::filesystem::path base = os::TempBase();
  if (base.empty()) return {};
  RemoveStaleDirectories(base);
  for (int attempt = 0; attempt < 16; ++attempt) {
    const std::filesystem::path path =
        base / (std::string(kTempDirectoryPrefix) + std::to_string(os::ProcessId()) + "-" + RandomHex(8));
    std::string error;
    if (os::MakePrivateDirectory(path, error)) {
      if (directory.empty()) std::atexit(RemoveDirectoryAtExit);
      directory = path;
      directory_owner = os::ProcessId();
      os::RemoveOnTerminationSignal(directory);
      return directory;
    }
  }
  return {};
}

std::optional<std::filesystem::path> WritePrivateTempFile(std::span<const uint8_t> bytes, std::string_view extension,
                                                          std::string& error) {
  const std::filesystem::path dir = PrivateTempDirectory();
  if (dir.empty()) {
    error = "no private temporary directory could be made in " + os::TempBase().string();
    return std::nullopt;
  }
  for (int attempt = 0; attempt < 16; ++attempt) {
    const std::filesystem::path path = dir / (RandomHex(16) + std::string(extension));
    bool exists = false;
    if (os::WriteNewFile(path, bytes, exists, error)) return path;
    if (!exists) return std::nullopt;
  }
  error = "no free file name in " + dir.string();
  return std::nullopt;
}

void RemovePrivateTempFile(const std::filesystem::path& path) {
  std::error_code ignored;
  std::filesystem::remove(path, ignored);
}

}  // namespace lumi
