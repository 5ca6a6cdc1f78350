// bench: how fast a document plays off-screen, as the saver plays it, and
// how that compares with the fill bound at the same size: the document's
// first slide with its picture alone, one textured pass over the frame,
// drawn the same way.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <ctime>
#include <fstream>

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
    "                           [--local-time HH:MM:SS]\n"
    "Play the document in FILE off-screen for N seconds of wall time (default 10)\n"
    "at WxH (default 1280x720), each frame drawn to the end, and print frames per\n"
    "second, the median and 95th-percentile frame time, processor time per frame,\n"
    "peak memory, and the ratio of the median frame to the fill bound: a frame of\n"
    "the first slide's picture alone at the same size. The picture position is\n"
    "--position's, else the stored one, as the saver reads it (standard error\n"
    "says which).\n\n" +
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

  const auto play = [&](SlidePlayer& player) {
    return [&](size_t frame) {
      player.Move(static_cast<float>(frame) / 60.0f);
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
  std::printf("cpu per frame       %.2f ms\n", scene.cpu_seconds * 1000 / count);
  std::printf("peak memory         %.1f MiB\n", PeakMemoryMiB());
  std::printf("fill bound frame    %.2f ms (the first picture alone)\n", Percentile(fill.milliseconds, 0.5));
  std::printf("ratio to fill bound %.1f\n", median / std::max(Percentile(fill.milliseconds, 0.5), 1e-3));
  return kSuccess;
}

const RegisterCommand kRegister({"bench", "measure how fast a document plays off-screen", kUsageText, Run});

}  // namespace
}  // namespace lumi::tool::bench_command
