// Drawing particles on the software rasteriser at 1920 x 1080: 10,000
// particles of 16 pixels with "BlendSum", against the same vertices drawn
// through the fixed stages without a program (plain drawing), against the
// fill bound (blended full-target passes of as many pixels), and glow mode
// 1's extra cost counted in full-target passes. Counters print
// milliseconds a frame and the ratios.
#include <benchmark/benchmark.h>

#include <chrono>
#include <functional>

#include "bench/bench_gl_context.h"
#include "params/random.h"
#include "particles/burst_systems.h"
#include "particles/particle_system_obj.h"
#include "render/gl/gl_device.h"
#include "tests/particles/builtin_program_access.h"
#include "tests/render/test_backdrop.h"

namespace lumi {
namespace {

constexpr uint32_t kWidth = 1920, kHeight = 1080;
constexpr unsigned int kCount = 10000, kSize = 16;
constexpr int kFrames = 12;

// kCount still particles scattered over a disc filling most of the screen.
VRN_BurstPtclSys Scattered(int glow_mode) {
  VRN_BurstPtclSys burst;
  burst.count.Set(kCount);
  burst.range.Set(1000000);
  burst.launch.spread.Set(360);
  burst.start_radius.Set(500);
  burst.emitter.point.value = {kWidth / 2.0f, kHeight / 2.0f, 0};
  burst.look.size.Set(kSize);
  burst.look.blend_mode.Set(1);
  burst.look.glow_mode.Set(glow_mode);
  return burst;
}

// One particle as large as the screen: a blended full-target pass.
VRN_BurstPtclSys FullScreen() {
  VRN_BurstPtclSys burst;
  burst.count.Set(1);
  burst.range.Set(1000000);
  burst.emitter.point.value = {kWidth / 2.0f, kHeight / 2.0f, 0};
  burst.look.size.Set(kWidth + 4);
  burst.look.blend_mode.Set(1);
  return burst;
}

std::unique_ptr<VRN_ParticleSystemMech> Play(const VRN_ParticleSystemCtrl& system) {
  SeedRand(1);
  auto object = std::unique_ptr<VRN_ParticleSystemMech>(
      static_cast<VRN_ParticleSystemMech*>(system.CreateRenderObject().release()));
  object->FrameMove(0.01f);
  return object;
}

void BM_TenThousandParticles(benchmark::State& state) {
  std::string error;
  auto device = BenchGlContext() ? CreateGlDevice(*BenchGlContext(), kWidth, kHeight, error) : nullptr;
  if (!device) {
    state.SkipWithError(("no device: " + error).c_str());
    return;
  }
  test::TestBackdrop backdrop(*device, kWidth, kHeight);
  backdrop.RestoreDevice();
  test::BuiltinProgramAccess programs(*device);
  const auto particles = Play(Scattered(0));
  const auto glowing = Play(Scattered(1));
  const auto full = Play(FullScreen());
  double empty = 0, sum = 0, plain = 0, pass = 0, glow = 0;
  for (auto _ : state) {
    empty += ClearedFrameMilliseconds(*device, kFrames, [] {});
    sum += ClearedFrameMilliseconds(*device, kFrames, [&] { particles->Render(backdrop); });
    plain += ClearedFrameMilliseconds(*device, kFrames, [&] {
      size_t left = particles->Drawing().QuadCount();
      for (const ParticleGeomArray& batch : particles->Drawing().Batches().Batches()) {
        const auto n = static_cast<uint32_t>(std::min<size_t>(left, batch.spriteCount));
        backdrop.DrawSpriteRange(batch, nullptr, 0, n);
        left -= n;
      }
    });
    pass += ClearedFrameMilliseconds(*device, kFrames, [&] { full->Render(backdrop); });
    glow += ClearedFrameMilliseconds(*device, kFrames, [&] { glowing->Render(backdrop); });
  }
  const auto n = static_cast<double>(state.iterations());
  empty /= n, sum /= n, plain /= n, pass /= n, glow /= n;
  const double passes = static_cast<double>(kCount) * kSize * kSize / (kWidth * kHeight);
  const double one_pass = pass - empty;
  state.counters["blend_sum_ms"] = sum - empty;
  state.counters["plain_ms"] = plain - empty;
  state.counters["sum_over_plain"] = (sum - empty) / (plain - empty);
  state.counters["full_pass_ms"] = one_pass;
  state.counters["sum_over_fill_bound"] = (sum - empty) / (passes * one_pass);
  state.counters["glow_extra_ms"] = glow - sum;
  state.counters["glow_in_passes"] = (glow - sum) / one_pass;
}

BENCHMARK(BM_TenThousandParticles)->Unit(benchmark::kMillisecond)->Iterations(2);

}  // namespace
}  // namespace lumi
