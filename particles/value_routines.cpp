// Routines that change a particle's values or modulators over its life.
#include <cmath>

#include "params/random.h"
#include "particles/particle_routines.h"

namespace lumi {

bool IPR_Increment::Update(float /*dt*/, Particle& p) {
  if (budget_ <= 0 || p.age() <= last_age_) return true;
  const float delta = std::fabs(rate_ * (p.age() - last_age_));
  p.values[static_cast<size_t>(index_)] += std::copysign(std::min(budget_, delta), rate_);
  budget_ -= delta;
  last_age_ = p.age();
  return true;
}

bool IPR_IncrementM::Update(float /*dt*/, Particle& p) {
  float value = from_;
  if (p.age() > end_) {
    value = to_;
  } else if (p.age() > start_ && end_ > start_) {
    value = from_ + (to_ - from_) * (p.age() - start_) / (end_ - start_);
  }
  p.modulators[static_cast<size_t>(index_)] *= value;
  return true;
}

bool IPR_Harmonic::Update(float /*dt*/, Particle& p) {
  p.modulators[static_cast<size_t>(index_)] *= std::cos(p.age() * frequency_ + phase_) * amplitude_ + base_;
  return true;
}

namespace {

uint32_t NoiseSeed() {
  const auto r = static_cast<uint32_t>(Rand() % 32767);
  return r * r + 2;
}

}  // namespace

IPR_Perlin::IPR_Perlin(int index, float base, float frequency, float amplitude)
    : index_(index), base_(base), amplitude_(amplitude / 2), noise_(frequency, NoiseSeed()) {}

bool IPR_Perlin::Update(float dt, Particle& p) {
  clock_ += dt;
  p.modulators[static_cast<size_t>(index_)] *= noise_.At(clock_) * amplitude_ + base_;
  return true;
}

}  // namespace lumi
