// A virtual X server for tests and benchmarks that draw: Xvfb, or Xorg with
// its dummy driver where real outputs are needed, started on a free display
// number of its own choosing and replaced when it does not answer.
#pragma once

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <thread>
#include <utility>
#include <vector>

namespace lumi::test {

inline bool HaveProgram(const std::string& program) {
  return std::system(("command -v " + program + " >/dev/null").c_str()) == 0;
}

// What `command` printed on its standard output, without the final blanks.
inline std::string Capture(const std::string& command) {
  std::string out;
  if (FILE* pipe = popen(command.c_str(), "r")) {
    char buffer[256];
    while (std::fgets(buffer, sizeof buffer, pipe)) out += buffer;
    pclose(pipe);
  }
  while (!out.empty() && (out.back() == '\n' || out.back() == ' ')) out.pop_back();
  return out;
}

// The environment a saver under test runs in, as an `env` command prefix:
// the display, settings of its own in `config_home`, and the silent sound
// output of machines without a sound card. Under the sanitizers the saver
// is not checked for leaks: the X and GL drivers it loads (through D-Bus)
// keep memory to the process's end.
inline std::string SaverEnvironment(const std::string& display, const std::filesystem::path& config_home) {
  const char* sanitizer = std::getenv("ASAN_OPTIONS");
  return "env -u XSCREENSAVER_WINDOW DISPLAY=" + display + " XDG_CONFIG_HOME=" + config_home.string() +
         " MESA_SHADER_CACHE_DISABLE=true SDL_AUDIODRIVER=dummy ASAN_OPTIONS=" +
         std::string(sanitizer != nullptr ? sanitizer : "") + ":detect_leaks=0 ";
}

// Mean lightness and saturation (0 to 1) of a part of the screen, read
// through `shot`; both 0 when the screen cannot be read.
inline std::pair<double, double> ScreenLook(const std::string& environment, const std::string& geometry,
                                            const std::filesystem::path& shot) {
  if (std::system((environment + "import -window root -crop " + geometry + " " + shot.string() + " >/dev/null 2>&1")
                      .c_str()) != 0) {
    return {0, 0};
  }
  const std::string mean =
      Capture("convert " + shot.string() + " -colorspace HSL -format '%[fx:mean.b] %[fx:mean.g]' info:");
  double lightness = 0, saturation = 0;
  std::sscanf(mean.c_str(), "%lf %lf", &lightness, &saturation);
  return {lightness, saturation};
}

// The exit code of the child `pid` once it ended within `limit` (128 plus
// the signal when a signal ended it), `pid` then set to 0; -1 while it runs.
inline int WaitForExit(pid_t& pid, std::chrono::milliseconds limit) {
  const auto end = std::chrono::steady_clock::now() + limit;
  while (std::chrono::steady_clock::now() < end) {
    int status = 0;
    if (waitpid(pid, &status, WNOHANG) == pid) {
      pid = 0;
      return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  return -1;
}

class VirtualXServer {
 public:
  VirtualXServer() = default;
  VirtualXServer(const VirtualXServer&) = delete;
  VirtualXServer& operator=(const VirtualXServer&) = delete;
  ~VirtualXServer() { Stop(); }

  // Xvfb with one screen such as "800x600x24"; its messages go to `log`.
  bool Start(const std::string& screen, const std::filesystem::path& log) {
    return StartAny({"Xvfb", "-displayfd", "3", "-screen", "0", screen, "-nolisten", "tcp", "-noreset"}, log);
  }
  // Xorg with the configuration file `config`, writing its log to `log`,
  // away from the consoles.
  bool StartXorg(const std::filesystem::path& config, const std::filesystem::path& log) {
    return StartAny({"Xorg", "-displayfd", "3", "-config", config.string(), "-logfile", log.string(), "-nolisten",
                     "tcp", "-noreset", "-sharevts", "-novtswitch"},
                    log.string() + ".out");
  }
  void Stop() {
    if (pid_ > 0) kill(pid_, SIGTERM), waitpid(pid_, nullptr, 0);
    pid_ = 0;
    display_.clear();
  }
  // ":N"; empty while none runs.
  const std::string& Display() const { return display_; }

 private:
  // A server now and then goes away while starting on a busy machine: up
  // to three are tried.
  bool StartAny(const std::vector<std::string>& command, const std::filesystem::path& log) {
    for (int attempt = 0; attempt < 3; ++attempt) {
      if (TryStart(command, log)) return true;
    }
    return false;
  }

  bool TryStart(const std::vector<std::string>& command, const std::filesystem::path& log) {
    Stop();
    int fds[2];
    if (pipe(fds) != 0) return false;
    pid_ = fork();
    if (pid_ == 0) {
      dup2(fds[1], 3);
      if (std::freopen(log.c_str(), "w", stderr) == nullptr) _exit(127);
      std::vector<char*> argv;
      for (const std::string& part : command) argv.push_back(const_cast<char*>(part.c_str()));
      argv.push_back(nullptr);
      execvp(argv[0], argv.data());
      _exit(127);
    }
    close(fds[1]);
    char number[16] = {};
    const bool got = read(fds[0], number, sizeof number - 1) > 0;
    close(fds[0]);
    if (!got) return false;
    const std::string display = ":" + std::string(number).substr(0, std::string(number).find('\n'));
    // The number comes a moment before the server takes clients; on a busy
    // machine that moment can last seconds.
    for (int i = 0; i < 400; ++i) {
      if (std::system(("DISPLAY=" + display + " xdotool getmouselocation >/dev/null 2>&1").c_str()) == 0) {
        display_ = display;
        return true;
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return false;
  }

  pid_t pid_ = 0;
  std::string display_;
};

}  // namespace lumi::test
