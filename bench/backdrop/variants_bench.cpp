// The backdrop variants on the software rasteriser:
// - the water rings' simulation and vertex rebuild at the default 128 x 96
//   grid, per frame (aim: under 2 ms on one core);
// - each slide of the variant sample at 1280 x 720 against the plain
//   backdrop over the same picture, in the same run (the lake should stay
//   under 1.5 times the plain frame).
// The counters print milliseconds and the ratio.
#include <benchmark/benchmark.h>

#include <chrono>

#include "archive/file_io.h"
#include "backdrop/light_2d.h"
#include "backdrop/ripple_grid.h"
#include "backdrop/slide_player.h"
#include "bench/bench_gl_context.h"
#include "params/random.h"
#include "platform/gl/gl_context.h"
#include "render/gl/gl_device.h"

namespace lumi {
namespace {

constexpr uint32_t kFrameWidth = 1280, kFrameHeight = 720;
constexpr int kFrames = 60;

void BM_WaterRingsSimulationAndVertices(benchmark::State& state) {
  SeedRand(1);
  RippleGrid grid;
  const RippleGrid::Size size = RippleGrid::SizeFor(0.75f, 0, 0);
  grid.Build(0.75f, size, {});
  grid.Drop();
  std::vector<RippleVertex> vertices;
  int frame = 0;
  for (auto _ : state) {
    if (++frame % 30 == 0) grid.Drop();
    grid.Step();
    grid.Vertices(vertices);
    benchmark::DoNotOptimize(vertices.data());
  }
  state.counters["vertices"] = static_cast<double>(vertices.size());
}
BENCHMARK(BM_WaterRingsSimulationAndVertices)->Unit(benchmark::kMillisecond);

// Milliseconds a frame of slide `slide` takes, drawn one second in.
double FrameMilliseconds(GraphicsDevice& device, Document& document, size_t slide) {
  SlidePlayer player(device, document, PlacementMode::Fit, slide);
  std::string error;
  player.Move(0);
  player.Draw(error);
  device.Finish();
  const auto start = std::chrono::steady_clock::now();
  for (int i = 1; i <= kFrames; ++i) {
    player.Move(1.0 + i / 60.0);
    player.Draw(error);
  }
  device.Finish();
  return Milliseconds(std::chrono::steady_clock::now() - start) / kFrames;
}

void BM_VariantFrameAgainstPlain(benchmark::State& state) {
  std::string error;
  auto device = BenchGlContext() ? CreateGlDevice(*BenchGlContext(), kFrameWidth, kFrameHeight, error) : nullptr;
  if (!device) {
    state.SkipWithError(("no device: " + error).c_str());
    return;
  }
  const std::vector<uint8_t> bytes = ReadFileBytes(LUMI_VARIANT_DOCUMENT);
  const auto slide = static_cast<size_t>(state.range(0));
  Document variants = LoadDocument(bytes), plain = LoadDocument(bytes);
  if (slide >= variants.show->slides.size()) {
    state.SkipWithError("the sample has fewer slides");
    return;
  }
  for (const auto& each : plain.show->slides) {
    auto backdrop = std::make_shared<DS_2D_Light>();
    backdrop->picture = static_cast<const DS_2D_Light&>(*each->backdrop).picture;
    each->backdrop = backdrop;
  }
  state.SetLabel(std::string(static_cast<const DS_2D_Light&>(*variants.show->slides[slide]->backdrop).ClassName()));
  double variant_ms = 0, plain_ms = 0;
  for (auto _ : state) {
    variant_ms += FrameMilliseconds(*device, variants, slide);
    plain_ms += FrameMilliseconds(*device, plain, slide);
  }
  const auto n = static_cast<double>(state.iterations());
  state.counters["variant_ms"] = variant_ms / n;
  state.counters["plain_ms"] = plain_ms / n;
  state.counters["ratio"] = variant_ms / plain_ms;
}
BENCHMARK(BM_VariantFrameAgainstPlain)->DenseRange(0, 5)->Unit(benchmark::kMillisecond)->Iterations(1);

}  // namespace
}  // namespace lumi
