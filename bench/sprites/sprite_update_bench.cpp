// The cost of moving a sprite population and rewriting its quads, a sprite
// at a time, against a plain loop doing the same arithmetic and vertex
// writes, in the same run: 65,536 flow sprites with wrapping bounds and
// 65,536 fish on a 1280 x 720 screen.
#include <benchmark/benchmark.h>

#include <cmath>
#include <memory>
#include <vector>

#include "params/random.h"
#include "render/current_context.h"
#include "render/recording_device.h"
#include "render/sprite_quads.h"
#include "sprites/sprite_array_obj.h"
#include "sprites/sprite_constructors.h"

namespace lumi {
namespace {

constexpr uint32_t kSprites = 65536;

template <typename Constructor>
Constructor Whole(Constructor c) {
  c.left = c.top = 0;
  c.right = c.bottom = 1;
  c.population.value = kSprites;
  c.sprite_size.value = 8;
  return c;
}

void Report(benchmark::State& state) {
  state.counters["ns_per_sprite"] =
      benchmark::Counter(kSprites * 1e-9, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

void MoveAndRebuild(benchmark::State& state, const DS_ParticleSystemCtrl& constructor) {
  RecordingDevice device(1280, 720);
  ScopedRenderContext context(&device, nullptr);
  SeedRand(1);
  auto object = constructor.CreateRenderObject();
  float t = 0;
  for (auto _ : state) {
    t += 1.0f / 60;
    object->FrameMove(t);
  }
  Report(state);
}

void BM_FlowSprites(benchmark::State& state) {
  auto flow = Whole(DS_FlowConstructor{});
  flow.flow_angle.value = 300;
  flow.flow_speed.value = 120;
  for (DS_BoundControl& bound : flow.bounds) bound.fade_out_ms.value = bound.fade_in_ms.value = 300;
  MoveAndRebuild(state, flow);
}

void BM_FishSprites(benchmark::State& state) {
  auto fish = Whole(DS_FishConstructor{});
  fish.max_speed_x.value = 120;
  fish.max_speed_y.value = 30;
  MoveAndRebuild(state, fish);
}

// The plain loop: positions move, wrap at the screen's edges, and four
// vertices a sprite are written, with no objects between.
void BM_PlainLoop(benchmark::State& state) {
  struct Plain {
    float x, y, vx, vy, w, h;
  };
  std::vector<Plain> sprites(kSprites);
  for (Plain& p : sprites) p = {Uniform(0, 1280), Uniform(0, 720), Uniform(-60, 60), Uniform(-60, 60), 4, 4};
  std::vector<VertexPCT> vertices(size_t{kSprites} * 4);
  const float dt = 1.0f / 60;
  for (auto _ : state) {
    VertexPCT* out = vertices.data();
    for (Plain& p : sprites) {
      p.x += p.vx * dt;
      p.y += p.vy * dt;
      if (p.x - p.w > 1280) p.x = -p.w;
      if (p.y - p.h > 720) p.y = -p.h;
      const uint32_t colour = 0xFFFFFFFF;
      out[0] = {p.x - p.w, p.y + p.h, 0, colour, 0, 1};
      out[1] = {p.x - p.w, p.y - p.h, 0, colour, 0, 0};
      out[2] = {p.x + p.w, p.y + p.h, 0, colour, 1, 1};
      out[3] = {p.x + p.w, p.y - p.h, 0, colour, 1, 0};
      out += 4;
    }
    benchmark::DoNotOptimize(vertices.data());
  }
  Report(state);
}

BENCHMARK(BM_FlowSprites)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FishSprites)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PlainLoop)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace lumi
