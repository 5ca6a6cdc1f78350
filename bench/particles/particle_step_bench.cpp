// The simulation's cost per particle: a fountain of 20,000 live particles
// after several lifetimes (kinematics, drag, a cosine size wave), one Step
// and every quad built per frame, against a flat loop doing the same
// arithmetic on plain arrays in the same run. Counters print nanoseconds a
// particle, their ratio, and the engine's heap allocations a frame (every
// operator new of the program is counted).
#include <benchmark/benchmark.h>

#include <chrono>
#include <atomic>
#include <cmath>
#include <cstdlib>
#include <new>
#include <vector>

#include "params/random.h"
#include "particles/burst_systems.h"

namespace {
std::atomic<long long> g_allocations{0};
}  // namespace

// GCC pairs the inlined standard allocators with these and takes free()
// for a mismatch (-Wmismatched-new-delete); both sides are ours.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"
void* operator new(std::size_t size) {
  g_allocations.fetch_add(1, std::memory_order_relaxed);
  if (void* p = std::malloc(size == 0 ? 1 : size)) return p;
  throw std::bad_alloc();
}
void operator delete(void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }
#pragma GCC diagnostic pop

namespace lumi {
namespace {

constexpr float kFrame = 1.0f / 60;
constexpr float kGravity = 100, kDrag = 0.5f, kWaveFrequency = 5, kWaveAmplitude = 0.5f;
constexpr float kLifetime = 2;  // range 400 at 200 px/s

VRN_FontainPtclSys Fountain() {
  VRN_FontainPtclSys f;
  f.counter.rate.Set(50000);  // 10,000 a second for 2 s
  f.launch_speed.Set(50);
  f.range.Set(400);
  f.launch.Set(90);
  f.launch.spread.Set(60);
  f.look.size.Set(16);
  f.look.look_flags = ParticleLook::kPhysics;
  f.look.gravity_mode.Set(ParticleLook::kGravityDown);
  f.look.gravity.Set(20);
  f.look.air_resistance.Set(50);
  f.look.size_wave.mode.Set(OscillationSetting::kCosine);
  return f;
}

double Nanoseconds(std::chrono::steady_clock::duration d) {
  return std::chrono::duration<double, std::nano>(d).count();
}

// The same particles as plain arrays: the flat loop's state.
struct FlatParticles {
  std::vector<float> px, py, vx, vy, age, phase;
  void Add(float x, float y, float ux, float uy, float p) {
    px.push_back(x), py.push_back(y), vx.push_back(ux), vy.push_back(uy), age.push_back(0), phase.push_back(p);
  }
  size_t Size() const { return px.size(); }
};

// One frame of the flat loop: age, drop the old keeping order, drag and
// gravity, the wave, and the four corners with their colour.
void FlatStep(FlatParticles& f, std::vector<VertexPCT>& out) {
  size_t kept = 0;
  for (size_t i = 0; i < f.Size(); ++i) {
    const float age = f.age[i] + kFrame;
    if (age > kLifetime) continue;
    const float ax = -kDrag * f.vx[i], ay = kGravity - kDrag * f.vy[i];
    f.px[kept] = f.px[i] + f.vx[i] * kFrame + ax * kFrame * kFrame / 2;
    f.py[kept] = f.py[i] + f.vy[i] * kFrame + ay * kFrame * kFrame / 2;
    f.vx[kept] = f.vx[i] + ax * kFrame;
    f.vy[kept] = f.vy[i] + ay * kFrame;
    f.age[kept] = age;
    f.phase[kept] = f.phase[i];
    ++kept;
  }
  for (auto* v : {&f.px, &f.py, &f.vx, &f.vy, &f.age, &f.phase}) v->resize(kept);
  out.resize(kept * 4);
  for (size_t i = 0; i < kept; ++i) {
    const float size = 16 * (std::cos(f.age[i] * kWaveFrequency + f.phase[i]) * kWaveAmplitude + 1 - kWaveAmplitude);
    const float speed = std::hypot(f.vx[i], f.vy[i]);
    const float dx = speed > 0 ? f.vx[i] / speed : 0, dy = speed > 0 ? f.vy[i] / speed : 1;
    const float cx = f.px[i] + dx - dy, cy = f.py[i] + dy + dx, h = size / 2;
    const auto alpha = static_cast<uint32_t>(std::lround(std::clamp(1 - f.age[i] / kLifetime, 0.0f, 1.0f) * 255));
    const uint32_t colour = (alpha << 24) | 0xFFFFFF;
    VertexPCT* v = &out[4 * i];
    v[0] = {cx - h, cy + h, 0, colour, 0, 1};
    v[1] = {cx - h, cy - h, 0, colour, 0, 0};
    v[2] = {cx + h, cy + h, 0, colour, 1, 1};
    v[3] = {cx + h, cy - h, 0, colour, 1, 0};
  }
}

void BM_StepAndBuildQuads(benchmark::State& state) {
  SeedRand(1);
  VRN_FontainPtclSys fountain = Fountain();
  fountain.ResetPopulation();  // five seconds: two and a half lifetimes
  FlatParticles flat;
  for (const ParticleHandle& p : fountain.particles) {
    flat.Add(p->position.x, p->position.y, p->velocity.x, p->velocity.y, Random01() * 6.2831855f);
  }
  std::vector<VertexPCT> quads, flat_quads;
  double engine_ns = 0, flat_ns = 0, particles = 0, flat_particles = 0, allocations = 0, frames = 0;
  quads.reserve(fountain.particles.size() * 8);
  for (auto _ : state) {
    const long long allocated = g_allocations.load(std::memory_order_relaxed);
    auto start = std::chrono::steady_clock::now();
    fountain.Step(kFrame);
    quads.resize(fountain.particles.size() * 4);
    for (size_t i = 0; i < fountain.particles.size(); ++i) {
      fountain.look.BuildQuad(*fountain.particles[i], 16, &quads[4 * i]);
    }
    engine_ns += Nanoseconds(std::chrono::steady_clock::now() - start);
    allocations += static_cast<double>(g_allocations.load(std::memory_order_relaxed) - allocated);
    frames += 1;
    particles += static_cast<double>(fountain.particles.size());

    // Refilled as the fountain births, so both loops see as many.
    while (flat.Size() < fountain.particles.size()) flat.Add(0, 0, 0, -200, Random01() * 6.2831855f);
    start = std::chrono::steady_clock::now();
    FlatStep(flat, flat_quads);
    flat_ns += Nanoseconds(std::chrono::steady_clock::now() - start);
    flat_particles += static_cast<double>(flat.Size());
    benchmark::DoNotOptimize(quads.data());
    benchmark::DoNotOptimize(flat_quads.data());
  }
  state.counters["live"] = static_cast<double>(fountain.particles.size());
  state.counters["engine_ns_per_particle"] = engine_ns / particles;
  state.counters["flat_ns_per_particle"] = flat_ns / flat_particles;
  state.counters["ratio"] = (engine_ns / particles) / (flat_ns / flat_particles);
  state.counters["allocations_per_frame"] = allocations / frames;
}

BENCHMARK(BM_StepAndBuildQuads)->Unit(benchmark::kMillisecond)->Iterations(300);

}  // namespace
}  // namespace lumi
