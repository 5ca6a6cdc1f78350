// The 3D objects with 300 butterflies and 500 leaves (and the clock) over
// the object sample's meadow:
// - moving them: processor time per instance per frame for the animations
//   and node updates, against nothing (no device);
// - drawing them on the software rasteriser at 1280 x 720 against the same
//   slide without them in the same run: frame_ms, without_ms, the ratio,
//   and the draw calls a frame adds (counted on the recording device).
#include <benchmark/benchmark.h>

#include <chrono>

#include "archive/file_io.h"
#include "backdrop/slide_player.h"
#include "bench/bench_gl_context.h"
#include "params/random.h"
#include "render/current_context.h"
#include "render/gl/gl_device.h"
#include "render/recording_device.h"
#include "scene/render_obj.h"
#include "scene/slide_container.h"
#include "sprites/clock_time.h"
#include "sprites/objects_3d.h"

namespace lumi {
namespace {

constexpr uint32_t kWidth = 1280, kHeight = 720;
constexpr uint32_t kButterflies = 300, kLeaves = 500;

// The sample with its flock and its leaves grown, or with no objects.
Document Sample(bool objects) {
  Document document = LoadDocument(ReadFileBytes(LUMI_OBJECT_DOCUMENT));
  auto& list = document.show->slides.at(0)->objects;
  if (!objects) list.clear();
  for (auto& object : list) {
    if (auto* flock = dynamic_cast<DS_ButterflyConstructor*>(object.get())) flock->count.value = kButterflies;
    if (auto* leaves = dynamic_cast<DS_3D_in_2D_array_Constructor*>(object.get())) leaves->count.value = kLeaves;
  }
  return document;
}

void BM_MoveObjects(benchmark::State& state) {
  RecordingDevice device(kWidth, kHeight);
  ScopedRenderContext context(&device, nullptr);
  SetClockTimeSource([] { return ParseClockTime("10:30:30"); });
  SeedRand(1);
  Document document = Sample(true);
  std::vector<std::unique_ptr<VRN_RenderObj>> objects;
  for (const auto& constructor : document.show->slides.at(0)->objects) objects.push_back(constructor->CreateRenderObject());
  float t = 0;
  for (auto _ : state) {
    t += 1.0f / 60;
    for (auto& object : objects) object->FrameMove(t);
  }
  state.counters["ns_per_instance"] = benchmark::Counter(
      (kButterflies + kLeaves + 1) * 1e-9, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
  SetClockTimeSource({});
}

// Milliseconds a frame over `frames` frames at 60 a second (the first left
// out), and the draw calls of the last.
double FrameMilliseconds(GraphicsDevice& device, bool objects, int frames) {
  Document document = Sample(objects);
  SlidePlayer player(device, document, PlacementMode::Fit);
  std::string error;
  double total = 0;
  for (int k = 0; k < frames; ++k) {
    const auto start = std::chrono::steady_clock::now();
    player.Move(static_cast<double>(k) / 60);
    player.Draw(error);
    device.Finish();
    if (k > 0) total += Milliseconds(std::chrono::steady_clock::now() - start);
  }
  return total / (frames - 1);
}

size_t DrawCalls(bool objects) {
  RecordingDevice device(kWidth, kHeight);
  Document document = Sample(objects);
  SlidePlayer player(device, document, PlacementMode::Fit);
  std::string error;
  player.Move(0);
  player.Draw(error);
  device.ClearLog();
  player.Move(1.0 / 60);
  player.Draw(error);
  return device.Draws().size();
}

void BM_DrawObjects(benchmark::State& state) {
  std::string error;
  auto device = BenchGlContext() ? CreateGlDevice(*BenchGlContext(), kWidth, kHeight, error) : nullptr;
  if (!device) {
    state.SkipWithError(("no device: " + error).c_str());
    return;
  }
  SetClockTimeSource([] { return ParseClockTime("10:30:30"); });
  double with = 0, without = 0;
  for (auto _ : state) {
    with += FrameMilliseconds(*device, true, 20);
    without += FrameMilliseconds(*device, false, 20);
  }
  const auto n = static_cast<double>(state.iterations());
  state.counters["frame_ms"] = with / n;
  state.counters["without_ms"] = without / n;
  state.counters["ratio"] = with / without;
  state.counters["draw_calls_added"] = static_cast<double>(DrawCalls(true) - DrawCalls(false));
  SetClockTimeSource({});
}

BENCHMARK(BM_MoveObjects);
BENCHMARK(BM_DrawObjects)->Unit(benchmark::kMillisecond)->Iterations(2);

}  // namespace
}  // namespace lumi
