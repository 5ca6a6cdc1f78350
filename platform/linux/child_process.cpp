#include "platform/linux/child_process.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <thread>

extern char** environ;

namespace lumi {
namespace {

using Clock = std::chrono::steady_clock;

// More output than any listing we read: the program is not what we expect.
constexpr std::size_t kMaxOutput = std::size_t{1} << 20;

std::vector<char*> Argv(const std::string& program, const std::vector<std::string>& arguments) {
  std::vector<char*> argv{const_cast<char*>(program.c_str())};
  for (const std::string& argument : arguments) argv.push_back(const_cast<char*>(argument.c_str()));
  argv.push_back(nullptr);
  return argv;
}

// Waits for the child, retrying after signals.
int Reap(pid_t child) {
  int status = 0;
  while (waitpid(child, &status, 0) < 0 && errno == EINTR) {
  }
  return status;
}

// The child's status once it ended by `deadline`; nullopt while it runs.
std::optional<int> ReapBy(pid_t child, Clock::time_point deadline) {
  for (;;) {
    int status = 0;
    if (waitpid(child, &status, WNOHANG) == child) return status;
    if (Clock::now() >= deadline) return std::nullopt;
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
}

}  // namespace

std::optional<std::string> RunForOutput(const std::filesystem::path& program, const std::vector<std::string>& arguments,
                                        std::chrono::milliseconds limit, std::string& error) {
  int out[2];
  if (pipe2(out, O_CLOEXEC) != 0) {
    error = std::string("no pipe: ") + std::strerror(errno);
    return std::nullopt;
  }
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
  posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
  // A group of its own, so that a program that has to be stopped is
  // stopped with whatever it started.
  posix_spawnattr_t attributes;
  posix_spawnattr_init(&attributes);
  posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETPGROUP);
  posix_spawnattr_setpgroup(&attributes, 0);
  const std::string path = program.string();
  std::vector<char*> argv = Argv(path, arguments);
  pid_t child = 0;
  const int spawned = posix_spawn(&child, path.c_str(), &actions, &attributes, argv.data(), environ);
  posix_spawnattr_destroy(&attributes);
  posix_spawn_file_actions_destroy(&actions);
  close(out[1]);
  if (spawned != 0) {
    close(out[0]);
    error = "cannot start " + path + ": " + std::strerror(spawned);
    return std::nullopt;
  }
  std::string output;
  const Clock::time_point deadline = Clock::now() + limit;
  bool ended = false, late = false;  // the output ended; the deadline passed
  while (!ended && !late) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
    if (left <= 0) {
      late = true;
      break;
    }
    pollfd fd{out[0], POLLIN, 0};
    const int ready = poll(&fd, 1, static_cast<int>(left));
    if (ready < 0 && errno == EINTR) continue;
    if (ready <= 0) continue;
    char buffer[4096];
    const ssize_t got = read(out[0], buffer, sizeof buffer);
    if (got > 0) {
      output.append(buffer, static_cast<std::size_t>(got));
      if (output.size() > kMaxOutput) {
        kill(-child, SIGKILL);
        ended = true;
      }
    } else if (got == 0 || errno != EINTR) {
      ended = true;
    }
  }
  close(out[0]);
  // A program may close its output and still not end.
  std::optional<int> ended_with = late ? std::nullopt : ReapBy(child, deadline);
  if (!ended_with) {
    kill(-child, SIGKILL);
    Reap(child);
    error = path + " did not answer within " + std::to_string(limit.count()) + " ms";
    return std::nullopt;
  }
  const int status = *ended_with;
  if (WIFSIGNALED(status)) {
    error = path + " was ended by signal " + std::to_string(WTERMSIG(status));
    return std::nullopt;
  }
  if (WEXITSTATUS(status) != 0) {
    error = path + " ended with status " + std::to_string(WEXITSTATUS(status));
    return std::nullopt;
  }
  return output;
}

bool StartFromPath(const std::string& program, const std::vector<std::string>& arguments) {
  std::vector<char*> argv = Argv(program, arguments);
  pid_t child = 0;
  if (posix_spawnp(&child, program.c_str(), nullptr, nullptr, argv.data(), environ) != 0) return false;
  std::thread([child] { Reap(child); }).detach();
  return true;
}

}  // namespace lumi
