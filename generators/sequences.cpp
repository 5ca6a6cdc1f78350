// The generators that show an image sequence of their own: the custom air
// brush and the Brownian animation; and the radial rays.
#include <algorithm>
#include <cmath>
#include <numbers>

#include "generators/catalogue.h"
#include "generators/fixed_pattern.h"
#include "generators/gen_drawing.h"
#include "generators/gen_quads.h"
#include "generators/processes.h"
#include "params/random.h"

namespace lumi {
void DS_CustomAirBrush::Advance(double time) {
  DS_ParticleGenerator::Advance(time);
  frame_clock.Advance(time, Hundredths(speed.value));
  sequence.Step(frame_clock.total, frame_durations);
}

size_t DS_CustomAirBrush::BuildArrays(GenDrawing& drawing) {
  // Every sprite shows the sequence's current picture.
  const GenPicture& picture = drawing.Picture(sequence.index);
  const float size = SpriteSize();
  const GenQuadStyle style{size, size * Aspect(picture.width, picture.height), colour.value, colour.alpha(), level};
  GenSpriteArray& array = drawing.Array(0);
  array.texture = picture.texture;
  array.Build(generated.size(), [&](size_t i, VertexPCT* out) { return BuildGenQuad(generated[i], style, out); });
  return 1;
}

void DS_BrownAnimation::RefreshField() {
  if (!field_) field_ = std::make_shared<BrownianField>();
  BrownianField& f = *field_;
  const Vector3 a = area.corners[0].value, b = area.corners[3].value;
  f.low = {std::min(a.x, b.x), std::min(a.y, b.y), 0};
  f.high = {std::max(a.x, b.x), std::max(a.y, b.y), 0};
  f.speed = Hundredths(wander_speed.value);
  f.change_interval = Hundredths(change_interval.value);
  f.acceleration_time = Hundredths(acceleration_time.value);
}

void DS_BrownAnimation::PlaceWanderers() {
  // A field of this copy's own: a copied generator never steers another's
  // sprites.
  field_ = std::make_shared<BrownianField>();
  RefreshField();
  generated.clear();
  const size_t n = std::min<size_t>(count.value, kMaxParticles);
  for (size_t i = 0; i < n; ++i) {
    const float x = Uniform(field_->low.x, field_->high.x), y = Uniform(field_->low.y, field_->high.y);
    generated.emplace_back(Vector3{x, y, 0}).Attach<PBrownian>(field_);
  }
}

void DS_BrownAnimation::Advance(double time) {
  frame_clock.Advance(time, 1);
  sequence.Step(frame_clock.total, frame_durations);
  if (field_) RefreshField();
  DS_ParticleGenerator::Advance(time);
}

void DS_RadialRays::BuildRays() {
  generated.clear();
  const size_t n = std::min<size_t>(ray_count.value, kMaxRays);
  const float share = 2 * std::numbers::pi_v<float> / static_cast<float>(std::max<size_t>(n, 1));
  BuildWithFixedPattern(fixed_pattern.value != 0, seed.value, [&] {
    for (size_t i = 0; i < n; ++i) {
      GenParticle& ray = generated.emplace_back(centre);
      ray.values[kAngle] = share * (static_cast<float>(i) + Uniform(-0.3f, 0.3f));
      ray.values[kRayLength] = Uniform(0.6f, 1);
      ray.values[kRayWidth] = Uniform(0.5f, 1);
      ray.values[kOpacity] = Uniform(0.5f, 1);
    }
  });
}

void DS_RadialRays::Advance(double time) {
  DS_ParticleGenerator::Advance(time);
  turn_clock.Advance(time, Hundredths(speed.value));
  const float total = turn_clock.total;
  switch (mode.value) {
    case 1: rotation = -total; break;
    case 2: rotation = std::sin(total) * static_cast<float>(swing.value) * std::numbers::pi_v<float> / 180; break;
    default: rotation = total; break;
  }
}

size_t DS_RadialRays::BuildArrays(GenDrawing& drawing) {
  // Each ray the picture laid from the centre outwards, as long as the
  // picture is wide times its length value, as thick as it is high times
  // its width value.
  const GenPicture& picture = drawing.Picture(0);
  const auto long_side = static_cast<float>(picture.width > 0 ? picture.width : kBlankRayLength);
  const auto short_side = static_cast<float>(picture.height > 0 ? picture.height : GenDrawing::kBlankSide);
  GenSpriteArray& array = drawing.Array(0);
  array.texture = picture.texture;
  array.Build(generated.size(), [&](size_t i, VertexPCT* out) {
    const GenParticle& ray = generated[i];
    const float angle = ray.values[kAngle] + rotation, length = long_side * ray.values[kRayLength];
    GenParticle placed(ray.position + Vector3{std::cos(angle), std::sin(angle), 0} * (length / 2));
    placed.values[kAngle] = angle;
    placed.values[kOpacity] = ray.values[kOpacity];
    const GenQuadStyle style{length, short_side * ray.values[kRayWidth], colour.value, colour.alpha(), level};
    return BuildGenQuad(placed, style, out);
  });
  return 1;
}

}  // namespace lumi
