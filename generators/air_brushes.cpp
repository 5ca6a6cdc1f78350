// The behaviour of the air brushes: sparkles, twinkling stars and aurora
// bands on the author's placed points.
#include <cmath>

#include "generators/catalogue.h"
#include "generators/gen_drawing.h"
#include "generators/gen_quads.h"
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

void DS_Bling::Advance(double time) {
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

void DS_Aurora::Advance(double time) {
  DS_ParticleGenerator::Advance(time);
  wave_clock.Advance(time, Hundredths(wave_speed.value));
  const auto wave = static_cast<float>(wave_clock.total);
  drift_clock.Advance(time, Hundredths(drift_speed.value));
  shimmer_clock.Advance(time, Hundredths(shimmer_speed.value));
  const auto drift = static_cast<float>(drift_clock.total), shimmer = static_cast<float>(shimmer_clock.total);
  const size_t n = std::min(sprites.size(), generated.size());
  for (size_t i = 0; i < n; ++i) {
    const Vector3 placed = sprites[i].position;
    const auto k = static_cast<float>(i);
    GenParticle& band = generated[i];
    band.position = placed + Vector3{kDrift * std::sin(drift * 0.5f + k * 0.7f),
                                     kWave * std::sin(wave + placed.x / 80), 0};
    band.values[kOpacity] = 0.55f + 0.45f * std::sin(shimmer * 2 + k * 1.3f);
  }
}

size_t DS_Aurora::BuildArrays(GenDrawing& drawing) {
  const GenPicture& picture = drawing.Picture(0);
  const auto height = static_cast<float>(band_height.value);
  const GenQuadStyle style{height / 3, height, colour.value, colour.alpha(), level};
  GenSpriteArray& array = drawing.Array(0);
  array.texture = picture.texture;
  array.Build(generated.size(), [&](size_t i, VertexPCT* out) { return BuildGenQuad(generated[i], style, out); });
  return 1;
}

}  // namespace lumi
