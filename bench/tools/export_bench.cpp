// Exporting the demo to video at 1280 x 720 and 30 frames a second against
// render saving the same frames as PNG files, each as lumisave-tool runs,
// in the same run. The counters print frames a second of each (document
// loading included), their ratio, and the export's speed against real
// time; aims: export faster than PNG, and faster than real time. The
// steady figures leave out what every export spends once (loading the
// document, compiling programs, opening the encoders): they time a short
// export too and count only the frames beyond it.
// LUMI_EXPORT_BENCH_SECONDS sets how much of the show is played (default 2).
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <string>

namespace lumi {
namespace {

constexpr int kFps = 30;
constexpr double kShortSeconds = 0.2;

double Seconds() {
  const char* asked = std::getenv("LUMI_EXPORT_BENCH_SECONDS");
  return asked != nullptr && std::atof(asked) > 0 ? std::atof(asked) : 2.0;
}

// Wall seconds the shell command took; negative when it failed.
double Timed(const std::string& command) {
  const auto start = std::chrono::steady_clock::now();
  const int status = std::system((command + " >/dev/null 2>&1").c_str());
  const double spent = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  return status == 0 ? spent : -1;
}

void BM_ExportAgainstPngFrames(benchmark::State& state) {
  setenv("MESA_SHADER_CACHE_DISABLE", "true", 0);
  const std::filesystem::path dir = std::filesystem::temp_directory_path() / "lumi-export-bench";
  std::filesystem::remove_all(dir);
  std::filesystem::create_directories(dir);
  const double seconds = Seconds();
  const int frames = static_cast<int>(seconds * kFps);
  std::string times;
  for (int i = 0; i < frames; ++i) times += (i ? "," : "") + std::to_string(static_cast<double>(i) / kFps);
  const std::string common = std::string(" ") + LUMI_SAMPLE_DOCUMENT + " --size 1280x720 --position fill";
  const auto exported = [&](double length) {
    return Timed(std::string(LUMI_TOOL) + " export" + common + " --fps " + std::to_string(kFps) + " --seconds " +
                 std::to_string(length) + " -o " + (dir / "demo.mp4").string());
  };
  double video = 0, png = 0, short_video = 0;
  for (auto _ : state) {
    std::filesystem::remove_all(dir / "frames");
    video = exported(seconds);
    short_video = exported(kShortSeconds);
    png = Timed(std::string(LUMI_TOOL) + " render" + common + " --step " + std::to_string(1.0 / kFps) +
                " --draw-every-frame --times " + times + " --out-dir " + (dir / "frames").string());
    if (video < 0 || png < 0 || short_video < 0) {
      state.SkipWithError("lumisave-tool failed");
      break;
    }
  }
  state.counters["export_fps"] = frames / video;
  state.counters["png_fps"] = frames / png;
  state.counters["export_over_png"] = png / video;
  state.counters["export_over_real_time"] = seconds / video;
  const double steady = (seconds - kShortSeconds) / (video - short_video);
  state.counters["steady_export_fps"] = steady * kFps;
  state.counters["steady_over_real_time"] = steady;
  std::filesystem::remove_all(dir);
}
BENCHMARK(BM_ExportAgainstPngFrames)->Unit(benchmark::kSecond)->Iterations(1)->UseRealTime();

}  // namespace
}  // namespace lumi
