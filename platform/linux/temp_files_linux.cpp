// Temporary files on Linux: mkdtemp, O_EXCL | O_NOFOLLOW, and a signal
// handler that empties the directory with async-signal-safe calls only.
#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

#include "platform/temp_files_os.h"

namespace lumi::os {
namespace {

int directory_fd = -1;
char directory_path[4096];
pid_t directory_owner = 0;
struct sigaction previous_term, previous_int;

// getdents64's record.
struct DirectoryEntry {
  uint64_t inode;
  int64_t offset;
  unsigned short length;
  unsigned char type;
  char name[1];
};

void EmptyAndRemoveDirectory() {
  alignas(8) char buffer[4096];
  // Reading again after removing may skip nothing: pass until a pass finds
  // nothing but "." and "..".
  for (bool removed = true; removed;) {
    removed = false;
    lseek(directory_fd, 0, SEEK_SET);
    long got;
    while ((got = syscall(SYS_getdents64, directory_fd, buffer, sizeof buffer)) > 0) {
      for (long at = 0; at < got;) {
        const auto* entry = reinterpret_cast<const DirectoryEntry*>(buffer + at);
        if (std::strcmp(entry->name, ".") != 0 && std::strcmp(entry->name, "..") != 0 &&
            unlinkat(directory_fd, entry->name, 0) == 0) {
          removed = true;
        }
        at += entry->length;
      }
    }
  }
  rmdir(directory_path);
}

void OnTerminationSignal(int signal_number) {
  const int saved_errno = errno;
  if (getpid() == directory_owner) EmptyAndRemoveDirectory();
  const struct sigaction& previous = signal_number == SIGTERM ? previous_term : previous_int;
  if ((previous.sa_flags & SA_SIGINFO) == 0 && previous.sa_handler != SIG_DFL && previous.sa_handler != SIG_IGN) {
    previous.sa_handler(signal_number);
    errno = saved_errno;
    return;
  }
  // Ends the process as the signal would have.
  sigaction(signal_number, &previous, nullptr);
  raise(signal_number);
  errno = saved_errno;
}

}  // namespace

std::filesystem::path TempBase() {
  std::error_code ec;
  const char* variable = std::getenv("TMPDIR");
  if (variable != nullptr && variable[0] == '/' && std::filesystem::is_directory(variable, ec)) return variable;
  return "/tmp";
}

uint32_t ProcessId() { return static_cast<uint32_t>(getpid()); }

bool ProcessAlive(uint32_t pid) { return kill(static_cast<pid_t>(pid), 0) == 0 || errno != ESRCH; }

bool MakePrivateDirectory(const std::filesystem::path& path, std::string& error) {
  if (mkdir(path.c_str(), 0700) == 0) return true;
  error = path.string() + ": " + std::strerror(errno);
  return false;
}

bool OwnDirectory(const std::filesystem::path& path) {
  struct stat info {};
  return lstat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode) && info.st_uid == getuid();
}

bool WriteNewFile(const std::filesystem::path& path, std::span<const uint8_t> bytes, bool& exists,
                  std::string& error) {
  const int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
  if (fd < 0) {
    exists = errno == EEXIST;
    error = path.string() + ": " + std::strerror(errno);
    return false;
  }
  size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t n = write(fd, bytes.data() + done, bytes.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      error = path.string() + ": " + std::strerror(errno);
      close(fd);
      unlink(path.c_str());
      return false;
    }
    done += static_cast<size_t>(n);
  }
  if (close(fd) != 0) {
    error = path.string() + ": " + std::strerror(errno);
    unlink(path.c_str());
    return false;
  }
  return true;
}

void RemoveOnTerminationSignal(const std::filesystem::path& directory) {
  const std::string& text = directory.native();
  if (text.size() >= sizeof directory_path) return;
  const int fd = open(text.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return;
  // A forked child replaces the directory it inherited with its own.
  directory_owner = 0;
  if (directory_fd >= 0) close(directory_fd);
  directory_fd = fd;
  std::memcpy(directory_path, text.c_str(), text.size() + 1);
  directory_owner = getpid();
  static bool installed = false;
  if (installed) return;
  installed = true;
  struct sigaction action {};
  action.sa_handler = OnTerminationSignal;
  sigemptyset(&action.sa_mask);
  // A signal the process was started ignoring stays ignored.
  for (auto [number, previous] : {std::pair{SIGTERM, &previous_term}, std::pair{SIGINT, &previous_int}}) {
    sigaction(number, nullptr, previous);
    if (previous->sa_handler != SIG_IGN) sigaction(number, &action, nullptr);
  }
}

}  // namespace lumi::os
