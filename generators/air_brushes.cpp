// The behaviour of the air brushes: sparkles and twinkling stars on the
// author's placed points.
#include "generators/catalogue.h"
#include "generators/processes.h"
#include "params/random.h"

namespace lumi {
namespace {

constexpr int kPrerunRounds = 10;

// A sparkle's processes made anew over one period, run ahead by a random
// part of it.
void StartSparkle(GenParticle& p, float period) {
  p.processes.clear();
  p.values = GenParticle().values;
  p.values[kSize] = 0;
  p.Attach<PAgeConst>(period);
  p.Attach<PFade>(kSize, 0.0f, period / 2, 1.0f);
  p.Attach<PFade>(kSize, period / 2, period, -1.0f);
  const float dt = Random01() * period / kPrerunRounds;
  for (int i = 0; i < kPrerunRounds; ++i) p.Update(dt);
}

}  // namespace

void DS_Bling::InitPlaced(GenParticle& particle) { StartSparkle(particle, Period()); }

void DS_Bling::Advance(float time) {
  const float dt = clock.Advance(time, time_speed.scaled());
  turn_clock.Advance(time, static_cast<float>(turn_speed.value) / 100);
  for (GenParticle& sparkle : generated) {
    if (!sparkle.Update(dt)) StartSparkle(sparkle, Period());
  }
}

void DS_TwinklingStars::InitPlaced(GenParticle& particle) {
  particle.values[kOpacity] = Uniform(0.5f, 1);
  particle.Attach<PTwinkle>(kSize, particle.values[kSize]);
}

}  // namespace lumi
