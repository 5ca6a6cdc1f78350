// simulate: play a document without graphics and print what is on at given
// times.
#include <cmath>
#include <iostream>
#include <stdexcept>
#include <string>
#include <vector>

#include "archive/document_source.h"
#include "render/current_context.h"
#include "render/recording_device.h"
#include "scene/document.h"
#include "scene/simulation.h"
#include "tools/clock_option.h"
#include "tools/command.h"
#include "tools/number_lists.h"

namespace lumi::tool::simulate_command {
namespace {

const std::string kUsageText =
    "Usage: lumisave-tool simulate FILE --times T1,T2,... [--step S] [--size WxH] [--detail N]\n"
    "                              [--local-time HH:MM:SS]\n"
    "Play the document in FILE (a document, or a .scr that carries one) as the saver\n"
    "would, without graphics: frame by frame from time 0 at a fixed step, and print,\n"
    "as JSON for each requested time (seconds, ascending), the current slide's index\n"
    "and name, the fade overlay's alpha (0 clear, 255 black), the \"passes\" of the\n"
    "effect chain the slide draws through and, for every render object of the\n"
    "slide, its class, identity, \"inert\": true when its class plays nothing yet,\n"
    "enabled flag, timeline kind and class, state (0 on, 1 off, 2 fading in,\n"
    "3 fading out), level and local time; sprite populations add their\n"
    "\"sprite_count\", particle systems their \"particle_count\", generators their\n"
    "\"particle_count\" and \"origin_count\", image effects\n"
    "their clock's \"phase\" and \"chain_pass\" (whether the effect is a pass of\n"
    "the chain), 3D objects their \"instance_count\" and a clock its \"placement\".\n\n"
    "  --times T1,T2,...  the times to report, in seconds\n"
    "  --step S           seconds between frames (default 1/60)\n"
    "  --size WxH         the screen size in pixels sprites live on (default 640x400)\n"
    "  --detail N         list the first N sprites of each population: position,\n"
    "                     velocity, half_size (a negative width is mirrored),\n"
    "                     axis_u, axis_v, glow, alpha, active_bound, stopped;\n"
    "                     and the first N particles of each system: position,\n"
    "                     velocity, age, lifetime, size_factor, alpha; and the\n"
    "                     first N particles of each generator: position, age,\n"
    "                     life_progress, size, opacity, angle; and the\n"
    "                     world matrix of the first N instances of each 3D\n"
    "                     object, 16 numbers row by row (row-vector convention:\n"
    "                     the last row holds the position in screen pixels)\n" +
    std::string(kLocalTimeUsage);

int Run(const std::vector<std::string>& raw) {
  Arguments args(raw);
  const auto times_text = args.Option("--times");
  const auto step_text = args.Option("--step");
  const auto size_text = args.Option("--size");
  const auto detail_text = args.Option("--detail");
  ApplyLocalTimeOption(args.Option("--local-time"));
  const auto files = args.Positional();
  if (files.size() != 1) throw UsageError{"expected one FILE"};
  if (!times_text) throw UsageError{"--times T1,T2,... is required"};
  const std::vector<double> times = ParseNumberList(*times_text, "--times entry");
  const double step = step_text ? ParseNumber(*step_text, "--step") : 1.0 / 60.0;
  const PixelSize size = ParsePixelSize(size_text.value_or("640x400"), "--size");
  const double detail = detail_text ? ParseNumber(*detail_text, "--detail") : 0.0;
  if (!(detail >= 0 && detail <= 1e6) || detail != std::floor(detail)) {
    throw UsageError{"--detail must be a whole number from 0 to 1000000"};
  }

  Document document = LoadDocument(ReadDocumentFile(files[0]));
  // A device that only records gives the show its screen size.
  RecordingDevice screen(size.width, size.height);
  ScopedRenderContext context(&screen, nullptr);
  nlohmann::ordered_json report;
  try {
    report = SimulateShow(*document.show, times, step, static_cast<int>(detail));
  } catch (const std::invalid_argument& e) {
    throw UsageError{e.what()};
  }
  std::cout << report.dump(2) << "\n";
  return kSuccess;
}

const RegisterCommand kRegister({"simulate", "play a document without graphics and report what is on",
                                 kUsageText, Run});

}  // namespace
}  // namespace lumi::tool::simulate_command
