// The saver's share of one core under a virtual X server, from the kernel's
// accounting of the whole process (every thread): the bouncing error box
// (Mesa hidden) and the test window drawing the demo at 10 frames a
// second. LUMI_BENCH_SECONDS sets the measured span (default 20 s, after
// 3 s of start-up). Needs Xvfb and xdotool.
#include <benchmark/benchmark.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "tests/support/virtual_x_server.h"

namespace lumi {
namespace {

// User and system time of process `pid` so far, in seconds.
double CpuSeconds(pid_t pid) {
  std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
  std::string text((std::istreambuf_iterator<char>(stat)), std::istreambuf_iterator<char>());
  // The name in parentheses may hold blanks: fields are counted after it.
  std::istringstream fields(text.substr(text.rfind(')') + 2));
  std::vector<std::string> values;
  for (std::string value; fields >> value;) values.push_back(value);
  if (values.size() < 13) return 0;
  // utime and stime are the 14th and 15th fields, 12th and 13th here.
  return (std::stod(values[11]) + std::stod(values[12])) / static_cast<double>(sysconf(_SC_CLK_TCK));
}

double MeasuredSeconds() {
  const char* seconds = std::getenv("LUMI_BENCH_SECONDS");
  return seconds != nullptr ? std::atof(seconds) : 20.0;
}

// With `hide_mesa` the driver folder is empty: no device, the error box.
void MeasureSaver(benchmark::State& state, bool hide_mesa, const std::string& arguments) {
  const std::filesystem::path folder = std::filesystem::temp_directory_path() / ("lumi_cpu_" + std::to_string(getpid()));
  std::filesystem::create_directories(folder / "no-drivers");
  test::VirtualXServer server;
  if (!server.Start("800x600x24", folder / "xvfb.log")) {
    state.SkipWithError("Xvfb did not start");
    return;
  }
  for (auto _ : state) {
    const pid_t saver = fork();
    if (saver == 0) {
      const std::string line = "exec env DISPLAY=" + server.Display() + " XDG_CONFIG_HOME=" + folder.string() +
                               " MESA_SHADER_CACHE_DISABLE=true SDL_AUDIODRIVER=dummy " +
                               (hide_mesa ? "LIBGL_DRIVERS_PATH=" + (folder / "no-drivers").string() : "") +
                               " " LUMI_BINARY_DIR "/host/lumisave --normal-priority " + arguments + " 2>/dev/null";
      execl("/bin/sh", "sh", "-c", line.c_str(), nullptr);
      _exit(127);
    }
    std::this_thread::sleep_for(std::chrono::seconds(3));
    const double seconds = MeasuredSeconds();
    const double before = CpuSeconds(saver);
    std::this_thread::sleep_for(std::chrono::duration<double>(seconds));
    const double used = CpuSeconds(saver) - before;
    kill(saver, SIGTERM);
    waitpid(saver, nullptr, 0);
    state.SetIterationTime(seconds);
    state.counters["percent_of_core"] = 100 * used / seconds;
  }
  server.Stop();
  std::filesystem::remove_all(folder);
}

void BM_ErrorBox(benchmark::State& state) { MeasureSaver(state, true, "/t"); }
BENCHMARK(BM_ErrorBox)->Iterations(1)->UseManualTime()->Unit(benchmark::kSecond);

void BM_TestWindowAt10Fps(benchmark::State& state) { MeasureSaver(state, false, "/t --fps 10"); }
BENCHMARK(BM_TestWindowAt10Fps)->Iterations(1)->UseManualTime()->Unit(benchmark::kSecond);

}  // namespace
}  // namespace lumi
