// The look's arithmetic: the birth set-up of a particle, its size and
// opacity factors, and the look's clocks.
#include <algorithm>
#include <cmath>

#include "params/clamped_clock.h"
#include "params/random.h"
#include "particles/particle_look.h"
#include "particles/particle_routines.h"

namespace lumi {
namespace {

constexpr float kTurn = 6.2831855f;

// The routine an oscillation setting makes for modulator k; `additive`
// waves (the wobbles) have base 0, the others 1 − c. Applied once at birth.
void AddOscillation(Particle& p, const OscillationSetting& wave, int k, bool additive) {
  const float f = wave.frequency.scaled(), c = wave.amplitude.scaled();
  const float base = additive ? 0.0f : 1 - c;
  RoutineHandle routine;
  if (wave.mode.value == OscillationSetting::kCosine) {
    routine = std::make_shared<IPR_Harmonic>(k, Random01() * kTurn, base, f, c);
  } else if (wave.mode.value == OscillationSetting::kNoise) {
    routine = std::make_shared<IPR_Perlin>(k, base, f, 2 * c);
  } else {
    return;
  }
  routine->Update(0, p);
  p.routines.push_back(std::move(routine));
}

float Factor(const Particle& p, const ScaleRamp& ramp, float jitter, float random, float modulator) {
  const float base = (1 - jitter * random) * modulator;
  const float lifetime = p.life ? p.life->Lifetime() : 1.0f;
  if (!(lifetime > 0)) return base;
  return ramp.At(p.age() / lifetime) * base;
}

// A random cell of a grid of cols × rows (two draws); sides of 0 count as
// 1, so nothing divides by 0.
void DrawCell(Particle& p, uint32_t cols, uint32_t rows) {
  cols = std::max(cols, 1u);
  rows = std::max(rows, 1u);
  p.frame_scale_u = 1 / static_cast<float>(cols);
  p.frame_scale_v = 1 / static_cast<float>(rows);
  p.frame_offset_u = static_cast<float>(static_cast<uint32_t>(Rand()) % cols) / static_cast<float>(cols);
  p.frame_offset_v = static_cast<float>(static_cast<uint32_t>(Rand()) % rows) / static_cast<float>(rows);
}

}  // namespace

// Clamped to [0, 1] so that a particle older than its life never turns its
// quad inside out.
float ScaleRamp::At(float a) const {
  a = std::clamp(a, 0.0f, 1.0f);
  const float in = in_end.scaled(), out = out_start.scaled();
  if (a < in) return a / in * (1 - start_scale.scaled()) + start_scale.scaled();
  if (a > out) return (1 - a) / (1 - out) * (1 - end_scale.scaled()) + end_scale.scaled();
  return 1;
}

void ParticleLook::OnGridChanged(ParticleList& particles) const {
  for (const ParticleHandle& p : particles) DrawCell(*p, run.grid_columns, run.grid_rows);
}

void ParticleLook::InitParticle(Particle& p, std::shared_ptr<LifeRoutine> life) const {
  DrawCell(p, run.grid_columns, run.grid_rows);
  if (life) p.life = std::move(life);

  const float r1 = Random01();
  p.size_random() = Random01();
  p.alpha_random() = Random01();
  const float m = spin_jitter.scaled();
  const float s = r1 * (1 - m) + m;
  if (spin_direction.value == 2) {
    p.spin() = Rand() % 2 == 0 ? s : -s;
  } else {
    p.spin() = spin_direction.value == 1 ? -s : s;
  }
  const auto jitter = static_cast<float>(start_angle_jitter.value);
  const float degrees = static_cast<float>(start_angle.value) + Uniform(-jitter, jitter);
  p.transform = MatrixRotationZ(-degrees * kPi / 180);

  AddOscillation(p, alpha_wave, kAlphaModulator, false);
  AddOscillation(p, size_wave, kSizeModulator, false);
  if ((look_flags & kWobble) != 0) {
    AddOscillation(p, wobble_forward, kForwardModulator, true);
    AddOscillation(p, wobble_sideways, kSidewaysModulator, true);
  }
  if ((look_flags & kPhysics) != 0) {
    const float g = gravity.scaled();
    if (gravity_mode.value == kGravityDown) p.acceleration = {0, g, 0};
    if (gravity_mode.value == kGravityUp) p.acceleration = {0, -g, 0};
    if (air_resistance.scaled() > 0) p.routines.push_back(std::make_shared<IPR_AirResist>(air_resistance.scaled()));
  }
}

float ParticleLook::SizeFactor(const Particle& p) const {
  if ((look_flags & kExplicitSize) != 0) return p.size_random();
  return Factor(p, size_ramp, size_jitter.scaled(), p.size_random(), p.modulators[kSizeModulator]);
}

float ParticleLook::AlphaFactor(const Particle& p) const {
  if ((look_flags & kExplicitAlpha) != 0) return p.alpha_random();
  return Factor(p, alpha_ramp, alpha_jitter.scaled(), p.alpha_random(), p.modulators[kAlphaModulator]);
}

void ParticleLook::UpdateClocks(double time) {
  run.texture_total += static_cast<double>(ClampedStep(run.texture_last_time, time) * texture_clock.scaled());
  run.spin_total += static_cast<double>(ClampedStep(run.spin_last_time, time) * spin_clock.scaled());
}

}  // namespace lumi
