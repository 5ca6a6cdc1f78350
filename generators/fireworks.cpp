// The fireworks' bursts and the smoke's puffs.
#include <algorithm>

#include "generators/catalogue.h"
#include "generators/gen_drawing.h"
#include "generators/gen_quads.h"
#include "generators/processes.h"
#include "params/directions.h"

namespace lumi {

void FireworkBurst::Burst(DS_ParticleGenerator& generator, const GenSource& rocket) const {
  const float burst_life = static_cast<float>(life.value) / 100;  // 0 ends at once
  const auto burst_speed = static_cast<float>(speed.value);
  const Vector3 fall{0, static_cast<float>(gravity.value), 0};
  std::vector<GenParticle>& generated = generator.generated;
  const size_t most = DS_ParticleGenerator::kMaxParticles;
  const size_t room = most - std::min(most, generated.size());
  const size_t n = std::min<size_t>(count.value, room);
  for (size_t i = 0; i < n; ++i) {
    GenParticle& p = generated.emplace_back(rocket.point.position);
    p.values[kLifeProgress] = 0;
    p.values[kSize] = 1;
    p.Attach<PLifeConst>(1 / burst_life);
    p.Attach<PKinetic>(RandomDirection3D(burst_speed, 0, 360), fall);
    p.Attach<PSteady>(kSize, 0.0f, 1.0f, generator.extra_factor.scaled());
  }
}

bool DS_Smoke::AddOrigin() {
  if (!DS_ParticleOriginGenerator::AddOrigin()) return false;
  // A puff thins out and swells to twice its size over its life.
  GenParticle& puff = sources.back().point;
  const float life = Setting(kOriginLife) / 100;
  puff.Attach<PFade>(kOpacity, 0.0f, life, -1.0f);
  puff.Attach<PFade>(kSize, 0.0f, life, puff.values[kSize]);
  return true;
}

size_t DS_Smoke::BuildArrays(GenDrawing& drawing) {
  DS_TexParticleGenerator::BuildArrays(drawing);
  const GenPicture& picture = drawing.Picture(1);
  const auto size = static_cast<float>(puff_size.value);
  const auto alpha = static_cast<uint8_t>(std::min(opacity.value, 255u));
  const GenQuadStyle style{size, size * Aspect(picture.width, picture.height), colour.value, alpha, level};
  GenSpriteArray& puffs = drawing.Array(1);
  puffs.texture = picture.texture;
  puffs.Build(sources.size(), [&](size_t i, VertexPCT* out) { return BuildGenQuad(sources[i].point, style, out); });
  return 2;
}

}  // namespace lumi
