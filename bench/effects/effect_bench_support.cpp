#include "bench/effects/effect_bench_support.h"

#include <algorithm>
#include <chrono>
#include <ctime>

#include "backdrop/slide_player.h"
#include "bench/bench_gl_context.h"
#include "render/gl/gl_device.h"
#include "tests/support/masked_slide.h"

namespace lumi::bench {

std::unique_ptr<Document> MakeEffectDocument(std::unique_ptr<DS_FX_Constructor> effect) {
  return test::MaskedSlide("EveningGlow.jpg", test::Painted::Everything, std::move(effect), 1e6f);
}

namespace {

// A document played frame by frame.
struct Playing {
  Playing(GraphicsDevice& device, std::unique_ptr<Document> made)
      : device(device), document(std::move(made)), player(device, *document, PlacementMode::Fit) {}
  // `wait`: until the device has drawn the frame. Also adds the processor
  // time of every thread (the rasteriser's included) to `cpu_ms`, which
  // other work on a shared machine disturbs far less than the wall clock.
  double FrameMilliseconds(bool wait = true) {
    const auto start = std::chrono::steady_clock::now();
    const std::clock_t cpu_start = std::clock();
    player.Move(t);
    std::string error;
    player.Draw(error);
    if (wait) device.Finish();
    t += 1.0f / 60;
    cpu_ms += 1000.0 * static_cast<double>(std::clock() - cpu_start) / CLOCKS_PER_SEC;
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
  }
  double cpu_ms = 0;
  GraphicsDevice& device;
  std::unique_ptr<Document> document;
  SlidePlayer player;
  float t = 0;
};

}  // namespace

void Compare(benchmark::State& state, uint32_t width, uint32_t height, std::unique_ptr<DS_FX_Constructor> effect,
             double layers, double chain_pixels) {
  std::string error;
  auto device = BenchGlContext() ? CreateGlDevice(*BenchGlContext(), width, height, error) : nullptr;
  if (!device) {
    state.SkipWithError(("no device: " + error).c_str());
    return;
  }
  Playing plain(*device, MakeEffectDocument(nullptr));
  Playing effected(*device, MakeEffectDocument(std::move(effect)));
  plain.FrameMilliseconds();
  effected.FrameMilliseconds();
  plain.cpu_ms = effected.cpu_ms = 0;
  double plain_ms = 0, effect_ms = 0;
  for (auto _ : state) {
    plain_ms += plain.FrameMilliseconds();
    effect_ms += effected.FrameMilliseconds();
  }
  const auto frames = static_cast<double>(state.iterations());
  state.counters["plain_ms"] = plain_ms / frames;
  state.counters["effect_ms"] = effect_ms / frames;
  state.counters["ratio"] = effect_ms / plain_ms;
  state.counters["pass_ratio"] = (effect_ms - plain_ms) / plain_ms;
  state.counters["cpu_ratio"] = effected.cpu_ms / plain.cpu_ms;
  // The plain frame's rate of filling pixels bounds what the effect frame's
  // pixels can cost.
  const double screen = static_cast<double>(width) * height;
  const double pixels_per_ms = screen / (plain_ms / frames);
  state.counters["fill_bound_ms"] = (layers * screen + chain_pixels) / pixels_per_ms;
  state.SetLabel(device->RendererName());
}

void CompareProcessorTime(benchmark::State& state, std::unique_ptr<DS_FX_Constructor> effect) {
  std::string error;
  auto device = BenchGlContext() ? CreateGlDevice(*BenchGlContext(), 320, 200, error) : nullptr;
  if (!device) {
    state.SkipWithError(("no device: " + error).c_str());
    return;
  }
  Playing plain(*device, MakeEffectDocument(nullptr));
  Playing effected(*device, MakeEffectDocument(std::move(effect)));
  double plain_ms = 0, effect_ms = 0;
  for (auto _ : state) {
    plain_ms += plain.FrameMilliseconds(false);
    effect_ms += effected.FrameMilliseconds(false);
    device->Finish();
  }
  const auto frames = static_cast<double>(state.iterations());
  state.counters["effect_us"] = std::max(0.0, (effect_ms - plain_ms) / frames * 1000);
}

}  // namespace lumi::bench
