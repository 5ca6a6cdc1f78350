// bench: how fast a document plays off-screen, as the saver plays it, and
// how that compares with the fill bound at the same size: the document's
// first slide with its picture alone, one textured pass over the frame,
// drawn the same way.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <ctime>
#include <fstream>
#include <map>

#include "archive/document_source.h"
#include "archive/input_error.h"
#include "backdrop/slide_player.h"
#include "platform/gl/gl_context.h"
#include "render/gl/gl_device.h"
#include "scene/document.h"
#include "tools/clock_option.h"
#include "tools/command.h"
#include "tools/number_lists.h"
#include "tools/picture_position.h"

namespace lumi::tool::bench_command {
namespace {

const std::string kUsageText =
    "Usage: lumisave-tool bench FILE [--size WxH] [--seconds N] [--position fit|fill|stretch]\n"
    "                           [--quality automatic|best|fastest] [--local-time HH:MM:SS]\n"
    "                           [--passes]\n"
    "Play the document in FILE off-screen for N seconds of wall time (default 10)\n"
    "at WxH (default 1280x720), each frame drawn to the end, and print frames per\n"
    "second, the median and 95th-percentile frame time, the five slowest frames\n"
    "(by number from the first), processor time per frame,\n"
    "peak memory, and the ratio of the median frame to the fill bound: a frame of\n"
    "the first slide's picture alone at the same size. The picture position is\n"
    "--position's, else the stored one, as the saver reads it (standard error\n"
    "says which). --quality chooses how finely effects draw (default automatic,\n"
    "as the saver's screen setting). --passes then plays it as long again with every draw and clear\n"
    "timed alone (the device drained before and after) and prints where the\n"
    "frame's time goes: per kind of pass, its target size, program and blending.\n\n" +
    std::string(kLocalTimeUsage);

using Clock = std::chrono::steady_clock;

struct Frames {
  std::vector<double> milliseconds;
  double cpu_seconds = 0;
};

// Draws frames until `seconds` of wall time have passed.
template <typename DrawFrame>
Frames Measure(double seconds, GraphicsDevice& device, DrawFrame draw) {
  Frames frames;
  const std::clock_t cpu_start = std::clock();
  const Clock::time_point end = Clock::now() + std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(seconds));
  while (Clock::now() < end || frames.milliseconds.empty()) {
    const Clock::time_point start = Clock::now();
    draw(frames.milliseconds.size());
    device.Finish();
    frames.milliseconds.push_back(std::chrono::duration<double, std::milli>(Clock::now() - start).count());
  }
  frames.cpu_seconds = static_cast<double>(std::clock() - cpu_start) / CLOCKS_PER_SEC;
  return frames;
}

// Sums the time of each draw and clear by what it is, waiting for the
// device before and after so that each is timed alone.
class PassTimes : public DrawProbe {
 public:
  void Before(GraphicsDevice& device) override {
    device.Finish();
    start_ = Clock::now();
  }
  void After(GraphicsDevice& device, const char* operation, uint32_t primitives) override {
    device.Finish();
    const double ms = std::chrono::duration<double, std::milli>(Clock::now() - start_).count();
    Pass& pass = passes_[Label(device, operation)];
    pass.count += 1;
    pass.milliseconds += ms;
    pass.primitives += primitives;
  }

  void Print(double frames, double frame_milliseconds) const {
    std::vector<std::pair<std::string, Pass>> sorted(passes_.begin(), passes_.end());
    std::sort(sorted.begin(), sorted.end(), [](const auto& a, const auto& b) { return a.second.milliseconds > b.second.milliseconds; });
    std::printf("passes, per frame (frame %.2f ms with every pass drained):\n", frame_milliseconds);
    std::printf("  %8s %6s %9s  %s\n", "ms", "count", "triangles", "pass");
    double timed = 0;
    for (const auto& [label, pass] : sorted) {
      timed += pass.milliseconds;
      std::printf("  %8.2f %6.1f %9.0f  %s\n", pass.milliseconds / frames, pass.count / frames, pass.primitives / frames,
                  label.c_str());
    }
    std::printf("  %8.2f %6s %9s  everything else (scene work, state, uploads)\n", frame_milliseconds - timed / frames, "", "");
  }

 private:
  struct Pass {
    double count = 0, milliseconds = 0, primitives = 0;
  };

  static std::string Label(const GraphicsDevice& device, const char* operation) {
    const std::shared_ptr<Texture> target = device.GetRenderTarget();
    std::string label = std::string(operation) + " ";
    label += target == device.GetBackBuffer() ? "back buffer " : "target ";
    if (target) label += std::to_string(target->Width()) + "x" + std::to_string(target->Height());
    if (std::string_view(operation) == "Clear") return label;
    const std::shared_ptr<PixelProgram>& program = device.GetPixelProgram();
    label += program ? " program \"" + program->Source().name + "\"" : " fixed stages";
    if (device.GetRenderState(RenderState::AlphaBlendEnable) != 0) {
      label += device.GetRenderState(RenderState::DestBlend) == static_cast<uint32_t>(Blend::One) ? ", additive" : ", blended";
    }
    return label;
  }

  std::map<std::string, Pass> passes_;
  Clock::time_point start_;
};

double Percentile(std::vector<double> values, double fraction) {
  std::sort(values.begin(), values.end());
  return values[std::min(values.size() - 1, static_cast<size_t>(fraction * static_cast<double>(values.size())))];
}

// The process's peak resident memory in MiB, from the kernel's status file.
double PeakMemoryMiB() {
  std::ifstream status("/proc/self/status");
  std::string key;
  while (status >> key) {
    if (key == "VmHWM:") {
      double kib = 0;
      status >> kib;
      return kib / 1024;
    }
    status.ignore(1 << 16, '\n');
  }
  return 0;
}

int Run(const std::vector<std::string>& raw) {
  Arguments args(raw);
  const PixelSize size = ParsePixelSize(args.Option("--size").value_or("1280x720"), "--size");
  const double seconds = ParseNumber(args.Option("--seconds").value_or("10"), "--seconds");
  if (!(seconds > 0 && seconds <= 3600)) throw UsageError{"--seconds must be above 0 and at most 3600"};
  const std::optional<std::string> position_name = args.Option("--position");
  const bool passes = args.Flag("--passes");
  const RenderQuality quality = ChosenQuality(args.Option("--quality"));
  ApplyLocalTimeOption(args.Option("--local-time"));
  const auto files = args.Positional();
  if (files.size() != 1) throw UsageError{"expected one FILE"};
  const PlacementMode position = ChosenPicturePosition(position_name, "bench");

  const auto bytes = ReadDocumentFile(files[0]);
  Document document = LoadDocument(bytes);
  if (document.show->slides.empty()) throw InputError("the document has no slides to play");
  Document plain = LoadDocument(bytes);
  plain.show->slides.resize(1);
  plain.show->slides.front()->objects.clear();
  plain.show->slides.front()->sounds.clear();
  std::string error;
  const std::unique_ptr<GlContext> context = CreateHeadlessGlContext(error);
  if (!context) throw InputError("cannot draw without OpenGL: " + error);
  auto device = CreateGlDevice(*context, size.width, size.height, error);
  if (!device) throw InputError("cannot create the graphics device: " + error);
  device->SetQuality(quality);

  // Frames 1/60 s apart from `first_frame` on.
  const auto play = [&](SlidePlayer& player, size_t first_frame = 0) {
    return [&, first_frame](size_t frame) {
      player.Move(static_cast<float>(first_frame + frame) / 60.0f);
      if (!player.Draw(error)) throw InputError("frame " + std::to_string(frame) + ": " + error);
    };
  };
  Frames fill;
  {
    SlidePlayer plain_player(*device, plain, position);
    fill = Measure(std::min(seconds, 2.0), *device, play(plain_player));
  }
  SlidePlayer player(*device, document, position);
  const Frames scene = Measure(seconds, *device, play(player));

  const double count = static_cast<double>(scene.milliseconds.size());
  double total = 0;
  for (double ms : scene.milliseconds) total += ms;
  const double median = Percentile(scene.milliseconds, 0.5);
  std::printf("%ux%u, %.0f frames in %.1f s on %s\n", size.width, size.height, count, total / 1000,
              device->RendererName().c_str());
  std::printf("fps                 %.1f\n", count * 1000 / total);
  std::printf("median frame        %.2f ms\n", median);
  std::printf("95th percentile     %.2f ms\n", Percentile(scene.milliseconds, 0.95));
  // Which frames are slow says why: the first (uploads, programs), a few
  // at a slide change, or a spread (the machine, the scene's own work).
  std::vector<size_t> slowest(scene.milliseconds.size());
  for (size_t i = 0; i < slowest.size(); ++i) slowest[i] = i;
  const size_t shown = std::min<size_t>(5, slowest.size());
  std::partial_sort(slowest.begin(), slowest.begin() + static_cast<std::ptrdiff_t>(shown), slowest.end(),
                    [&](size_t a, size_t b) { return scene.milliseconds[a] > scene.milliseconds[b]; });
  std::printf("slowest frames     ");
  for (size_t i = 0; i < shown; ++i) std::printf(" #%zu %.1f ms", slowest[i], scene.milliseconds[slowest[i]]);
  std::printf("\n");
  std::printf("cpu per frame       %.2f ms\n", scene.cpu_seconds * 1000 / count);
  std::printf("peak memory         %.1f MiB\n", PeakMemoryMiB());
  std::printf("fill bound frame    %.2f ms (the first picture alone)\n", Percentile(fill.milliseconds, 0.5));
  std::printf("ratio to fill bound %.1f\n", median / std::max(Percentile(fill.milliseconds, 0.5), 1e-3));
  if (passes) {
    PassTimes times;
    device->SetDrawProbe(&times);
    const Frames probed = Measure(seconds, *device, play(player, scene.milliseconds.size()));
    device->SetDrawProbe(nullptr);
    double probed_total = 0;
    for (double ms : probed.milliseconds) probed_total += ms;
    const auto probed_count = static_cast<double>(probed.milliseconds.size());
    times.Print(probed_count, probed_total / probed_count);
  }
  return kSuccess;
}

const RegisterCommand kRegister({"bench", "measure how fast a document plays off-screen", kUsageText, Run});

}  // namespace
}  // namespace lumi::tool::bench_command
