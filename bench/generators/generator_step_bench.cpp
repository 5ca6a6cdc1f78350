// The generators' cost per sprite: 5,000 generated sprites with three
// processes each (age, motion, spin), every process run and every quad
// built per frame, against the emitter engine's cost per particle for a
// fountain of as many live particles in the same run. Counters print
// nanoseconds a sprite and their ratio.
#include <benchmark/benchmark.h>

#include <chrono>
#include <vector>

#include "generators/gen_quads.h"
#include "generators/processes.h"
#include "params/random.h"
#include "particles/burst_systems.h"

namespace lumi {
namespace {

constexpr float kFrame = 1.0f / 60;
constexpr size_t kSprites = 5000;

double Nanoseconds(std::chrono::steady_clock::duration d) {
  return std::chrono::duration<double, std::nano>(d).count();
}

std::vector<GenParticle> Sprites() {
  std::vector<GenParticle> sprites;
  for (size_t i = 0; i < kSprites; ++i) {
    GenParticle& p = sprites.emplace_back(Vector3{Uniform(0, 1920), Uniform(0, 1080), 0});
    p.Attach<PAgeConst>(1.0e6f);
    p.Attach<PKinetic>(Vector3{Uniform(-50, 50), Uniform(-50, 50), 0}, Vector3{0, 20, 0});
    p.Attach<PSpin>(Uniform(-1, 1));
  }
  return sprites;
}

VRN_FontainPtclSys Fountain() {
  VRN_FontainPtclSys f;
  f.counter.rate.Set(12500);  // 2,500 a second for 2 s
  f.launch_speed.Set(50);
  f.range.Set(400);
  f.launch.Set(90);
  f.launch.spread.Set(60);
  f.look.size.Set(16);
  return f;
}

void BM_GeneratedSpritesAgainstEmitterParticles(benchmark::State& state) {
  SeedRand(1);
  std::vector<GenParticle> sprites = Sprites();
  VRN_FontainPtclSys fountain = Fountain();
  fountain.ResetPopulation();
  const GenQuadStyle style{16, 16, 0x00FFFFFF, 255, 1};
  std::vector<VertexPCT> quads(kSprites * 4), engine_quads;
  std::vector<PlacedRect> rects(kSprites);
  double generator_ns = 0, engine_ns = 0, engine_particles = 0;
  for (auto _ : state) {
    auto start = std::chrono::steady_clock::now();
    for (size_t i = 0; i < sprites.size(); ++i) {
      sprites[i].Update(kFrame);
      rects[i] = BuildGenQuad(sprites[i], style, &quads[4 * i]);
    }
    generator_ns += Nanoseconds(std::chrono::steady_clock::now() - start);

    start = std::chrono::steady_clock::now();
    fountain.Step(kFrame);
    engine_quads.resize(fountain.particles.size() * 4);
    for (size_t i = 0; i < fountain.particles.size(); ++i) {
      fountain.look.BuildQuad(*fountain.particles[i], 16, &engine_quads[4 * i]);
    }
    engine_ns += Nanoseconds(std::chrono::steady_clock::now() - start);
    engine_particles += static_cast<double>(fountain.particles.size());
    benchmark::DoNotOptimize(quads.data());
    benchmark::DoNotOptimize(engine_quads.data());
  }
  const double per_sprite = generator_ns / (static_cast<double>(state.iterations()) * kSprites);
  const double per_particle = engine_ns / engine_particles;
  state.counters["engine_live"] = static_cast<double>(fountain.particles.size());
  state.counters["generator_ns_per_sprite"] = per_sprite;
  state.counters["engine_ns_per_particle"] = per_particle;
  state.counters["ratio"] = per_sprite / per_particle;
}

BENCHMARK(BM_GeneratedSpritesAgainstEmitterParticles)->Unit(benchmark::kMillisecond)->Iterations(300);

}  // namespace
}  // namespace lumi
