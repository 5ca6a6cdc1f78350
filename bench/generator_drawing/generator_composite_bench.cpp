// The texture generators' composite on the software rasteriser at
// 1920 x 1080: 2,000 stars of 24 pixels drawn through the private target
// and composed over the picture ("JoinMask", then "CommonTex" or
// "Blend_SumTex"), against the same stars drawn directly (no effect link),
// and the composition's extra cost against a trivial full-target pass (one
// white quad over the screen). Counters print milliseconds a frame and the
// ratios.
#include <benchmark/benchmark.h>

#include "bench/bench_gl_context.h"
#include "generators/catalogue.h"
#include "generators/particles_obj.h"
#include "params/random.h"
#include "render/gl/gl_device.h"
#include "tests/particles/builtin_program_access.h"
#include "tests/render/test_backdrop.h"

namespace lumi {
namespace {

constexpr uint32_t kWidth = 1920, kHeight = 1080;
constexpr int kFrames = 12;
constexpr int kStars = 2000;

DS_TwinklingStars Stars(bool composed, int blend_mode) {
  SeedRand(1);
  DS_TwinklingStars stars;
  for (int i = 0; i < kStars; ++i) {
    stars.sprites.push_back(AirBrushSprite{{Uniform(0, kWidth), Uniform(0, kHeight), 0}, 5, {}});
  }
  stars.star_size.value = 24;
  stars.blend_mode.value = blend_mode;
  if (composed) stars.effect.key = {u"generator program", 0};
  return stars;
}

// One white quad over the whole screen, drawn directly.
DS_StaticAnimation FullScreen() {
  DS_StaticAnimation quad;
  quad.quad.Build(kWidth + 4, kHeight + 4, {kWidth / 2.0f, kHeight / 2.0f, 0});
  return quad;
}

std::unique_ptr<VRN_RenderObj> Play(const DS_ParticleGenerator& generator) {
  std::unique_ptr<VRN_RenderObj> object = generator.CreateRenderObject();
  object->FrameMove(0.01f);
  return object;
}

void BM_GeneratorComposite(benchmark::State& state) {
  std::string error;
  auto device = BenchGlContext() ? CreateGlDevice(*BenchGlContext(), kWidth, kHeight, error) : nullptr;
  if (!device) {
    state.SkipWithError(("no device: " + error).c_str());
    return;
  }
  test::TestBackdrop backdrop(*device, kWidth, kHeight);
  backdrop.RestoreDevice();
  test::BuiltinProgramAccess programs(*device);
  const auto direct = Play(Stars(false, 0));
  const auto plain = Play(Stars(true, 0));
  const auto sum = Play(Stars(true, 3));
  const auto full = Play(FullScreen());
  double empty = 0, direct_ms = 0, plain_ms = 0, sum_ms = 0, pass = 0;
  for (auto _ : state) {
    empty += ClearedFrameMilliseconds(*device, kFrames, [] {});
    direct_ms += ClearedFrameMilliseconds(*device, kFrames, [&] { direct->Render(backdrop); });
    plain_ms += ClearedFrameMilliseconds(*device, kFrames, [&] { plain->Render(backdrop); });
    sum_ms += ClearedFrameMilliseconds(*device, kFrames, [&] { sum->Render(backdrop); });
    pass += ClearedFrameMilliseconds(*device, kFrames, [&] { full->Render(backdrop); });
  }
  const auto n = static_cast<double>(state.iterations());
  empty /= n, direct_ms /= n, plain_ms /= n, sum_ms /= n, pass /= n;
  const double one_pass = pass - empty;
  state.counters["direct_ms"] = direct_ms - empty;
  state.counters["composed_plain_ms"] = plain_ms - empty;
  state.counters["composed_sum_ms"] = sum_ms - empty;
  state.counters["full_pass_ms"] = one_pass;
  // What the target and the composition add, in trivial full-target passes.
  state.counters["plain_extra_over_pass"] = (plain_ms - direct_ms) / one_pass;
  state.counters["sum_extra_over_pass"] = (sum_ms - direct_ms) / one_pass;
}

BENCHMARK(BM_GeneratorComposite)->Unit(benchmark::kMillisecond)->Iterations(2);

}  // namespace
}  // namespace lumi
