// Rain on glass at its steady state on a 1920 × 1080 pane (about 1,500
// drops, merging as they meet and leaving at the bottom): the merging
// pass (sorted once by the drops' tops, then swept) against the rest of the
// step in the same run, and against a scan of every pair of drops for the
// same overlaps. Counters print processor milliseconds a frame and the
// ratios.
#include <benchmark/benchmark.h>

#include <ctime>
#include <cmath>

#include "params/random.h"
#include "particles/rain_on_glass.h"

namespace lumi {
namespace {

constexpr float kRainFrame = 1.0f / 60;

DS_RainOnGlass Pane() {
  DS_RainOnGlass rain;
  rain.area.Build(1920, 1080, {960, 540, 0});
  rain.counter.rate.Set(3100);  // 620 drops a second
  rain.slide_acceleration.Set(200);
  rain.slide_direction.Set(270);
  rain.look.size.Set(12);
  rain.Attach();
  return rain;
}

// Processor time, so that other work on a shared machine does not count.
double Milliseconds(std::clock_t ticks) { return 1000.0 * static_cast<double>(ticks) / CLOCKS_PER_SEC; }

// Every pair tested for the overlap the sweep looks for; the count keeps
// the loop from being dropped.
size_t PairwiseOverlaps(const ParticleList& drops, float c) {
  size_t n = 0;
  for (size_t i = 0; i < drops.size(); ++i) {
    const Particle& a = *drops[i];
    for (size_t j = i + 1; j < drops.size(); ++j) {
      const Particle& b = *drops[j];
      const float reach = (a.size_random() + b.size_random()) * c;
      n += static_cast<size_t>(std::fabs(a.position.x - b.position.x) <= reach &&
                               std::fabs(a.position.y - b.position.y) <= reach);
    }
  }
  return n;
}

void BM_RainMerging(benchmark::State& state) {
  SeedRand(1);
  DS_RainOnGlass rain = Pane();
  rain.ResetPopulation();  // fifteen seconds of rain
  const float c = 12 * 0.9f / 2;
  double step_ms = 0, merge_ms = 0, pairwise_ms = 0, drops = 0;
  size_t overlaps = 0;
  for (auto _ : state) {
    std::clock_t start = std::clock();
    rain.Step(kRainFrame);
    step_ms += Milliseconds(std::clock() - start);
    start = std::clock();
    rain.MergeTouchingDrops();
    merge_ms += Milliseconds(std::clock() - start);
    start = std::clock();
    overlaps += PairwiseOverlaps(rain.particles, c);
    pairwise_ms += Milliseconds(std::clock() - start);
    drops += static_cast<double>(rain.particles.size());
  }
  benchmark::DoNotOptimize(overlaps);
  const auto frames = static_cast<double>(state.iterations());
  // The step holds one merging pass; the rest is what is left of it.
  const double rest_ms = (step_ms - merge_ms) / frames;
  state.counters["drops"] = drops / frames;
  state.counters["merge_ms"] = merge_ms / frames;
  state.counters["rest_ms"] = rest_ms;
  state.counters["merge_vs_rest"] = merge_ms / frames / rest_ms;
  state.counters["pairwise_vs_rest"] = pairwise_ms / frames / rest_ms;
}

BENCHMARK(BM_RainMerging)->Unit(benchmark::kMillisecond)->Iterations(120);

}  // namespace
}  // namespace lumi
