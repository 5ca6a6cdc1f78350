// Shooting stars: born at random points of the area by the random counting
// rule, falling along their direction, fading in and out; drawn as a
// glowing head over a streak.
#include <algorithm>
#include <cmath>
#include <numbers>

#include "generators/catalogue.h"
#include "generators/gen_drawing.h"
#include "generators/gen_quads.h"
#include "generators/processes.h"
#include "params/random.h"

namespace lumi {
namespace {

// The point at fractions (s, t) across the quad: corner 0 towards corner 2
// and towards corner 1.
Vector3 PointOf(const MediaQuad& area, float s, float t) {
  const Vector3 origin = area.corners[0].value;
  return origin + (area.corners[2].value - origin) * s + (area.corners[1].value - origin) * t;
}

}  // namespace

Vector3 DS_FallingStars::Velocity() const {
  const float a = static_cast<float>(direction.value) * std::numbers::pi_v<float> / 180;
  return Vector3{std::cos(a), -std::sin(a), 0} * static_cast<float>(fall_speed.value);
}

size_t DS_FallingStars::BornAt(double time) {
  double& last = star_rate.last_emission;
  if (time < last) last = time;  // the timeline started again
  const double r = star_rate.scaled();
  if (!(r > 0)) return 0;
  // After a stall or a time off the count covers 0.2 s at most, as every
  // emission does.
  if (time - last > kMaxClockStep + 1 / r) last = time - kMaxClockStep;
  const double whole = std::floor(r * (time - last));
  if (whole < 1) return 0;
  const double due = std::min(whole, static_cast<double>(kMaxParticles));
  // The time the due stars stand for moves on, so the fraction left over
  // counts towards the next frame; between none and twice the due number
  // are born, on average the due number.
  last = due < whole ? time : last + static_cast<float>(due / r);
  const auto most = static_cast<int>(2 * due);
  const auto count = static_cast<size_t>(Rand() % (most + 1));
  return std::min(count, kMaxParticles - std::min(kMaxParticles, generated.size()));
}

void DS_FallingStars::Advance(double time) {
  DS_ParticleGenerator::Advance(time);
  const float in = Hundredths(fade_in.value), hold_time = Hundredths(hold.value), out = Hundredths(fade_out.value);
  const float turn = Hundredths(spin.value);
  const Vector3 velocity = Velocity();
  for (size_t n = BornAt(time); n > 0; --n) {
    const float s = Random01(), t = Random01();
    GenParticle& star = generated.emplace_back(PointOf(area, s, t));
    star.values[kAngle] = Random01() * 6.2831855f;
    star.values[kOpacity] = 0;
    star.Attach<PAgeConst>(in + hold_time + out);
    star.Attach<PKinetic>(velocity, Vector3{});
    star.Attach<PFade>(kOpacity, 0.0f, in, 1.0f);
    star.Attach<PSpin>(Rand() % 2 == 0 ? turn : -turn);
    star.Attach<PFade>(kOpacity, in + hold_time, in + hold_time + out, -1.0f);
  }
}

size_t DS_FallingStars::BuildArrays(GenDrawing& drawing) {
  // Two layers of two arrays: the streak (its glow and its core, pictures 2
  // and 1 stretched behind the star along its fall, in the second colour),
  // then the head (its glow and its core, pictures 3 and 1, turning, in the
  // colour). Pictures missing from the list repeat the ones before.
  const GenPicture& core = drawing.Picture(0);
  const GenPicture& streak = drawing.Picture(1);
  const GenPicture& glow = drawing.Picture(2);
  const Vector3 v = Velocity();
  const float speed = static_cast<float>(fall_speed.value);
  const float along = speed > 0 ? std::atan2(v.y, v.x) : 0;
  const float length = std::max(speed * kStreakSeconds, 1.0f);
  const float head = static_cast<float>(std::max<uint32_t>(core.width, GenDrawing::kBlankSide));
  struct Layer {
    const GenPicture* picture;
    const SmartCOLORREF* colour;
    float width, height;
    bool streak;
  };
  const Layer layers[4] = {{&streak, &second_colour, length, head * 0.6f, true},
                           {&core, &second_colour, length, head * 0.2f, true},
                           {&glow, &colour, head * 2, head * 2, false},
                           {&core, &colour, head, head, false}};
  for (size_t a = 0; a < 4; ++a) {
    const Layer& layer = layers[a];
    GenQuadStyle style{layer.width, layer.height, layer.colour->value, layer.colour->alpha(), level};
    GenSpriteArray& array = drawing.Array(a);
    array.texture = layer.picture->texture;
    array.Build(generated.size(), [&](size_t i, VertexPCT* out) {
      if (!layer.streak) return BuildGenQuad(generated[i], style, out);
      // The streak trails behind the head, along the fall and unturned.
      GenParticle behind(generated[i].position - v * (kStreakSeconds / 2));
      behind.values[kOpacity] = generated[i].values[kOpacity];
      behind.values[kAngle] = along;
      return BuildGenQuad(behind, style, out);
    });
  }
  return 4;
}

}  // namespace lumi
