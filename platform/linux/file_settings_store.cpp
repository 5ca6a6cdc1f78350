#include "platform/linux/file_settings_store.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>

namespace lumi {
namespace {

// Holds an exclusive lock on a file beside the settings for its lifetime.
class FileLock {
 public:
  explicit FileLock(const std::filesystem::path& path) : fd_(open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600)) {
    if (fd_ >= 0 && flock(fd_, LOCK_EX) != 0) {
      close(fd_);
      fd_ = -1;
    }
  }
  ~FileLock() {
    if (fd_ >= 0) close(fd_);  // closing releases the lock
  }
  FileLock(const FileLock&) = delete;
  FileLock& operator=(const FileLock&) = delete;
  bool Held() const { return fd_ >= 0; }

 private:
  int fd_;
};

bool WriteAll(int fd, const std::string& text) {
  std::size_t done = 0;
  while (done < text.size()) {
    const ssize_t wrote = write(fd, text.data() + done, text.size() - done);
    if (wrote < 0 && errno == EINTR) continue;
    if (wrote <= 0) return false;
    done += static_cast<std::size_t>(wrote);
  }
  return true;
}

// The new file is complete on disk before it takes the old one's name, and
// the rename itself is made durable by syncing the folder.
bool ReplaceAtomically(const std::filesystem::path& file, const std::string& text) {
  const std::filesystem::path temporary = file.string() + ".new-" + std::to_string(getpid());
  const int fd = open(temporary.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
  if (fd < 0) return false;
  const bool written = WriteAll(fd, text) && fsync(fd) == 0;
  if (close(fd) != 0 || !written || rename(temporary.c_str(), file.c_str()) != 0) {
    unlink(temporary.c_str());
    return false;
  }
  const int folder = open(file.parent_path().c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (folder >= 0) {
    fsync(folder);
    close(folder);
  }
  return true;
}

}  // namespace

FileSettingsStore::FileSettingsStore(std::filesystem::path file) : file_(std::move(file)) {}

std::filesystem::path FileSettingsStore::DefaultPath(const std::function<const char*(const char*)>& environment) {
  const char* config = environment("XDG_CONFIG_HOME");
  std::filesystem::path base;
  if (config != nullptr && std::filesystem::path(config).is_absolute()) {
    base = config;
  } else if (const char* home = environment("HOME"); home != nullptr && *home != '\0') {
    base = std::filesystem::path(home) / ".config";
  } else {
    return {};
  }
  return base / "lumisave" / "settings";
}

SettingsTree FileSettingsStore::Load() {
  std::ifstream in(file_, std::ios::binary);
  if (!in) return {};
  const std::string text{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  try {
    return ParseSettings(text);
  } catch (const std::exception& error) {
    // Kept for the user to look at; the saver goes on with the defaults.
    const std::filesystem::path aside = file_.string() + ".garbled";
    std::error_code ignored;
    std::filesystem::rename(file_, aside, ignored);
    std::fprintf(stderr, "lumisave: %s: %s; moved to %s, the defaults apply\n", file_.c_str(), error.what(),
                 aside.c_str());
    return {};
  }
}

std::optional<SettingValue> FileSettingsStore::Read(std::u16string_view key, std::u16string_view name) {
  if (file_.empty()) return std::nullopt;
  const SettingsTree tree = Load();
  const auto values = tree.find(NormaliseKeyPath(key));
  if (values == tree.end()) return std::nullopt;
  const auto value = values->second.find(name);
  if (value == values->second.end()) return std::nullopt;
  return value->second;
}

bool FileSettingsStore::Write(std::u16string_view key, std::u16string_view name, const SettingValue& value) {
  if (file_.empty()) return false;
  std::error_code error;
  std::filesystem::create_directories(file_.parent_path(), error);
  const FileLock lock(file_.string() + ".lock");
  if (!lock.Held()) return false;
  SettingsTree tree = Load();
  tree[NormaliseKeyPath(key)][std::u16string(name)] = value;
  return ReplaceAtomically(file_, FormatSettings(tree));
}

}  // namespace lumi
