// What the water effects cost on the software rasteriser. Each benchmark
// plays one slide of a 1920 x 1200 photograph through the slide player and
// times frames with the effect against frames of the same slide without it
// in the same run (a trivial textured full-screen pass), reporting both and
// their ratio. The chain frame reports its pixels per second against the
// fill bound of the plain frame.
#include <memory>

#include "bench/effects/effect_bench_support.h"
#include "effects/water_effects.h"

namespace lumi {
namespace {

using bench::Compare;

std::unique_ptr<DS_FX_Constructor> Water(int uses_background) {
  auto water = std::make_unique<DS_WaterFX>();
  water->uses_background.Set(uses_background);
  return water;
}

std::unique_ptr<DS_FX_Constructor> WaterfallWithThreeLayers() {
  auto waterfall = std::make_unique<DS_WaterfallFX>();
  waterfall->program.key = CommonResource(105);
  waterfall->noise_map.key = CommonResource(62);
  waterfall->noise_amplitude.Set(100);
  waterfall->layer_count.Set(3);
  waterfall->threshold.Set(300);
  const Vector3 corners[4] = {{0, 0, 0}, {0, 1200, 0}, {1920, 0, 0}, {1920, 1200, 0}};
  for (size_t i = 0; i < 4; ++i) waterfall->rectangle.corners[i].value = corners[i];
  return waterfall;
}

void BM_WaterPass_1080p(benchmark::State& state) { Compare(state, 1920, 1080, Water(0), 2); }
BENCHMARK(BM_WaterPass_1080p)->Unit(benchmark::kMillisecond)->MinTime(2.0)->UseRealTime();

void BM_WaterfallNoiseAndThreeLayers_1080p(benchmark::State& state) {
  Compare(state, 1920, 1080, WaterfallWithThreeLayers(), 5);
}
BENCHMARK(BM_WaterfallNoiseAndThreeLayers_1080p)->Unit(benchmark::kMillisecond)->MinTime(2.0)->UseRealTime();

// A chain pass at 1280 x 720: the picture goes into a 3840 x 2160 target,
// the water reads it and writes the screen.
void BM_ChainFrame_720p(benchmark::State& state) { Compare(state, 1280, 720, Water(1), 1, 3840.0 * 2160); }
BENCHMARK(BM_ChainFrame_720p)->Unit(benchmark::kMillisecond)->MinTime(2.0)->UseRealTime();

}  // namespace
}  // namespace lumi
