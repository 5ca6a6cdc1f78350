// A growing line on a 50-point path (4,901 samples) at full length: the
// strip's cross-sections built per frame, and its quads written. The
// counter prints milliseconds a frame.
#include <benchmark/benchmark.h>

#include <ctime>
#include <cmath>
#include <vector>

#include "particles/line_strip.h"
#include "particles/line_systems.h"

namespace lumi {
namespace {

VRN_GrovingLine Wavy() {
  VRN_GrovingLine line;
  line.line_width.Set(8);
  line.width_ramp.in_end.Set(10);
  line.head_width_ramp.in_end.Set(5);
  for (int i = 0; i < 50; ++i) {
    const float x = 40.0f * static_cast<float>(i);
    auto point = std::make_shared<DX_BSplinePnt>(Vector3{x, 500 + 200 * std::sin(0.3f * static_cast<float>(i)), 0});
    point->out_handle.value = {13, 0, 0};
    point->in_handle.value = {-13, 0, 0};
    line.path.points.push_back(point);
  }
  line.Attach();
  return line;
}

void BM_GrowingLineStrip(benchmark::State& state) {
  VRN_GrovingLine line = Wavy();
  std::vector<VertexPCT> quads;
  double ms = 0;
  float time = 0;
  for (auto _ : state) {
    time += 1.0f / 60;
    const std::clock_t start = std::clock();
    line.Advance(time);
    const size_t n = line.sections.size() / 2 - 1;
    quads.resize(4 * n);
    for (size_t k = 0; k < n; ++k) StripQuad(line.sections, k, &quads[4 * k]);
    // Processor time, so that other work on a shared machine does not count.
    ms += 1000.0 * static_cast<double>(std::clock() - start) / CLOCKS_PER_SEC;
    benchmark::DoNotOptimize(quads.data());
  }
  state.counters["samples"] = static_cast<double>(line.samples.size());
  state.counters["quads"] = static_cast<double>(line.sections.size() / 2 - 1);
  state.counters["strip_ms"] = ms / static_cast<double>(state.iterations());
}

BENCHMARK(BM_GrowingLineStrip)->Unit(benchmark::kMillisecond)->Iterations(300);

}  // namespace
}  // namespace lumi
